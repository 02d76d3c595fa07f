// clickwait.h - ClickWait, the wait at the end of a sentence or page of text
// and behind click and clickpos: the animated wait cursors, the skip, auto
// and autoclick endings, the click and page voices.
#pragma once
#include <cstdint>

#include "graphics/surface.h"

enum { WaitCursorTagSize = 256 };

struct WaitCursor {
    Surface picture;
    char tag[WaitCursorTagSize] = {};
    int32_t x = 0, y = 0;   // offset from the pen (relative) or screen position
    int32_t relative = 1;
};
extern WaitCursor WaitCursors[2];  // 0 the click cursor, 1 the page cursor
extern int32_t WaitCursorType;     // the next wait's cursor: 0 none, 1 click, 2 page
extern int32_t WaitCursorX, WaitCursorY;
extern int32_t AutoModeWait;       // ms after the voice; negative: -ms per character
extern int32_t AutoSpeedDialogMin, AutoSpeedDialogMax;
extern int32_t DisplayedCharCount; // characters of the text being shown
// The auto mode's time: AutoModeWait ms, or -AutoModeWait ms a shown
// character when negative.
int64_t AutoModeTime();

// Waits for a left click, Space or Enter, the skip key, skip mode, the auto
// mode's end or the autoclick time, with the cursor of WaitCursorType at
// (WaitCursorX, WaitCursorY).  Headless with --click-waits it ends at once.
// The caller reads RightGosubTaken and MenuResetRequested afterwards.
void ClickWait();
// Places cursor `type` (1 click, 2 page) for a pen at (x, y) and sets
// WaitCursorType.
void PlaceWaitCursor(int32_t type, int32_t x, int32_t y);
// Loads cursor n from `tag` with its offset and relative flag.
void SetWaitCursor(int n, const char* tag, int32_t x, int32_t y, bool relative);
// Loads both cursors' pictures, blank when missing: each from its tag, or,
// when its tag is "", its default picture ":l/3,160,2;cursor0.bmp" or
// "cursor1.bmp" (the tags stay as they are).
void LoadWaitCursorPictures();
// The cursors of a reset: the default pictures with the tags "" (so saved as
// the defaults), relative, at 0,0; WaitCursorType 0.
void ResetWaitCursors();
