// kinsoku.cpp - the line-break lists and the rule that keeps characters
// together at a line end.
#include "text/kinsoku.h"

#include <cstring>

#include "text/display_messages.h"

char KinsokuStart[KinsokuListSize];
char KinsokuEnd[KinsokuListSize];
int KinsokuOff = 0;

void SetDefaultKinsokuLists() {
    SetKinsokuList(KinsokuStart, TxtKinsokuStartDefault, false);
    SetKinsokuList(KinsokuEnd, TxtKinsokuEndDefault, false);
}

bool InKinsokuList(const char* list, unsigned char b1, unsigned char b2) {
    for (const unsigned char* p = (const unsigned char*)list; p[0] && p[1]; p += 2)
        if (p[0] == b1 && p[1] == b2) return true;
    return false;
}

bool SetKinsokuList(char* list, const char* text, bool append) {
    size_t have = append ? strlen(list) : 0;
    size_t add = strlen(text) & ~(size_t)1;  // whole two-byte characters only
    if (have + add >= KinsokuListSize) return false;
    memcpy(list + have, text, add);
    list[have + add] = 0;
    return true;
}

int KinsokuKeep(const unsigned short* chars, int n) {
    if (KinsokuOff == 1) return 0;
    int k = 0;
    while (n - k >= 2) {
        unsigned c0 = chars[k], c1 = chars[k + 1];
        if (InKinsokuList(KinsokuEnd, (unsigned char)(c0 >> 8), (unsigned char)c0) ||
            InKinsokuList(KinsokuStart, (unsigned char)(c1 >> 8), (unsigned char)c1))
            k++;
        else
            break;
    }
    return k;
}
