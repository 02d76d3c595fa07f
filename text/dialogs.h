// dialogs.h - the modal dialogs the window menu opens and the debug
// variable editor.  Each returns when its dialog has closed.
#pragma once

void RunCdDriveDialog();     // command 40020
void RunVolumeDialog();      // command 40024
void RunTextSpeedDialog();   // command 40030
void RunAutoSpeedDialog();   // command 40031
void RunVariableEditor();    // command 40005 in debug mode
