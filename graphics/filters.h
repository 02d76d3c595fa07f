// filters.h - the screen filters and overlays the compositor applies to every
// area it redraws: the negative filter (NegaMode), the monochrome tint
// (Monocro), 100 filled bars (BarSlots) and 100 three-digit numbers
// (PrnumSlots).  Part of the saved game state.
#pragma once
#include <cstdint>

#include "graphics/compose.h"

// 0 off, 1 invert before the tint, 2 invert after it; others act as off.
extern int32_t NegaMode;
struct MonocroTint {
    int32_t on = 0;
    int32_t red = 0, green = 0, blue = 0;
};
extern MonocroTint Monocro;

enum { BarSlotCount = 100, PrnumSlotCount = 100 };
struct BarSlot {
    int32_t value = 0, x = -1, y = 0, width = 0, height = 0, maximum = 0;  // x -1 = free
    int32_t color = 0;  // 0xRRGGBB
};
struct PrnumSlot {
    int32_t value = 0, x = -1, y = 0, cellWidth = 0, cellHeight = 0;  // x -1 = free
    int32_t color = 0;  // 0xRRGGBB; the box is 3 cells wide, 1 high
};
extern BarSlot BarSlots[BarSlotCount];
extern PrnumSlot PrnumSlots[PrnumSlotCount];

// Filters off, every bar and number free.
void ResetScreenFilters();
// The filters over SrcSurface's area of w x h from (left, top), clipped to
// the picture: NegaMode 1, the tint, NegaMode 2.
void ApplyScreenFilters(int32_t left, int32_t top, int32_t w, int32_t h);
// The bars and numbers whose box meets the rectangle (inclusive), drawn into
// SrcSurface (each over its whole box, clipped to the picture).
void DrawBarSlots(const ScreenRect* rect);
void DrawPrnumSlots(const ScreenRect* rect);

// The 3 x 3 kernel (1 2 1 / 2 4 2 / 1 2 1) >> 4 that reduces a picture drawn
// at three times the size: `big` is (3 w) x (3 h) bytes, top-down; `out`
// w x h coverage bytes.
void ReduceThirds(const uint8_t* big, int32_t w, int32_t h, uint8_t* out);
