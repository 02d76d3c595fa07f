// Fuzzes the LZSS decoder: the first two bytes give the output bound, the
// rest is the token stream.  The output buffer is exactly the bound, and the
// result must equal the step-by-step reference decoder's.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/lzss.h"
#include "tests/archive/arcpack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t input_size) {
    if (input_size < 2) return 0;
    size_t cap = (size_t)input[0] << 8 | input[1];
    std::string in((const char*)input + 2, input_size - 2);
    std::vector<uint8_t> out(cap);
    size_t n = LzssDecode((const uint8_t*)in.data(), in.size(), out.data(), cap);
    if (n > cap) abort();
    std::string want = arcpack::LzssReference(in, cap);
    if (want.size() != n || (n && memcmp(want.data(), out.data(), n) != 0)) abort();
    return 0;
}
