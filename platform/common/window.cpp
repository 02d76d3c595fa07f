// window.cpp - the device calls of presenting rectangles, cursor pictures
// and game controllers, checked and handed to the backend, and the copy of
// the presented pictures that reading the window back gives.
#include <cstring>
#include <vector>

#include "platform/common/backend.h"

void PlatPresentRect(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom) {
    if (!bits || w <= 0 || h <= 0) return;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right >= w) right = w - 1;
    if (bottom >= h) bottom = h - 1;
    if (left > right || top > bottom) return;
    MirrorPresented(bits, w, h, left, top, right, bottom);
    Backend->present_rect(bits, w, h, left, top, right, bottom);
}

// The window's content as presented: bottom-up rows of the picture's layout.
static std::vector<uint8_t> Mirror;
static int MirrorW, MirrorH;

void MirrorPresented(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom) {
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
}

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
