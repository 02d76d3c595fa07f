// lookback_stub.cpp - the viewer shows nothing until it is built (then this
// file goes).
#include "text/lookback.h"
#include "text/textwindow.h"

int ShowLookback() { return 0; }
void ClearLookbackShown() { LookbackShown = 0; }
void BackupTextLayer() {}
void RestoreTextLayer() {}
void ClearSystemMenuActive() { SystemMenuActive = 0; }
