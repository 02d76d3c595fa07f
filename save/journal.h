// journal.h - the savepoint journal.  The savepoint taken before every
// command records its position only; its state image is built later, when a
// save asks for it or before anything changes state the journal does not
// cover.  Until then the commands that change nothing but variables, array
// elements and the call stack (the journaled commands) record here each
// value before they overwrite it, and building the image puts the recorded
// values back for the walk and the live ones after it: the image is always
// the state at the savepoint.
#pragma once
#include <cstdint>

#include "core/variables.h"
#include "save/imagefield.h"

extern int SavepointPending;  // the last savepoint's image is still to be built

enum { JournalLimit = 1024 };  // ints recorded before the image is built at once
struct JournalInt32 {
    int32_t* where;
    int32_t old;
};
extern JournalInt32 IntJournal[JournalLimit];
extern int IntJournalCount;
extern int JournalUsed;  // texts or the call stack recorded
void JournalIntFull();

// Before an int of the image changes (a numeric variable, an array element).
inline void JournalInt(int32_t* where) {
    if (!SavepointPending) return;
    if (IntJournalCount == JournalLimit) return JournalIntFull();
    IntJournal[IntJournalCount++] = {where, *where};
}
// A sprite field: undoing and redoing mark its record changed.
inline void JournalInt(ImageInt* where) { JournalInt(&where->v); }
inline void JournalIntVar(int n) { JournalInt(&IntVariables[n]); }
// A command stores v into %n: the old value journaled, then the bounds of
// the limited variables applied (StoreIntVarUnclamped leaves them).
inline void StoreIntVarUnclamped(int n, int32_t v) {
    JournalIntVar(n);
    IntVariables[n] = v;
}
inline void StoreIntVar(int n, int32_t v) {
    StoreIntVarUnclamped(n, v);
    ClampIntVars();
}
void JournalStrVar(int n);  // before StrVariables[n] changes
// Before a text the image holds in a fixed buffer changes (a sprite's tag):
// the buffer must outlive the savepoint.
void JournalFixedText(char* buffer);
template <size_t N>
inline void JournalFixedText(ImageText<N>& text) { JournalFixedText(text.s); }
void JournalCallStack();    // before CallStack or its depth changes

// Forgets what was recorded (a new savepoint, or the image built).
void ClearJournalRest();
inline void ClearJournal() {
    IntJournalCount = 0;
    if (JournalUsed) ClearJournalRest();
}
// Puts the recorded values back; RedoJournal puts the live ones back again.
void UndoJournal();
void RedoJournal();

// The built-in commands (by table name) whose handlers change only what the
// journal records, and those that change nothing the image holds.  Neither
// builds a deferred image before it runs; whatever they reach that changes
// the image's state otherwise (a message handled, any function Lua calls, a
// plug-in's sprite draw, another command) builds it first.
extern const char* const JournaledCommands[];
extern const int JournaledCommandCount;
extern const char* const ImageFreeCommands[];
extern const int ImageFreeCommandCount;
bool CommandIsJournaled(const char* name);
bool CommandIsImageFree(const char* name);
inline bool CommandDefersImage(const char* name) {
    return CommandIsJournaled(name) || CommandIsImageFree(name);
}
