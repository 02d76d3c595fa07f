// glyph.cpp - the glyph renderer (being built).
#include "text/glyph.h"

#include "text/define_end.h"

char SelectedFont[FontFaceSize];
char DefaultFont[FontFaceSize];
uint32_t TextColorTable[256];
FontPluginProc FontPlugin;

void SelectGlyphFont(const char*, int32_t, int32_t, bool, bool) {}
void SelectTextGlyphFont() {}
void DrawGlyphCell(const char*, int32_t, int32_t, int32_t, int32_t, uint32_t, bool, bool) {}
int32_t DrawStringAt(int32_t&, int32_t&, const char*, uint32_t) { return 0; }
void ReduceGlyph(const uint8_t*, int32_t, int32_t, int32_t, uint8_t*) {}
void BlendGlyphCoverage(const uint8_t*, int32_t, int32_t, int32_t, int32_t, uint32_t, bool, Surface*) {}
void ResetFontSettings() {}
void TakeDefaultFont() {}
