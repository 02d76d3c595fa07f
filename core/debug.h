// debug.h - the debugging aids: the debug window (a window of its own with
// the trace text and the step check box), the per-command and
// per-variable-access trace, "debuglog.txt", the position in the window
// caption, and the commands debuglog, testfunc, createdebugwindow and
// chkdbg.  DebugMode itself ("debug.872") is in core/startup.h.
#pragma once

enum { TraceTextSize = 1008 };

extern int DebugWindowOpen;   // 1 while the debug window is open; closing it clears it
extern int DebugStepChecked;  // its check box "ステップ実行" (step execution), as the player set it
extern int DebugLogOn;        // debuglog: the trace goes to "debuglog.txt" too
extern char TraceText[TraceTextSize];  // the text last set in the window
extern char TraceLine[TraceTextSize];  // the last trace line

void CreateDebugWindow();
void CloseDebugWindow();
const char* DebugWindowText();  // the window's edit text
// One trace block per command, before the command runs.
void TraceCommand(const char* name);
// One line per variable access: TraceLine has been written by the caller.
void TraceAccess();
// Formats TraceLine (cut to fit) and traces it.
void TraceAccessF(const char* format, ...);
// "(DebugMode) %d.txt line:%d" for ReadPosition in the window caption.
void ShowDebugPosition();

void Cmd_debuglog();
void Cmd_testfunc();
void Cmd_createdebugwindow();
void Cmd_chkdbg();

// At every pass of the start-up loop: debuglog off.
void ClearDebugLogFlag();
