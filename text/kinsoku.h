// kinsoku.h - the line-break rules: the characters that may not begin a line
// (KinsokuStart) and those that may not end one (KinsokuEnd), both lists of
// two-byte characters, and the switch that turns the rules off.
#pragma once

enum { KinsokuListSize = 512 };  // bytes of each list, its NUL included

extern char KinsokuStart[KinsokuListSize];
extern char KinsokuEnd[KinsokuListSize];
extern int KinsokuOff;  // 1: lines break anywhere

// Both lists back to their start values (every start and restart).
void SetDefaultKinsokuLists();
// True when the two-byte character b1 b2 is in the list.
bool InKinsokuList(const char* list, unsigned char b1, unsigned char b2);
// Sets (append false) or extends a list with `text`, cut to whole two-byte
// characters; false, with the list unchanged, when the result would not fit.
bool SetKinsokuList(char* list, const char* text, bool append);

// The number of characters to keep together at a line end: k grows while
// character k may not end a line or character k + 1 may not begin one, as
// long as two characters remain from k.  chars holds n characters, each
// two bytes (b1 << 8 | b2).
int KinsokuKeep(const unsigned short* chars, int n);
