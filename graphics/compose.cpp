// compose.cpp - the dirty rectangle and screen composition.  ComposeScreen
// redraws one rectangle of SrcSurface, bottom layer first: the background
// (skipped under an opaque full-screen picture), the back sprites, the
// standing pictures, the front sprites, the rotated sprites and the text
// window, the last three ordered by the window-back mode, with the screen
// filters and the bar and number overlays among them.  Only the
// rectangle is touched: everything outside it keeps what the last
// composition left there.
#include "graphics/compose.h"

#include <cstring>

#include "core/script.h"
#include "ext/layers.h"
#include "graphics/draw.h"
#include "graphics/effect.h"
#include "graphics/filters.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "text/textwindow.h"

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

// An opaque picture at or beyond every screen edge hides the background.
static bool CoversScreen(const Surface& s, int32_t x, int32_t y) {
    return s.transMode == TransCopy && x <= 0 && y <= 0 &&
           (int64_t)x + GetCellWidth(&s) >= ScreenWidth &&
           (int64_t)y + s.dib.height >= ScreenHeight;
}

// The cover test looks at every sprite whatever the hiding settings say.
static bool BackgroundCovered() {
    for (const Sprite& s : Sprites)
        if (s.tag[0] && s.visible && s.surface.alpha == 255 && CoversScreen(s.surface, s.x, s.y))
            return true;
    for (const Human& h : Humans)
        if (h.name[0] && CoversScreen(h.surface, h.x, h.y)) return true;
    return false;
}

// The composition area: its top-left corner, its size, and the clip
// rectangle the drawing routines get.
struct Area {
    int32_t left, top, w, h;
    DrawClip clip;
};

static void DrawBackground(const Area& a) {
    if (BgAlia.x == -1) {
        BltToSurface(&SrcSurface, a.left, a.top, a.w, a.h, &BgSurface, a.left, a.top);
        return;
    }
    // The background's top-left part, placed at (x, y), on black.
    FillSurfaceRect(&SrcSurface, a.left, a.top, a.left + a.w, a.top + a.h, 0);
    int64_t w = a.w, h = a.h;
    int64_t sx = (int64_t)a.left - BgAlia.x, sy = (int64_t)a.top - BgAlia.y;
    if (w > BgAlia.width - sx) w = BgAlia.width - sx;
    if (h > BgAlia.height - sy) h = BgAlia.height - sy;
    if (w < 1 || h < 1) return;  // nothing of the part lies in the area
    BltToSurface(&SrcSurface, a.left, a.top, (int32_t)w, (int32_t)h, &BgSurface, (int32_t)sx,
                 (int32_t)sy);
}

static void DrawSprite(int n, const Area& a) {
    if (n >= HiddenSpriteFirst && n <= HiddenSpriteLast) return;
    Sprite& s = Sprites[n];
    if (!s.tag[0] || !s.visible) return;
    int slot = LayerSlotOfTag(s.tag);
    if (slot >= 0) {
        if (slot >= LayerSlotCount) return;
        LayerSlot& l = LayerSlots[slot];
        if (l.Draw && (!EffectOperandActive || !l.suppressed)) {
            // Plug-ins take rectangles inclusive: the pixels composed, held
            // to the screen (the clip's right and bottom may lie past it).
            int32_t area[4] = {a.left, a.top, a.left + a.w - 1, a.top + a.h - 1};
            l.Draw(SrcSurface.dib.bits, area);
        }
        return;
    }
    // Sprites 0..9 are the system menu's own while it has taken the window off.
    if (n < 10 && BrinMode && WindowEraseActive) return;
    DrawSurface(&s.surface, &SrcSurface, s.x, s.y, &a.clip);
}

// Sprites from `first` down to `last`.
static void DrawSprites(int first, int last, const Area& a) {
    if (AllSpritesHidden) return;
    for (int n = first; n >= last; n--) DrawSprite(n, a);
}

static void DrawHuman(int i, const Area& a) {
    Human& h = Humans[i];
    if (h.name[0]) DrawSurface(&h.surface, &SrcSurface, h.x, h.y, &a.clip);
}

// Without an order: left, centre, right.  With one: its letters 2, 1, 0,
// so that the first ends on top; letters past the end of the text draw
// nothing.
static void DrawHumans(const Area& a) {
    if (AllSpritesHidden && !NotEraseHumans) return;
    size_t len = strnlen(HumanOrder, HumanOrderSize);
    if (len == 0) {
        for (int i = 0; i < HumanCount; i++) DrawHuman(i, a);
        return;
    }
    for (int k = 2; k >= 0; k--) {
        if ((size_t)k >= len) continue;
        switch (HumanOrder[k]) {
        case 'L': case 'l': DrawHuman(0, a); break;
        case 'C': case 'c': DrawHuman(1, a); break;
        case 'R': case 'r': DrawHuman(2, a); break;
        default: break;
        }
    }
}

static void DrawRotatedSprites() {
    if (Sprite2Hidden) return;
    for (int n = Sprite2Count - 1; n >= 0; n--) {
        Sprite2& s = Sprites2[n];
        if (s.tag[0] && s.visible)
            DrawSurfaceRotated(&s.surface, &SrcSurface, s.cx, s.cy, s.xscale, s.yscale,
                               s.rotation, s.blend);
    }
}

static void DrawTextWindow(const Area& a) {
    if (!TextWindowComposed) return;
    ScreenRect r{a.clip.left, a.clip.top, a.clip.right, a.clip.bottom};
    ComposeTextWindow(&r);
}

void ComposeScreen(const ScreenRect* rect) {
    if (!HasPicture(&SrcSurface)) return;
    Area a;
    int32_t right, bottom;
    if (rect) {
        a.left = rect->left, a.top = rect->top;
        right = rect->right + 1, bottom = rect->bottom + 1;
    } else {
        a.left = 0, a.top = 0;
        right = ScreenWidth, bottom = ScreenHeight;
    }
    a.w = right - a.left + 1;
    a.h = bottom - a.top + 1;
    if (a.w > ScreenWidth - a.left) a.w = ScreenWidth - a.left;
    if (a.h > ScreenHeight - a.top) a.h = ScreenHeight - a.top;
    if (a.w < 1 || a.h < 1) return;
    a.clip = DrawClip{a.left, a.top, right, bottom};

    if (!BackgroundCovered()) DrawBackground(a);
    DrawSprites(SpriteCount - 1, HumanZ + 1, a);
    DrawHumans(a);
    // The filters come after the standing pictures with the window back on,
    // else after the rotated sprites; the bars and numbers after both.
    if (WindowBackOn) {
        ApplyScreenFilters(a.left, a.top, a.w, a.h);
        DrawRotatedSprites();
        DrawTextWindow(a);
    }
    if (HumanZ >= 0) DrawSprites(HumanZ, 0, a);
    if (!WindowBackOn) {
        DrawRotatedSprites();
        ApplyScreenFilters(a.left, a.top, a.w, a.h);
    }
    if (!(WindowEraseActive && BrinMode)) {
        ScreenRect r{a.clip.left, a.clip.top, a.clip.right, a.clip.bottom};
        DrawBarSlots(&r);
        DrawPrnumSlots(&r);
    }
    if (!WindowBackOn) DrawTextWindow(a);
}
