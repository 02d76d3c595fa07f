// imagefield.h - the field types of the records whose part of the savepoint
// image is kept written between images (the sprites', save/imagecache.h).
// They read as their plain values; every store marks the record that holds
// the field changed, so that its part is written again before the next image
// uses it.  Edit() and Raw() hand out the plain buffer or value and mark
// the record when they do, so the store must follow at once, before the
// next image.  The journal reaches the plain values directly and marks
// what it swaps itself.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// The record holding address p has changed; an address outside the sprite
// tables (another picture's Surface, a copy on the stack) is nothing.
void MarkImageRecordAt(const void* p);

struct ImageInt {
    int32_t v;
    constexpr explicit ImageInt(int32_t n = 0) : v(n) {}
    ImageInt(const ImageInt&) = default;
    ImageInt& operator=(const ImageInt& o) { return *this = o.v; }
    ImageInt& operator=(int32_t n) {
        v = n;
        MarkImageRecordAt(this);
        return *this;
    }
    operator int32_t() const { return v; }
    ImageInt& operator+=(int32_t n) { return *this = v + n; }
    ImageInt& operator-=(int32_t n) { return *this = v - n; }
    ImageInt& operator++() { return *this = v + 1; }
    ImageInt& operator--() { return *this = v - 1; }
    int32_t operator++(int) {
        int32_t old = v;
        *this = v + 1;
        return old;
    }
    int32_t operator--(int) {
        int32_t old = v;
        *this = v - 1;
        return old;
    }
    int32_t* Raw() {
        MarkImageRecordAt(this);
        return &v;
    }
};

// A text in a fixed buffer of N bytes (NUL included).  It reads as a
// const char*; Edit() hands out the buffer for writing.  The copy is the
// program's own, so that the record cannot be passed through "..." where a
// const char* is read (an error with clang).
template <size_t N>
struct ImageText {
    char s[N] = {};
    ImageText() = default;
    ImageText(const ImageText& o) { std::memcpy(s, o.s, N); }
    ImageText& operator=(const ImageText& o) {
        if (this != &o) std::memcpy(Edit(), o.s, N);
        return *this;
    }
    operator const char*() const { return s; }
    const char* c_str() const { return s; }
    char* Edit() {
        MarkImageRecordAt(this);
        return s;
    }
};
