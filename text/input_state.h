// input_state.h - the input and control flags the window procedure, the
// system menu and the waits set, and the interpreter loop reads between
// statements.
#pragma once

extern int Clicked;             // a left click not yet taken by a wait
extern int RightClicked;        // a right click not yet taken
extern int SkipMode;            // skip mode on
extern int ResetRequested;      // the window menu asked for a reset
extern int QuitRequested;       // the game is ending
extern int MenuResetRequested;  // the system menu asked for a reset
