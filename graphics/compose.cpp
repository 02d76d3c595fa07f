// compose.cpp - the dirty rectangle and screen composition.
#include "graphics/compose.h"

#include "core/script.h"
#include "graphics/screen.h"

ScreenRect DirtyRect;
BgAliaSetting BgAlia;
HeapString BgName;
int32_t NotEraseHumans;

void AddDirtyRect(int32_t left, int32_t right, int32_t top, int32_t bottom) {
    ScreenRect& d = DirtyRect;
    if (d.left == 0 && d.top == 0 && d.right == 0 && d.bottom == 0) {
        d.left = left, d.right = right, d.top = top, d.bottom = bottom;
    } else {
        if (left < d.left) d.left = left;
        if (top < d.top) d.top = top;
        if (right > d.right) d.right = right;
        if (bottom > d.bottom) d.bottom = bottom;
    }
    if (d.left < 0) d.left = 0;
    if (d.top < 0) d.top = 0;
    if (d.right > ScreenWidth - 1) d.right = ScreenWidth - 1;
    if (d.bottom > ScreenHeight - 1) d.bottom = ScreenHeight - 1;
}

void ClearDirtyRect() { DirtyRect = ScreenRect(); }

void ComposeScreen(const ScreenRect*) {}
