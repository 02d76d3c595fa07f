// dispatch.h - ExecCommand, the one entry of every command statement: Lua
// command hooks, then user-defined commands (defsub), then the built-in table
// by mode group, then the story's voice shortcuts, then the invalid-command
// error.  Handlers are `void Cmd_<name>()` and read their own operands at
// ReadPosition.
#pragma once

#include <cstdint>

#include "core/heapstring.h"
#include "core/script.h"

typedef void (*CommandHandler)();
enum CommandGroup { GroupEvery = 0, GroupDefine = 1, GroupStory = 2 };
struct CommandEntry {
    const char* name;
    CommandGroup group;
    CommandHandler handler;
};
// In test order (command_table.cpp).
extern const CommandEntry CommandTable[];
extern const int CommandTableSize;

// Names declared with defsub, in declaration order.  Change it only through
// AddDefsubName and ClearDefsubNames, which keep its index.
extern StringList DefsubNames;
void AddDefsubName(const char* name);
void ClearDefsubNames();
bool IsDefsubName(const char* name);

// The name of the built-in command being run.
extern const char* CurrentCommandName;

// name: lower case, as ReadWord gives it; define: 1 while *define runs.
void ExecCommand(const char* name, int define);

// The interpreter's command statements, kept by position: a statement whose
// word (read at `start`) led to a built-in command is known the next time
// it runs in the same ScriptGeneration and mode, so the word, the Lua hooks
// (while no Lua bridge is loaded), the user commands and the table are not
// looked at again.
struct CachedCommand {
    int32_t start = -1;       // position of the word
    int32_t end = 0;          // behind the word and its blanks
    uint32_t generation = 0;  // ScriptGeneration when kept
    int32_t define = 0;
    CommandHandler handler = nullptr;
    const char* name = nullptr;  // the table's name
    bool journaled = false;      // CommandDefersImage (save/journal.h)
};
enum { CommandCacheSize = 4096 };  // direct-mapped by position
extern CachedCommand CommandCache[CommandCacheSize];
extern bool LuaBridgeLoaded;
extern int DebugWindowOpen, MenuResetRequested;
// The statement known at start, or null (then ReadWord + ExecCommandAt).
inline const CachedCommand* FindCachedCommand(int start, int define) {
    const CachedCommand* c = &CommandCache[(uint32_t)start & (CommandCacheSize - 1)];
    if (c->start != start || c->generation != ScriptGeneration || c->define != define) return nullptr;
    // What ExecCommand looks at before the table, when it can answer
    // differently from one run to the next.
    if (MenuResetRequested || DebugWindowOpen || LuaBridgeLoaded) return nullptr;
    return c;
}
// ExecCommand for the word read at start, keeping a built-in found for it.
void ExecCommandAt(int start, const char* name, int define);
// The built-in handler that name means in the given mode, or null.
CommandHandler FindBuiltinCommand(const char* name, int define);
// The voice shortcut a story statement name makes: 'v' (MCI wave), 'd' ("dv",
// channel 0), 'm' ("mv", music) with *rest the file name, or 0 for none.
char VoiceShortcutKind(const char* name, const char** rest);

