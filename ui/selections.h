// selections.h - the choice lists of select, selgosub, selnum and csel,
// their colours, and SelectionWait: the choices drawn in the text window at
// the text cursor, or centred on the tinted screen in the menu layout while
// a system menu runs.
#pragma once
#include <cstdint>

// At most SelectLimit choices (csel: CselLimit); a text or label holds at
// most SelectTextSize - 1 bytes.  More is a fatal error.
enum { SelectLimit = 50, CselLimit = 20, SelectTextSize = 256 };

extern char SelectTexts[SelectLimit][SelectTextSize];   // select, selgosub, selnum
extern char SelectLabels[SelectLimit][SelectTextSize];  // select, selgosub, csel
extern char CselTexts[CselLimit][SelectTextSize];
extern int32_t CselCount;

// 0xRRGGBB: [0] highlight, [1] normal (selectcolor); the menus' [2] is the
// unusable entry (menuselectcolor).
extern uint32_t SelectColors[2];      // 0xffffff, 0xaaaaaa
extern uint32_t MenuSelectColors[3];  // 0xffffff, 0xaaaaaa, 0x555599

// The colours of every start-up pass.
void SetSelectionPassDefaults();

// Shows count texts (in the text window from that column and row) and
// waits for one: its index, -1 when cancelled or overtaken by the
// right-click action, 0 when a reset was requested.
int32_t SelectionWait(int32_t count, int32_t column, int32_t row, const char (*texts)[SelectTextSize]);
