// text.cpp - CP932 <-> UTF-8 through iconv.  A byte sequence that does not
// convert becomes '?' and the conversion goes on behind it.
#include <errno.h>
#include <iconv.h>

#include "platform/platform.h"

namespace {

struct Converters {
    iconv_t to_utf8 = (iconv_t)-1;
    iconv_t to_cp932 = (iconv_t)-1;
    ~Converters() {
        if (to_utf8 != (iconv_t)-1) iconv_close(to_utf8);
        if (to_cp932 != (iconv_t)-1) iconv_close(to_cp932);
    }
};

// One pair per thread: an iconv descriptor keeps state between calls.
thread_local Converters Conv;

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// Length of the UTF-8 sequence starting at p (at least 1, at most left).
size_t Utf8SkipLength(const unsigned char* p, size_t left) {
    size_t n = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC0 ? 2 : 1;
    size_t k = 1;
    while (k < n && k < left && (p[k] & 0xC0) == 0x80) k++;
    return k;
}

std::string Convert(iconv_t* cd, const char* to, const char* from,
                    const std::string& in, bool from_utf8) {
    if (in.empty() || IsAscii(in)) return in;
    if (*cd == (iconv_t)-1) {
        *cd = iconv_open(to, from);
        if (*cd == (iconv_t)-1) return in;  // no such converter: leave as is
    }
    std::string out;
    out.resize(in.size() * 2 + 16);
    char* ip = const_cast<char*>(in.data());
    size_t il = in.size();
    size_t used = 0;
    iconv(*cd, nullptr, nullptr, nullptr, nullptr);
    while (il > 0) {
        char* op = &out[used];
        size_t ol = out.size() - used;
        size_t r = iconv(*cd, &ip, &il, &op, &ol);
        used = out.size() - ol;
        if (r != (size_t)-1) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: one '?' for the bad sequence, then go on.
        if (out.size() - used < 1) out.resize(out.size() * 2);
        out[used++] = '?';
        size_t skip = from_utf8 ? Utf8SkipLength((const unsigned char*)ip, il) : 1;
        ip += skip;
        il -= skip;
        iconv(*cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& cp932) {
    return Convert(&Conv.to_utf8, "UTF-8", "CP932", cp932, false);
}

std::string Utf8ToCp932(const std::string& utf8) {
    return Convert(&Conv.to_cp932, "CP932", "UTF-8", utf8, true);
}
