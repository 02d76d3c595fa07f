// orva_exec.h - the engine services the Lua functions share with the
// plug-in exports: one script command run from a text, the key and mouse
// queries gated by the window being in front, and the system calls.
#pragma once

// These four are also exported to plug-ins (ext/orva_plugin.h): C linkage.
extern "C" {

// Runs the first command of `text` (at most OrvaExecWordMax bytes; a longer
// text runs nothing and gives 0) at the current mode; a command that jumped
// keeps its new position, otherwise the position is restored.  Errors are
// the command's own, reported with the text.  1 when it ran.
enum { OrvaExecWordMax = 1500 };
int OrvaExecWord(const char* text);
// 1 while the named key is down and the window is in front: one character
// names that key (either case); else SPACE, ESC, CTRL, UP, DOWN, LEFT,
// RIGHT, F1..F12, RETURN, ENTER, PAGEUP, PAGEDOWN, SHIFT (any case).
int OrvaGetKey(const char* name);
// The cursor in client coordinates; -1, -1 outside the screen or when the
// window is not in front.
void OrvaGetMouse(int* x, int* y);
// "close", "end", "reset", "full", "window", "automode", "skip", "skipoff";
// anything else is a fatal error.
void OrvaSystemCall(const char* word);

}  // extern "C"
