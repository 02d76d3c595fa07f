// Fuzzes ReadLuaSource, the reader of Lua source text: whatever the bytes,
// it writes at most 2n bytes and a NUL into a 2n + 1 buffer, drops every CR,
// keeps every other byte in order, and only ever adds backslashes (at most
// one for each backslash of the input).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ext/luabridge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    int n = (int)size;
    // Exactly 2n + 1 bytes, so that ASan sees any write past the end.
    std::vector<char> out(2 * size + 1);
    int r = ReadLuaSource(out.data(), data, n);
    int written = r - 1;
    if (written < 0 || written > 2 * n || out[written] != 0) abort();
    // The bytes other than CR and '\' come through in order.
    int w = 0;
    long in_slashes = 0, out_slashes = 0;
    for (int i = 0; i < n; i++) {
        uint8_t c = data[i];
        if (c == '\\') in_slashes++;
        if (c == '\r' || c == '\\') continue;
        while (w < written && out[w] == '\\') w++, out_slashes++;
        if (w >= written || (uint8_t)out[w] != c) abort();
        w++;
    }
    for (; w < written; w++) {
        if (out[w] != '\\') abort();
        out_slashes++;
    }
    if (out_slashes < in_slashes || out_slashes > 2 * in_slashes) abort();
    for (int k = 0; k < written; k++)
        if (out[k] == '\r') abort();
    return 0;
}
