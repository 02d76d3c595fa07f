// display.h - the text display's state beyond what the interpreter loop
// reads (text/textline.h): speeds, clickstr, indent, the textgosub hand-over,
// the last drawn cell, text buttons and link colours; the line breaks and
// the assignments in text that the commands share.
#pragma once
#include <cstdint>

enum { ClickstrSize = 256, TextGosubLabelSize = 256, TextButtonMax = 100, TextButtonTextSize = 256 };

extern int32_t TextSpeeds[3];          // slow, normal, fast: 40, 10, 0
extern int32_t TextSpeedDialogInMenu;  // the window menu has a speed item
extern int32_t TextSpeedDialogMin, TextSpeedDialogMax;  // the speed dialog's range: 0..100 at start-up
extern char ClickstrChars[ClickstrSize];
extern int32_t ClickSkipsPage;         // clickskippage
extern int32_t IndentWidth;
extern char TextGosubLabel[TextGosubLabelSize];
extern int32_t TextGosubWaitPending, TextGosubWaitKind, TextGosubAtLineEnd;
extern int32_t LastCharColumn, LastCharLine;
extern uint32_t LinkColors[2];         // normal, highlight: 0xFFFF00, 0x88FFFF

struct TextButtonEntry {
    int32_t number, left, top, right;
    char text[TextButtonTextSize];
};
extern TextButtonEntry TextButtons[TextButtonMax];

// A line break: "\n" to the backlog, column 0, the next line; fatal past
// the last line.
void NewTextLine();
// An automatic wrap: the same without the backlog's "\n".
void WrapTextLine();
// After a wrap: the indent's spaces, when indent is set.
void IndentLine();
// The assignments of a '{' at text[pos]; returns the offset of the closing
// '}' (or of the NUL that ends the text).
int ApplyTextAssignments(const char* text, int pos);
// The display's settings of a reset to *start.
void ResetTextDisplay();
// Link colours and menu text speeds of each start-up pass.
void SetDisplayPassDefaults();
