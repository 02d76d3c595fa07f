// arcpack.h - a small archive packer for the archive tests, the LZSS
// benchmark and the fuzz seeds: LZSS encoding, a reference LZSS decoder
// that follows the ring step by step, and writers of ova, ov2 and built-in
// arc archives.  Header-only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace arcpack {

// ---- bits -------------------------------------------------------------------------------

struct BitWriter {
    std::string bytes;
    int used = 8;  // bits used in the last byte
    void Put(uint32_t value, int n) {
        for (int i = n - 1; i >= 0; i--) {
            if (used == 8) {
                bytes.push_back(0);
                used = 0;
            }
            if (value >> i & 1) bytes.back() = (char)(bytes.back() | (0x80 >> used));
            used++;
        }
    }
};

// ---- LZSS -----------------------------------------------------------------------------

// Greedy encoder over the real output only (distances 1 to 256, lengths 2
// to 17): a hash of the next three bytes finds one candidate, and distance
// 1 catches runs.  Fast enough for tens of megabytes.
inline std::string LzssEncode(const std::string& data) {
    BitWriter w;
    const uint8_t* d = (const uint8_t*)data.data();
    size_t n = data.size();
    // The last position of each hash, valid when stamped with this call: one
    // table for every call, not a fresh half-megabyte each time (the
    // archive tests encode thousands of small entries).
    static std::vector<int64_t> last(1 << 16);
    static std::vector<uint32_t> stamp(1 << 16);
    static uint32_t call = 0;
    call++;
    auto head_at = [&](uint32_t h) -> int64_t { return stamp[h] == call ? last[h] : -1; };
    auto set_head = [&](uint32_t h, int64_t at) {
        last[h] = at;
        stamp[h] = call;
    };
    auto hash = [&](size_t i) { return (uint32_t)((d[i] * 2654435761u) ^ (d[i + 1] << 8) ^ d[i + 2] * 40503u) & 0xFFFF; };
    size_t i = 0;
    while (i < n) {
        size_t best_len = 0, best_dist = 0;
        auto try_dist = [&](size_t dist) {
            if (dist < 1 || dist > 256 || dist > i) return;
            size_t len = 0;
            while (len < 17 && i + len < n && d[i + len] == d[i + len - dist]) len++;
            if (len > best_len) {
                best_len = len;
                best_dist = dist;
            }
        };
        if (i + 2 < n) {
            uint32_t h = hash(i);
            if (head_at(h) >= 0) try_dist(i - (size_t)head_at(h));
            set_head(h, (int64_t)i);
        }
        try_dist(1);
        if (best_len >= 2) {
            uint32_t q = (uint32_t)((239 + i - best_dist) & 255);
            w.Put(0, 1);
            w.Put(q, 8);
            w.Put((uint32_t)(best_len - 2), 4);
            for (size_t k = 1; k < best_len; k++)
                if (i + k + 2 < n) set_head(hash(i + k), (int64_t)(i + k));
            i += best_len;
        } else {
            w.Put(1, 1);
            w.Put(d[i], 8);
            i++;
        }
    }
    return w.bytes;
}

// The decoder as the format describes it: a 256-byte ring (239 spaces, then
// 17 zero bytes), the write position at 239, bits read through a mask, the
// stream ending when a read needs a byte beyond the input.  Stops at `cap`.
inline std::string LzssReference(const std::string& in, size_t cap) {
    uint8_t ring[256];
    for (int i = 0; i < 256; i++) ring[i] = i < 239 ? 0x20 : 0;
    unsigned w = 239;
    size_t pos = 0;
    unsigned mask = 0, cur = 0;
    auto bits = [&](int n) -> int {
        int v = 0;
        for (int i = 0; i < n; i++) {
            if (mask == 0) {
                if (pos >= in.size()) return -1;
                cur = (uint8_t)in[pos++];
                mask = 128;
            }
            v = v << 1 | ((cur & mask) ? 1 : 0);
            mask >>= 1;
        }
        return v;
    };
    std::string out;
    for (;;) {
        int flag = bits(1);
        if (flag < 0) break;
        if (flag) {
            int c = bits(8);
            if (c < 0) break;
            if (out.size() == cap) break;
            out.push_back((char)c);
            ring[w] = (uint8_t)c;
            w = (w + 1) & 255;
        } else {
            int q = bits(8);
            if (q < 0) break;
            int l = bits(4);
            if (l < 0) break;
            for (int j = 0; j < l + 2; j++) {
                if (out.size() == cap) return out;
                uint8_t c = ring[(q + j) & 255];
                out.push_back((char)c);
                ring[w] = c;
                w = (w + 1) & 255;
            }
        }
    }
    return out;
}

// ---- archives --------------------------------------------------------------------------

inline void Big16(std::string* s, uint32_t v) {
    s->push_back((char)(v >> 8));
    s->push_back((char)v);
}
inline void Big32(std::string* s, uint32_t v) {
    for (int i = 3; i >= 0; i--) s->push_back((char)(v >> (8 * i)));
}
inline void Little32(std::string* s, uint32_t v) {
    for (int i = 0; i < 4; i++) s->push_back((char)(v >> (8 * i)));
}

enum { Stored = 0, Spb = 1, Lzss = 2 };

struct OvaItem {
    std::string name;      // written as given
    int type = Stored;
    std::string content;   // stored and LZSS: the file; SPB: the SPB stream
    uint32_t unpacked = 0; // SPB entries only (the others take the content's size)
};

// An ova archive with `prefix` junk bytes in front.
inline std::string PackOva(const std::vector<OvaItem>& items, int prefix = 0) {
    std::vector<std::string> stored;
    uint32_t index_size = 6;
    for (const OvaItem& it : items) {
        stored.push_back(it.type == Lzss ? LzssEncode(it.content) : it.content);
        index_size += (uint32_t)it.name.size() + 1 + 13;
    }
    std::string s(prefix, '\xA5');
    Big16(&s, (uint32_t)items.size());
    Big32(&s, index_size);
    uint32_t offset = 0;
    for (size_t i = 0; i < items.size(); i++) {
        const OvaItem& it = items[i];
        s += it.name;
        s.push_back(0);
        s.push_back((char)it.type);
        Big32(&s, offset);
        Big32(&s, (uint32_t)stored[i].size());
        Big32(&s, it.type == Spb ? it.unpacked : (uint32_t)it.content.size());
        offset += (uint32_t)stored[i].size();
    }
    for (const std::string& d : stored) s += d;
    return s;
}

struct NamedData {
    std::string name;
    std::string content;
};

inline std::string PackOv2(const std::vector<NamedData>& items) {
    std::string index;
    for (const NamedData& it : items) {
        index += '"';
        index += it.name;
        index += '"';
        Little32(&index, (uint32_t)it.content.size());
    }
    index += 'e';
    std::string s;
    Little32(&s, (uint32_t)(4 + index.size()));
    s += index;
    for (const NamedData& it : items) s += it.content;
    return s;
}

// The built-in arc kind.
inline std::string PackArc(const std::vector<NamedData>& items) {
    uint32_t data_area = 6;
    for (const NamedData& it : items) data_area += (uint32_t)it.name.size() + 1 + 8;
    std::string s;
    Big16(&s, (uint32_t)items.size());
    Big32(&s, data_area);
    uint32_t offset = 0;
    for (const NamedData& it : items) {
        s += it.name;
        s.push_back(0);
        Big32(&s, offset);
        Big32(&s, (uint32_t)it.content.size());
        offset += (uint32_t)it.content.size();
    }
    for (const NamedData& it : items) s += it.content;
    return s;
}

// Bytes from "AB CD ..." hexadecimal text.
inline std::string Hex(const char* text) {
    std::string out;
    int nibble = -1;
    for (const char* p = text; *p; p++) {
        int v = *p >= '0' && *p <= '9' ? *p - '0'
              : *p >= 'a' && *p <= 'f' ? *p - 'a' + 10
              : *p >= 'A' && *p <= 'F' ? *p - 'A' + 10 : -1;
        if (v < 0) continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            out.push_back((char)(nibble << 4 | v));
            nibble = -1;
        }
    }
    return out;
}

}  // namespace arcpack
