// string_commands.h - string length, substring and comparison, conversions
// between numbers and text, splitting a text into variables and the label
// test: len, mid, cmp, itoa, itoa2, atoi, split, splitnum, labelexist.  None
// of them clamps.  Texts are Shift-JIS bytes; lengths and offsets count bytes.
#pragma once
#include <cstdint>

void Cmd_len();
void Cmd_mid();
void Cmd_cmp();
void Cmd_itoa();
void Cmd_itoa2();
void Cmd_atoi();
void Cmd_split();
void Cmd_splitnum();
void Cmd_labelexist();

// The number at the start of text as atoi reads it: blanks, an optional
// sign, decimal digits; beyond 32 bits it saturates; no digits give 0.
int32_t ParseLeadingInt(const char* text);

// The same reading fed one byte at a time, for texts that are not held
// whole (a CSV field may be of any length): the bytes behind the number
// are only looked at, never kept.
struct LeadingIntReader {
    int stage = 0;           // 0 blanks, 1 sign or digits seen, 2 past the number
    bool negative = false;
    uint64_t magnitude = 0;  // held at most one past the int32 range
    void Put(unsigned char c);
    int32_t Value() const;
};
