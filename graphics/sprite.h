// sprite.h - the three picture tables the script places on the screen: the
// 1000 upright sprites, the 256 rotated and scaled sprites and the three
// standing pictures (left, centre, right), their settings, and the routines
// that turn their screen areas into the dirty rectangle.
#pragma once
#include <cstdint>

#include "graphics/surface.h"
#include "save/imagefield.h"

enum {
    SpriteCount = 1000,
    Sprite2Count = 256,
    HumanCount = 3,        // 0 left, 1 centre, 2 right
    SpriteTagSize = 256,   // 255 characters and the NUL
    HumanOrderSize = 11,   // 10 letters and the NUL
};

// The fields the savepoint image holds are ImageInt / ImageText.
struct Sprite {
    ImageText<SpriteTagSize> tag;  // "" = free; "*N" = layer sprite of slot N
    ImageInt x, y;                 // top-left corner on the screen
    ImageInt visible;
    Surface surface;
};

struct Sprite2 {
    ImageInt cx, cy;               // centre on the screen
    ImageInt xscale, yscale;       // percent
    ImageInt rotation;             // degrees
    ImageText<SpriteTagSize> tag;
    ImageInt visible;
    ImageInt blend;                // 0 normal, 1 add, 2 subtract
    Surface surface;
};

struct Human {
    char name[SpriteTagSize] = {};  // the image tag; "" = empty slot
    Surface surface;
    int32_t x = 0, y = 0;           // top-left corner, computed by ld
};

extern Sprite Sprites[SpriteCount];
extern Sprite2 Sprites2[Sprite2Count];
extern Human Humans[HumanCount];

extern int32_t HumanCentreX[HumanCount];  // width/4, width/2, width/4*3
extern int32_t HumanBaseline;             // the screen height
extern int32_t HumanZ;                    // 499: sprites above it are drawn behind
extern char HumanOrder[HumanOrderSize];   // "" = left, centre, right
extern int32_t AllSpritesHidden;
extern int32_t Sprite2Hidden;
extern int32_t HiddenSpriteFirst, HiddenSpriteLast;  // 9999, -9999 = none

// The layer slot N of a "*N" tag, or -1 when the tag is no layer tag.
int LayerSlotOfTag(const char* tag);
// Grow DirtyRect by the screen area of sprite n / rotated sprite n /
// standing picture i (see compose.h).
void MarkSpriteDirty(int n);
void MarkSprite2Dirty(int n);
void MarkHumanDirty(int i);
