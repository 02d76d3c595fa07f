// callstack.cpp - the call stack's storage.
#include "core/callstack.h"

int32_t CallStack[CallStackSize];
int CallStackDepth = 0;
