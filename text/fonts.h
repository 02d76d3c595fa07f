// fonts.h - faces by name: a CP932 face name matched through fontconfig to
// a font file, with the Japanese Gothic and Mincho fonts as the fallback, so
// that a missing face never leaves text blank; the FreeType library.
#pragma once
#include <cstdint>

#include <ft2build.h>
#include FT_FREETYPE_H

// The FreeType library, created at first use.
FT_Library FontLibrary();
// The face for a CP932 face name ("" = DefaultFont; a leading '@' is
// ignored), opened once and kept; null only when no font at all is found.
FT_Face FindFace(const char* face);
// The font file a CP932 face name maps to ("" when none).
const char* FaceFile(const char* face);

// A face's cell in font units: ascent and descent as the Windows metrics
// of its OS/2 table give them (else its horizontal header's), so that a
// font's height is its ascent plus descent and the baseline lies at the
// ascent; the average character width (a font's width), else half the em.
struct FaceCell {
    int32_t ascent, descent, averageWidth, unitsPerEm;
};
FaceCell CellOfFace(FT_Face face);

// The vertical form of a glyph by the face's 'vert' substitutions; the
// glyph itself when it has none.  *has (may be null) tells whether the
// face has such substitutions at all.
FT_UInt VerticalGlyph(FT_Face face, FT_UInt glyph, bool* has);
