// return_value.h - ReturnValue and ReturnString: the results of the last
// plug-in call or command that reports one, read back by getret.
#pragma once
#include <cstdint>

enum { ReturnStringSize = 256 };
extern int32_t ReturnValue;
extern char ReturnString[ReturnStringSize];
