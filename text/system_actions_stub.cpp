// system_actions_stub.cpp - no system actions until they are built (then
// this file goes).
#include "text/system_actions.h"

void RunSystemAction(int32_t) {}
int AskYesNo(const char*) { return -1; }
