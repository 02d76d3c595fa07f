// readlog.h - the read-log: one bit per script byte, set when the interpreter
// reaches a statement there, kept in "kidoku.dat" (the flag bytes, nothing
// else) in the save folder.
#pragma once
#include <cstddef>
#include <cstdint>

extern uint8_t* ReadFlags;  // bit of offset p: byte p / 8, mask 1 << (p % 8)
extern int ReadFlagsSize;   // bytes; 0 = no read-log
extern int KidokuMode;      // skip mode stops at unread text

// kidokuskip: ScriptLength / 8 bytes of flags, all clear, then as many bytes
// of "kidoku.dat" as fit (a longer file from a longer script is cut, a
// shorter one leaves the rest clear).  Drops the flags held before.
void InitReadFlags();
// Copies the flag bytes of a "kidoku.dat" image into the flags held.
void LoadReadFlagBytes(const uint8_t* data, size_t size);
// 1 when the bit of ReadPosition is set; 0 when not or beyond the flags.
int TestReadFlag();
// Writes "kidoku.dat" when the flags exist; false when the write failed.
bool WriteReadFlags();
void FreeReadFlags();
