// savepoint.h - savepoints, save slots and loading.  A savepoint records the
// script position and the state image of that moment.  The savepoint the
// interpreter takes before every command defers the image: the next
// savepoint usually replaces it unused.  Until it is built the journal
// (save/journal.h) records what the journaled commands overwrite, and
// everything else that changes state builds it first (KeepSavepoint), so
// the image is always the state at the savepoint.  Saving appends the
// backlog and the position's line and colon count once per savepoint and
// writes "save%d.dat" crash-safely; loading checks the whole slot before it
// changes anything.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/script.h"
#include "ext/optional.h"
#include "save/journal.h"

extern int SaveOn;               // 1 after every reset (0 in *define); savepoints are taken
extern int NoCommandSavepoints;  // autosaveoff
extern int ErrorSave;            // errorsave: ScriptError saves to slot 999
extern int GameLoaded;           // set by loadgame; the waits clear it
extern int LoadGosubOn;          // loadgosub
extern char LoadGosubLabel[256];
extern int SavepointPosition;    // ReadPosition at the last savepoint

void TakeSavepoint();
void RunSavepointHook();         // the Lua ":savepoint" hook, when one is bound
extern int SavepointTailWritten;  // the backlog and position follow the image
// Taken before every command: without the Lua bridge a few stores.
inline void TakeCommandSavepoint() {
    if (LuaBridgeLoaded) RunSavepointHook();
    SavepointPosition = ReadPosition;
    SavepointPending = 1;
    SavepointTailWritten = 0;
    ClearJournal();
}
void BuildSavepointImage();
// Before anything changes state the journal does not record: builds a
// deferred image.
inline void KeepSavepoint() {
    if (SavepointPending) BuildSavepointImage();
}
// Sets ReturnValue: 0 written, 1 failed (with a message box).
void SaveGame(int slot);
void SaveGameWithName(int slot, const char* name);
void LoadGame(int slot);

// "save%d.dat" / "save%d.ss" in SaveDirectory (CP932).
std::string SlotFileName(int slot, const char* extension);
// The finished slot image of the last savepoint (tail appended).
std::vector<uint8_t> SavepointImage();
// Line and colon index of a position; the position of a line and colon
// index, or -1 when they do not fit the script.
void CountScriptPosition(int position, int32_t* line, int32_t* colons);
int FindScriptPosition(int32_t line, int32_t colons);
// Checks a whole slot image against the running script; on success *position
// is where it resumes.
bool CheckSlotImage(const uint8_t* data, size_t size, int* position);
