// gsub.h - the single substitutions a font's GSUB table gives for one
// feature (the vertical forms of 'vert'), read from the table's bytes with
// every offset and count checked against its size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// A feature tag from its four letters: GsubTag("vert").
constexpr uint32_t GsubTag(const char (&t)[5]) {
    return (uint32_t)(uint8_t)t[0] << 24 | (uint32_t)(uint8_t)t[1] << 16 | (uint32_t)(uint8_t)t[2] << 8 |
           (uint8_t)t[3];
}

// The pairs (glyph, substitute) of the single-substitution lookups (also
// behind extension lookups) of every feature tagged `tag`, sorted by
// glyph; where two lookups substitute the same glyph, the first in lookup
// order wins.  False, with `out` empty, when the table is malformed or has
// no such substitution.
bool ReadGsubSingles(const uint8_t* table, size_t size, uint32_t tag,
                     std::vector<std::pair<uint16_t, uint16_t>>* out);
