// readlog.h - the read-log: one bit per script byte, set when the interpreter
// reaches a statement there.
#pragma once
#include <cstdint>

extern uint8_t* ReadFlags;  // bit of offset p: byte p / 8, mask 1 << (p % 8)
extern int ReadFlagsSize;   // bytes
extern int KidokuMode;      // skip mode stops at unread text
