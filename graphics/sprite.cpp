// sprite.cpp - the sprite tables, their settings and their dirty areas.
#include "graphics/sprite.h"

#include <cmath>
#include <cstdint>

#include "core/script.h"
#include "graphics/compose.h"

Sprite Sprites[SpriteCount];
Sprite2 Sprites2[Sprite2Count];
Human Humans[HumanCount];

int32_t HumanCentreX[HumanCount];
int32_t HumanBaseline;
int32_t HumanZ = 499;
char HumanOrder[HumanOrderSize];
int32_t AllSpritesHidden;
int32_t Sprite2Hidden;
int32_t HiddenSpriteFirst = 9999, HiddenSpriteLast = -9999;

int LayerSlotOfTag(const char* tag) {
    if (tag[0] != '*') return -1;
    int n = 0;
    for (const char* p = tag + 1; *p >= '0' && *p <= '9'; p++) {
        n = n * 10 + (*p - '0');
        if (n > 1000000) return -1;
    }
    return n;
}

// Script values can be anything: the sums are made in 64 bits and held to
// the 32-bit range before the rectangle (which clamps to the screen) grows.
static int32_t Sat(int64_t v) { return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int32_t)v; }

static void AddArea(int32_t x, int32_t y, const Surface& s) {
    AddDirtyRect(x, Sat((int64_t)x + GetCellWidth(&s) + 1), y, Sat((int64_t)y + s.dib.height + 1));
}

void MarkSpriteDirty(int n) {
    const Sprite& s = Sprites[n];
    AddArea(s.x, s.y, s.surface);
}

// The half side of the square: single-precision sqrt as the drawing
// expects; the rotation is not taken into account.
void MarkSprite2Dirty(int n) {
    const Sprite2& s = Sprites2[n];
    int64_t d = (int64_t)GetCellWidth(&s.surface) * s.xscale / 100;
    int64_t e = (int64_t)s.surface.dib.height * s.yscale / 100;
    float root = sqrtf((float)d * (float)d + (float)e * (float)e) + 1;
    int64_t r = root >= 4e18f ? INT64_MAX / 4 : (int64_t)root / 2;
    AddDirtyRect(Sat(s.cx - r), Sat(s.cx + r), Sat(s.cy - r), Sat(s.cy + r));
}

void MarkHumanDirty(int i) {
    const Human& h = Humans[i];
    AddArea(h.x, h.y, h.surface);
}
