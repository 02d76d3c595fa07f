// mainwindow.h - the main window: creation, its procedure (input flags, menu
// commands, painting, window and full-screen display, the 30 ms timer,
// closing), painting the displayed picture, and the destruction path every
// normal end and fatal error takes.
#pragma once
#include <cstdint>

#include "graphics/compose.h"

// Menu command numbers the window carries out (WM_COMMAND wparam).
enum : uint32_t {
    CmdClose = 40001, CmdFullScreen = 40002, CmdWindowMode = 40003, CmdDefaultFont = 40004,
    CmdVersion = 40005, CmdSkip = 40006, CmdPageMode = 40007, CmdLineMode = 40008,
    CmdSpeedSlow = 40014, CmdSpeedNormal = 40015, CmdSpeedFast = 40016,
    CmdSoundOn = 40017, CmdSoundOff = 40018, CmdAutoMode = 40019, CmdCdDrive = 40020,
    CmdCdOn = 40021, CmdCdOff = 40022, CmdVolume = 40024, CmdKidokuOn = 40025,
    CmdKidokuOff = 40026, CmdReset = 40028, CmdToggleFullScreen = 40029,
    CmdTextSpeedDialog = 40030, CmdAutoSpeedDialog = 40031,
};
// WM_CLOSE with this wparam: closed by a signal, without the question.
enum : uintptr_t { CloseBySignal = 1 };
enum { WindowTimerId = 1, WindowTimerPeriod = 30 };

extern int32_t FullScreen;            // 1 while the display is in full-screen mode
extern int32_t DisplayChanging;       // a switch of display mode is under way
extern int32_t FullScreenMenuHidden;  // full screen took the menu bar off
extern int32_t PaintSuspended;        // a movie or plug-in owns the picture
extern int32_t ExecPluginRunning;     // PaintSuspended is an exec plug-in's
extern int32_t CustomCursorSet;       // mousecursor gave a picture
// Drops the mousecursor picture: the standard arrow again.
void UseArrowCursor();
// The version box's two lines and the two confirmation boxes' texts
// (versionstr and englishdialog replace them).
enum { WindowTextSize = 256 };
extern char VersionLine[WindowTextSize], CreditLine[WindowTextSize];
extern char QuitQuestion[WindowTextSize], QuitCaption[WindowTextSize];
extern char ResetQuestion[WindowTextSize], ResetCaption[WindowTextSize];

void CreateMainWindow();   // creates it hidden, then runs StartEngine
// Makes MainWndProc the window procedure with the accelerator table
// (Alt+Enter gives 40029); part of CreateMainWindow.
void InstallMainWindowProc();
intptr_t MainWndProc(uint32_t message, uintptr_t wparam, intptr_t lparam);
// Copies that rectangle of DestSurface (null = all of it) to the window.
void PaintWindow(const ScreenRect* rect);
// A modal movie owns the window: nothing else draws into it.  An exec
// plug-in that suspended painting leaves direct drawing (transition steps,
// an effect plug-in's last copy, text and choices, ruby, the click cursor,
// the lookback viewer) to the window; only its repaint is left out.
bool MovieOwnsWindow();
// Copies that rectangle of DestSurface (null = all) straight to the window,
// unless a movie owns it.
void DrawDestToWindow(const ScreenRect* rect);
// Marks that rectangle (null = all) to be painted by the next WM_PAINT,
// which is posted when none waits.
void InvalidateMainWindow(const ScreenRect* rect);
// WM_DESTROY: the ":end" hook, the plug-ins' end, the persistent data saved,
// sound shut down, the desktop's display mode back; ends the process with
// 0.  Entered again (a fatal error on the way), it ends the process at once.
[[noreturn]] void DestroyMainWindow();
