// define_end_stub.cpp - empty until the window menu and the fonts are built
// (then this file goes).
#include "text/define_end.h"

void DropDeletedMenu() {}
void RestoreResetMenu() {}
