// dispatch.h - ExecCommand, the one entry of every command statement: Lua
// command hooks, then user-defined commands (defsub), then the built-in table
// by mode group, then the story's voice shortcuts, then the invalid-command
// error.  Handlers are `void Cmd_<name>()` and read their own operands at
// ReadPosition.
#pragma once

#include "core/heapstring.h"

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

// The name of the built-in command being run (for Cmd_Unbuilt's message).
extern const char* CurrentCommandName;

// name: lower case, as ReadWord gives it; define: 1 while *define runs.
void ExecCommand(const char* name, int define);
// The built-in handler that name means in the given mode, or null.
CommandHandler FindBuiltinCommand(const char* name, int define);
// The voice shortcut a story statement name makes: 'v' (MCI wave), 'd' ("dv",
// channel 0), 'm' ("mv", music) with *rest the file name, or 0 for none.
char VoiceShortcutKind(const char* name, const char** rest);

// The handler of every command not built yet: a fatal error naming it.
void Cmd_Unbuilt();
