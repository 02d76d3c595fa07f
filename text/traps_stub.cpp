// traps_stub.cpp - storage of the trap settings until the trap commands are
// built (then this file goes).
#include "text/traps.h"

TrapSettings Traps;
