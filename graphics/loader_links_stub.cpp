// loader_links_stub.cpp - stand-ins for the loader's links until the text
// subsystem and the name logs define them (then this file goes).
#include "graphics/loader_links.h"

int32_t MojiType;
int32_t FileLogOn;

void MakeStringSprite(Surface*, const int32_t*, const char*, int32_t, int32_t, int32_t, int32_t) {}
void MakeStringSpriteDefaultFont(Surface*, const int32_t*, const char*, int32_t) {}
