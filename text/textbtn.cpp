// textbtn.cpp - text buttons: drawing in the link colours and the hit test.
#include "text/textbtn.h"

#include <cstring>

#include "text/display.h"
#include "text/glyph.h"
#include "text/textline.h"
#include "text/textwindow.h"

int32_t TextButtonsActive = 0;

void DrawTextButton(int32_t index, int highlight) {
    if (index < 0 || index >= TextButtonCount || index >= TextButtonMax) return;
    const TextButtonEntry& b = TextButtons[index];
    uint32_t color = LinkColors[highlight ? 1 : 0];
    if (b.right >= b.left) {
        DrawStringAtPixel(b.left, b.top, b.text, color);
        return;
    }
    // Wrapped: the characters that reach to right lie on the next line.
    int32_t length = (int32_t)strnlen(b.text, TextButtonTextSize - 1);
    int32_t k = TextCharAdvance > 0 ? (b.right - TextOriginX + 1) / TextCharAdvance : 0;
    int32_t first = length - 2 * k;
    if (first < 0) first = 0;
    if (first > length) first = length;
    char head[TextButtonTextSize];
    memcpy(head, b.text, (size_t)first);
    head[first] = 0;
    if (first > 0) DrawStringAtPixel(b.left, b.top, head, color);
    if (b.text[first]) DrawStringAtPixel(TextOriginX, b.top + TextLineAdvance, b.text + first, color);
}

bool TextButtonContains(int32_t index, int32_t x, int32_t y) {
    if (index < 0 || index >= TextButtonCount || index >= TextButtonMax) return false;
    const TextButtonEntry& b = TextButtons[index];
    if (b.right >= b.left) return b.left < x && x < b.right && b.top < y && y < b.top + TextLineAdvance;
    int32_t lineEnd = TextOriginX + TextCharAdvance * TextColumns;
    return (b.left < x && x < lineEnd && b.top < y && y < b.top + TextLineAdvance) ||
           (TextOriginX < x && x < b.right && b.top + TextLineAdvance < y && y < b.top + 2 * TextLineAdvance);
}

int32_t TextButtonAt(int32_t x, int32_t y) {
    for (int32_t i = 0; i < TextButtonCount && i < TextButtonMax; i++)
        if (TextButtonContains(i, x, y)) return i;
    return -1;
}
