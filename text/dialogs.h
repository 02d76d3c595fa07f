// dialogs.h - the modal dialogs the window menu opens and the debug
// variable editor.  Each returns when its dialog has closed.
#pragma once

// The CD folder chosen in the CD dialog ("" for the default); the CD audio
// plays from it.
enum { CdDriveSize = 256 };
extern char CdDrive[CdDriveSize];

void RunCdDriveDialog();     // command 40020
void RunVolumeDialog();      // command 40024
void RunTextSpeedDialog();   // command 40030
void RunAutoSpeedDialog();   // command 40031
void RunVariableEditor();    // command 40005 in debug mode
