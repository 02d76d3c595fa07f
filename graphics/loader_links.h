// loader_links.h - what the picture loader takes from subsystems built
// later: the string-sprite renderers and the text style (text subsystem) and
// the picture-log switch (name logs): text/string_sprite.cpp and
// save/namelog.cpp define them.
#pragma once
#include <cstdint>

#include "graphics/surface.h"

extern int32_t MojiType;   // text drawing style; default style of string sprites
extern int32_t FileLogOn;  // set by filelog: loaded pictures go into FileLog

// Renders a string sprite of cells w x h with the advance p into s (colours
// 0xRRGGBB, ended by -1; one cell per colour).
void MakeStringSprite(Surface* s, const int32_t* colours, const char* text, int32_t w, int32_t h,
                      int32_t advance, int32_t style);
// The same in the sprite font (or the text font when none is set).
void MakeStringSpriteDefaultFont(Surface* s, const int32_t* colours, const char* text,
                                 int32_t style);
