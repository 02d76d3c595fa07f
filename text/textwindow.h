// textwindow.h - the text window: its settings record, its state flags, the
// two text layers that keep the page's glyphs across every recomposition,
// the system-menu window settings, and the operations that draw the window
// into the compose and display buffers, take it off the screen, show it and
// start an empty page.
#pragma once
#include <cstdint>

#include "graphics/compose.h"
#include "graphics/surface.h"

enum { FontFaceSize = 256, WindowChipLimit = 1000 };

// The TextWindow record (reset to *start unless marked).  TextColumns,
// TextRows, TextCursorColumn and TextCursorLine are declared in
// text/textline.h and live here too.
extern int32_t TextOriginX, TextOriginY;        // first cell: 21, 16
extern int32_t TextFontWidth, TextFontHeight;   // cell: 26, 26
extern int32_t TextCharAdvance;                 // width + pitch: 26
extern int32_t TextLineAdvance;                 // height + pitch: 28
extern int32_t TextSpeed;                       // ms per character; 0 instant; -1 menu speed
extern int32_t TextBold, TextShadow;            // 1, 1
extern int32_t WindowColor;                     // 0xRRGGBB tint, -1 = WindowImage
extern Surface WindowImage;
extern char WindowImageTag[FontFaceSize];
extern int32_t TextWindowLeft, TextWindowTop;   // inclusive: 0, 0
extern int32_t TextWindowRight, TextWindowBottom;  // ScreenWidth, ScreenHeight
extern int32_t WindowEffect, WindowEffectDuration;  // 1, 0 (start-up)
extern char WindowEffectImage[FontFaceSize];
extern int32_t TextColorRed, TextColorGreen, TextColorBlue;  // 255 each
extern char TextFontFace[FontFaceSize];         // copied from SelectedFont each page
extern int32_t VerticalText, VerticalTextNext;  // program start: 0
extern int32_t ShadeDistanceOn, ShadeDistanceX, ShadeDistanceY;  // program start: off

// State flags.
extern int32_t TextWindowShown;      // the window is on the screen
extern int32_t TextWindowComposed;   // the compositor draws the window
extern int32_t TextModeOn;           // textmode; 1
extern int32_t TextHidden;           // texthide: background without glyphs
extern int32_t EraseWindowAllowed;   // HideTextWindow may take it off; 1
extern int32_t WindowKeptForHumans;  // ld, cl, tal leave the window on screen
extern int32_t WindowBackOn;         // the window lies under the front sprites
extern int32_t LookbackShown;        // the lookback viewer is up: no glyphs
extern int32_t BrinMode;             // mode_brin
extern int32_t WindowEraseActive;    // the system menu took the window off

// The text layers, screen-sized: GlyphLayer (core/startup.h) holds one
// coverage byte per pixel; TextColorSurface the text colour multiplied by
// that coverage, 24 bits.
extern Surface TextColorSurface;

// System-menu window settings (menusetwindow) and its tint state.
extern int32_t MenuFontWidth, MenuFontHeight, MenuCharAdvance, MenuLineAdvance;
extern int32_t MenuBold, MenuShadow;
extern int32_t MenuWindowColor;      // 0x999999 at start-up
extern int32_t MenuTintDone;
extern int32_t SystemMenuActive;     // a system menu is drawing its strings

// Window chips: sprites hidden by textoff and shown by texton.
extern int32_t WindowChipSprites[WindowChipLimit];
extern int32_t WindowChipCount;

// The record's and the flags' values of a reset to *start (the screen
// size must be set).
void ResetTextWindow();
// WindowEffect and the menu settings of each start-up pass.
void SetTextWindowPassDefaults();

// Draws the window background (tint or window picture) into target over
// the inclusive rectangle clamped to the screen; sets TextWindowShown.
void DrawWindowTint(int32_t left, int32_t top, int32_t right, int32_t bottom, Surface* target);
// Draws the text window over that area of SrcSurface (null = the whole
// window): background, then the glyph layers unless hidden.
void ComposeTextWindow(const ScreenRect* area);
// The same for the whole window into DestSurface, whatever the switches.
void DrawTextWindowLayer();
// Blends the glyph layers over target in the inclusive area, with the
// shadow rules (the area must lie on the screen).
void BlendTextLayers(Surface* target, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Takes the text window off the screen with its window effect, unless
// erasing is switched off.
void HideTextWindow();
// Puts the window on the screen with the window effect (before the first
// character of a text, when TextWindowShown is 0).
void ShowTextWindow();
// textclear's page: the cursor home, the text layers emptied, TextFontFace
// := SelectedFont, and the window redrawn at once (kind 1) when shown.
void ClearTextLayers();
// ClearTextPage (declared in text/textline.h, defined with the window):
// ClearTextLayers plus the text buttons and the rest-of-page-instant flag.
extern int32_t RestOfPageInstant;  // the text display shows the rest at once
extern int32_t TextButtonCount, TextButtonStart, TextButtonNext;
