// return_value.cpp - see return_value.h.
#include "core/return_value.h"

int32_t ReturnValue = 0;
char ReturnString[ReturnStringSize] = "";
