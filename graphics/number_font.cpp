// number_font.cpp - the number overlays' face: the Japanese fixed-pitch
// gothic the name "ＭＳ ゴシック" stands for (the installed IPA gothic, else
// what fontconfig makes of the name), drawn by FreeType as one-bit glyphs.
// The cell height is the Windows ascent + descent and the width the average
// character width, as the text's glyphs take them.
#include "graphics/number_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <unistd.h>

#include <string>

#include "graphics/screenfx_messages.h"
#include "platform/platform.h"
#include "text/fonts.h"

static FT_Library Library;
static FT_Face Face;
static bool Tried;

// The fixed-pitch gothic of the Japanese fonts the engine depends on; a
// system without it asks fontconfig.
static const char* const kKnownFaces[] = {
    "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
};

static std::string FindFaceFile() {
    for (const char* path : kKnownFaces)
        if (access(path, R_OK) == 0) return path;
    if (!FcInit()) return "";
    FcPattern* pat = FcPatternCreate();
    std::string name = Cp932ToUtf8(FontMsGothic);
    FcPatternAddString(pat, FC_FAMILY, (const FcChar8*)name.c_str());
    FcPatternAddString(pat, FC_LANG, (const FcChar8*)"ja");
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = (const char*)path;
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pat);
    return file;
}

static bool OpenFace() {
    if (Tried) return Face != nullptr;
    Tried = true;
    std::string file = FindFaceFile();
    if (file.empty() || FT_Init_FreeType(&Library)) return false;
    if (FT_New_Face(Library, file.c_str(), 0, &Face)) Face = nullptr;
    return Face != nullptr;
}

bool DrawNumberText(const char* text, int32_t width, int32_t height, uint8_t* out,
                    int32_t outW, int32_t outH) {
    if (width <= 0 || height <= 0 || !OpenFace() || !FT_IS_SCALABLE(Face)) return false;
    // The cell and the average width in font units, as the text's glyphs
    // take them: the cell is the Windows ascent plus descent.
    FaceCell cell = CellOfFace(Face);
    int64_t units = (int64_t)cell.ascent + cell.descent, advance = cell.averageWidth;
    if (units <= 0 || advance <= 0) return false;
    // The em in 26.6 pixels, as the text's glyphs set it.
    int64_t emH = (int64_t)height * 64 * Face->units_per_EM / units;
    int64_t emW = (int64_t)width * 64 * Face->units_per_EM / advance;
    if (emH < 64) emH = 64;
    if (emW < 64) emW = 64;
    if (emH > 65535 * 64 || emW > 65535 * 64 || FT_Set_Char_Size(Face, (FT_F26Dot6)emW, (FT_F26Dot6)emH, 72, 72))
        return false;
    int64_t baseline = (int64_t)height * cell.ascent / units;
    int64_t penX = 0;
    for (const char* p = text; *p; p++) {
        if (FT_Load_Char(Face, (unsigned char)*p, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO |
                                                      FT_LOAD_MONOCHROME))
            continue;
        FT_GlyphSlot g = Face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        int64_t left = penX + g->bitmap_left, top = baseline - g->bitmap_top;
        for (uint32_t r = 0; r < bm.rows; r++) {
            int64_t y = top + r;
            if (y < 0 || y >= outH) continue;
            const uint8_t* row = bm.buffer + (int64_t)r * bm.pitch;
            for (uint32_t c = 0; c < bm.width; c++) {
                int64_t x = left + c;
                if (x < 0 || x >= outW) continue;
                bool on = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[c >> 3] >> (7 - (c & 7))) & 1
                                                              : row[c] >= 128;
                if (on) out[y * outW + x] = 255;
            }
        }
        penX += g->advance.x >> 6;
    }
    return true;
}
