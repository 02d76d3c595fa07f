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
