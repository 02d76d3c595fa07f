// window.cpp - the device calls of presenting rectangles, cursor pictures
// and game controllers, checked and handed to the backend, the copy of the
// presented pictures that reading the window back gives, and the overlay
// kept over every present.
#include <cstring>
#include <vector>

#include "platform/common/backend.h"

// Clamps a rectangle to a w x h picture; false when nothing is left.
static bool ClampRect(int w, int h, int* left, int* top, int* right, int* bottom) {
    if (*left < 0) *left = 0;
    if (*top < 0) *top = 0;
    if (*right >= w) *right = w - 1;
    if (*bottom >= h) *bottom = h - 1;
    return *left <= *right && *top <= *bottom;
}

void PlatPresentRect(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom) {
    if (!bits || w <= 0 || h <= 0) return;
    if (!ClampRect(w, h, &left, &top, &right, &bottom)) return;
    Backend->present_rect(MirrorPresented(bits, w, h, left, top, right, bottom), w, h, left, top, right, bottom);
}

// The window's content as presented: bottom-up rows of the picture's layout.
static std::vector<uint8_t> Mirror;
static int MirrorW, MirrorH;

// The picture kept over every present (PlatPresentOverlay): its rectangle
// of a w x h picture, rows top-down.
static struct {
    bool on;
    int w, h, left, top, right, bottom;
    std::vector<uint8_t> rows;
} Overlay;

const uint8_t* MirrorPresented(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom) {
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    if (w != MirrorW || h != MirrorH) {
        // A picture of another size replaces the whole content.
        Mirror.assign(stride * h, 0);
        MirrorW = w, MirrorH = h;
        left = 0, top = 0, right = w - 1, bottom = h - 1;
    }
    for (int y = top; y <= bottom; y++) {
        size_t at = stride * (size_t)(h - 1 - y) + 3 * (size_t)left;
        memcpy(&Mirror[at], bits + at, 3 * (size_t)(right - left + 1));
    }
    // The overlay's pixels within the rectangle go over the picture; the
    // backend then shows the mirror.
    const auto& o = Overlay;
    if (!o.on || o.w != w || o.h != h) return bits;
    int l = left > o.left ? left : o.left, r = right < o.right ? right : o.right;
    int t = top > o.top ? top : o.top, b = bottom < o.bottom ? bottom : o.bottom;
    if (l > r || t > b) return bits;
    size_t row = 3 * (size_t)(o.right - o.left + 1);
    for (int y = t; y <= b; y++)
        memcpy(&Mirror[stride * (size_t)(h - 1 - y) + 3 * (size_t)l],
               &o.rows[row * (size_t)(y - o.top) + 3 * (size_t)(l - o.left)], 3 * (size_t)(r - l + 1));
    return Mirror.data();
}

void PlatPresentOverlay(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom) {
    if (!bits || w <= 0 || h <= 0) return;
    if (!ClampRect(w, h, &left, &top, &right, &bottom)) {
        Overlay.on = false;
        return;
    }
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3, row = 3 * (size_t)(right - left + 1);
    Overlay.rows.resize(row * (size_t)(bottom - top + 1));
    for (int y = top; y <= bottom; y++)
        memcpy(&Overlay.rows[row * (size_t)(y - top)], bits + stride * (size_t)(h - 1 - y) + 3 * (size_t)left, row);
    Overlay.on = true;
    Overlay.w = w, Overlay.h = h;
    Overlay.left = left, Overlay.top = top, Overlay.right = right, Overlay.bottom = bottom;
    PlatPresentRect(bits, w, h, left, top, right, bottom);
}

void PlatClearOverlay() { Overlay.on = false; }

bool PlatReadWindow(uint8_t* bits, int w, int h) {
    if (!bits || w != MirrorW || h != MirrorH || Mirror.empty()) return false;
    memcpy(bits, Mirror.data(), Mirror.size());
    return true;
}

bool PlatSetCustomCursor(const uint32_t* argb, int w, int h, int hot_x, int hot_y) {
    if (argb && (w <= 0 || h <= 0 || w > 256 || h > 256)) return false;
    if (hot_x < 0 || hot_x >= w) hot_x = 0;
    if (hot_y < 0 || hot_y >= h) hot_y = 0;
    return Backend->set_custom_cursor(argb, argb ? w : 0, argb ? h : 0, hot_x, hot_y);
}

void PlatUseCustomCursor(bool on) { Backend->use_custom_cursor(on); }

void PlatReadJoypad(int32_t out[JoypadValueCount]) {
    memset(out, 0, sizeof(int32_t) * JoypadValueCount);
    Backend->read_joypad(out);
}
