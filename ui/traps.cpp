// traps.cpp - storage of the trap settings and of the lr_trap_value record.
#include "ui/traps.h"

#include "ui/window_links.h"

TrapSettings Traps;
int32_t TrapValueVariable = -1;
