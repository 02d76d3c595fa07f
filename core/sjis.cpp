// sjis.cpp - bounded Shift-JIS copies.
#include "core/sjis.h"

#include <cstring>

size_t CopySjisBounded(char* dst, size_t size, const char* src) {
    if (size == 0) return 0;
    size_t n = SjisCutLength(src, strlen(src), size - 1);
    memmove(dst, src, n);
    dst[n] = 0;
    return n;
}

void TrimSjisTail(char* s) {
    size_t i = 0;
    while (s[i]) {
        if (IsSjisLead((unsigned char)s[i])) {
            if (!s[i + 1]) {
                s[i] = 0;  // a lead byte without its trail byte
                return;
            }
            i += 2;
        } else {
            i += 1;
        }
    }
}
