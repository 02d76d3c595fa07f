// reset_text.h - the text and interaction state of a new game, restored by
// every reset to *start (core/reset.cpp).
#pragma once

// Restores:
//  - input: RightPressSeen, LeftPressSeen 0; SkipMode, AutoClickOn,
//    AutoMode 0; MenuResetRequested, SystemMenuActive 0; RightClickOn 1;
//  - text display: TagHandled 0; KinsokuOff 0; IndentWidth 0; TextModeOn 1;
//    TextBold, TextShadow 1; the lr_trap_value state 0;
//  - text window: TextHidden 0; EraseWindowAllowed 1; WindowImage "";
//    origin 21,16; 23 columns, 16 rows; font 26 x 26, advance 26, line
//    advance 28; WindowColor 0x999999; TextSpeed 20; window rectangle the
//    whole screen; text cursor 0,0; TextWindowShown, TextWindowComposed 0;
//    TextButtonCount 0; text colour white; TextFontFace = SelectedFont;
//  - buttons: ButtonPicture ""; the button-wait timeout -1;
//  - wait cursors: tags ""; positions relative, 0,0; WaitCursorType 0; with
//    BlankIfMissing set, cursors 0 and 1 loaded from ":l/3,160,2;cursor0.bmp"
//    and ":l/3,160,2;cursor1.bmp", then BlankIfMissing cleared;
//  - backlog: emptied (pages, tags, page text), LookbackOn 1;
//  - traps: the trap label and the timer-trap label "";
//  - the text layers: GlyphLayer and the text colour plane cleared;
//    WindowEraseActive 0.
void ResetTextState();
