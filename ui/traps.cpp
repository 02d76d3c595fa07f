// traps.cpp - storage of the trap settings and of the lr_trap_value record.
#include "text/traps.h"

#include "text/window_links.h"

TrapSettings Traps;
int32_t TrapValueVariable = -1;
