// error.h - fatal script errors.
#pragma once

// Shows `message` with `caption` (both CP932), the script file and line and
// the lines leading up to ReadPosition, stops sound and ends the program
// through the main window's destruction.  Never returns.
[[noreturn]] void ScriptError(const char* caption, const char* message);
// The same with a printf-style message.
[[noreturn]] void ScriptErrorF(const char* caption, const char* format, ...);

// The text of the box: the message, then either the OVExec form or the
// script file and line of ReadPosition with the lines leading up to it
// marked '|' and '>'.  Long messages and lines are cut; out always ends in a
// NUL.
void FormatErrorText(const char* message, char* out, int size);
