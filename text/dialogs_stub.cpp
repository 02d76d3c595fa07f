// dialogs_stub.cpp - the dialogs open nothing until they are built (then
// this file goes).
#include "text/dialogs.h"

char CdDrive[CdDriveSize];

void RunCdDriveDialog() {}
void RunVolumeDialog() {}
void RunTextSpeedDialog() {}
void RunAutoSpeedDialog() {}
void RunVariableEditor() {}
