// number_font.h - the fixed-pitch Japanese gothic face that the number
// overlays draw their digits in, found through fontconfig and drawn with
// FreeType without smoothing (as a font drawn without font smoothing).
#pragma once
#include <cstdint>

// Draws the text at (0, 0) white (255) on what `out` holds, in a face
// whose cell is `height` pixels high (the Windows ascent + descent, as the
// text's cell) and whose average character is `width` pixels wide; `out`
// is outW x outH bytes, top-down, and nothing is drawn outside it.  false
// when no face was found.
bool DrawNumberText(const char* text, int32_t width, int32_t height, uint8_t* out,
                    int32_t outW, int32_t outH);
