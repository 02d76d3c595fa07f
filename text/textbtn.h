// textbtn.h - text buttons: the <...> runs of the page's text (the table
// TextButtons of text/display.h, filled by the text display), whether the
// button wait considers them, their drawing in the link colours and their
// hit test.  LastTextButton lives with the button wait (ui/buttons.h).
#pragma once
#include <cstdint>

extern int32_t TextButtonsActive;  // btndef sets it, textbtnoff clears it; 0 at start-up

// Draws text button index of the page in the highlight link colour
// (highlight != 0) or the normal one; an index outside the page draws
// nothing.
void DrawTextButton(int32_t index, int highlight);
// Whether screen pixel (x, y) lies on text button index (bounds exclusive;
// a wrapped button answers on both its lines).
bool TextButtonContains(int32_t index, int32_t x, int32_t y);
// The first text button of the page under (x, y), or -1.
int32_t TextButtonAt(int32_t x, int32_t y);
