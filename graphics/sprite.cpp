// sprite.cpp - the sprite tables, their settings and their dirty areas.
#include "graphics/sprite.h"

#include <cmath>

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

void MarkSpriteDirty(int n) {
    const Sprite& s = Sprites[n];
    AddDirtyRect(s.x, s.x + GetCellWidth(&s.surface) + 1, s.y, s.y + s.surface.dib.height + 1);
}

void MarkSprite2Dirty(int n) {
    const Sprite2& s = Sprites2[n];
    int32_t d = GetCellWidth(&s.surface) * s.xscale / 100;
    int32_t e = s.surface.dib.height * s.yscale / 100;
    int32_t r = (int32_t)(sqrtf((float)d * d + (float)e * e) + 1) / 2;
    AddDirtyRect(s.cx - r, s.cx + r, s.cy - r, s.cy + r);
}

void MarkHumanDirty(int i) {
    const Human& h = Humans[i];
    AddDirtyRect(h.x, h.x + GetCellWidth(&h.surface) + 1, h.y, h.y + h.surface.dib.height + 1);
}
