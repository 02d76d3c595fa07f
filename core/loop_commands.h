// loop_commands.h - counted loops: for, next and break, whose four-entry
// frames share the call stack.  Every mode.
#pragma once

void Cmd_for();
void Cmd_next();
void Cmd_break();
