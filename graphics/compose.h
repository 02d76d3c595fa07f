// compose.h - screen composition: the dirty rectangle, ComposeScreen, which
// redraws a rectangle of SrcSurface from the background, the sprite tables,
// the standing pictures, the filters, the overlays and the text window, and
// the background's own state.
#pragma once
#include <cstdint>

#include "core/heapstring.h"

// Inclusive screen coordinates; all four 0 = empty.
struct ScreenRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
extern ScreenRect DirtyRect;

// Grows DirtyRect to include the rectangle (an empty DirtyRect becomes it),
// then clamps it to the screen.
void AddDirtyRect(int32_t left, int32_t right, int32_t top, int32_t bottom);
void ClearDirtyRect();
// Redraws that rectangle of SrcSurface; null = the whole screen.
void ComposeScreen(const ScreenRect* rect);

struct BgAliaSetting {
    int32_t x = -1, y = 0, width = 0, height = 0;  // x -1 = off
};
extern BgAliaSetting BgAlia;
extern HeapString BgName;       // "black", "white", "#rrggbb" or an image tag
extern int32_t NotEraseHumans;
