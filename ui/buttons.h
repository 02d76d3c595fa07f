// buttons.h - the button table (area, sprite, extended and choice buttons),
// the shared button picture, the switches of the button wait and the wait
// itself.  Text buttons (text/display.h) take part in the same wait.
#pragma once
#include <cstdint>

#include "core/heapstring.h"
#include "graphics/surface.h"

enum { ButtonSlots = 512, ButtonLimit = 511 };
// delbtn's left edge; btn0down's held-button value.
enum { DeletedButtonLeft = 999, HeldButtonUnhovered = -9999 };

// One table of parallel arrays.  The kind follows from the links:
// spriteLink <= -1000: extended button of sprite -1000 - link;
// -999..-1: sprite button of sprite -1 - link; otherwise choiceLink < 0: a
// choice button of CselTexts[-1 - link]; else an area button whose hover
// image lies at (choiceLink, spriteLink) in ButtonPicture.
struct ButtonTable {
    int32_t count;
    int32_t number[ButtonSlots];
    int32_t left[ButtonSlots], top[ButtonSlots];
    int32_t width[ButtonSlots], height[ButtonSlots];
    int32_t right[ButtonSlots], bottom[ButtonSlots];  // inclusive
    int32_t spriteLink[ButtonSlots];
    int32_t choiceLink[ButtonSlots];
    HeapString exbtn[ButtonSlots];  // hover string of an extended button
};
extern ButtonTable Buttons;

enum ButtonKind { AreaButton, SpriteButton, ExtendedButton, ChoiceButton };
ButtonKind ButtonKindOf(int i);
// The sprite number of a sprite or extended button, else -1.
int32_t ButtonSpriteOf(int i);

// The picture area buttons take their hover image from; its tag is the
// picture's tag (saved with the game state).
extern Surface ButtonPicture;

struct ButtonWaitSwitches {
    int32_t transbtn = 0;
    int32_t noWindowErase = 0;   // btnnowindowerase: kept by btndef
    int32_t mask = -1;           // only numbers above it can be hovered
    int32_t mouseOverMin = -1, mouseOverMax = -1;
    int32_t middleClick = 0;     // getmclick
    int32_t heldButton = 0;      // btndown n; btn0down = -9999
    int32_t spaceClick = 0;      // spclclk
    int32_t pageUp = 0;          // getpageup
    int32_t pageKeys = 0;        // getpage
    int32_t skipChange = 0;      // getskipoff
    int32_t insert = 0;          // getinsert
    int32_t zxc = 0;             // getzxc
    int32_t cursorKeys = 0;      // getcursor
    int32_t tab = 0;             // gettab
    int32_t escPointOn = 0, escX = 0, escY = 0;  // escoutcursor
    int32_t timeout = -1;        // ms, -1 none
    int32_t timeoutVoice = 0;    // btntime2: wait for voice channel 0 too
    int32_t areaLine = 0;        // btnarea
};
extern ButtonWaitSwitches ButtonWaitOptions;
// getfunction and getenter are read by the window procedure too: they are
// ButtonGetFunction and ButtonGetEnter of ui/window_links.h, defined here.

extern int32_t ButtonWaitElapsed;     // ms of the last wait (getbtntimer)
extern int32_t LastTextButton;        // text button chosen by the last wait, -1 none
extern int32_t ButtonWaitTextMode, ButtonWaitSelectMode;

// Appends an entry; the one that fills the 512th slot is stored and then
// ends the game with the overflow error.  Returns its index.
int AddButton(int32_t number, int32_t left, int32_t top, int32_t width, int32_t height,
              int32_t spriteLink, int32_t choiceLink);
// Appends a sprite (extended: with `exbtn` not null) button for sprite n
// at its place and cell size.
int AddSpriteButton(int32_t sprite, int32_t number, const char* exbtn);
// Empties the table (and the entries' exbtn strings).
void ClearButtons();
// btndef's reset of the switches (all but no window erase).
void ResetButtonSwitches();

// Waits as ButtonWaitTextMode / ButtonWaitSelectMode say; returns the
// number of the button chosen or a negative key / event code.
int32_t ButtonWait();

// The entry (index into Buttons, then TextButtonCount text buttons after
// them) under (x, y), honouring the mask and transbtn; -1 for none.
int FindHoveredButton(int32_t x, int32_t y, int textButtons);

// The reset to *start: the time-out goes back to none and the button
// picture is released (its tag "").
void ResetButtonWait();
// After a load: the button picture from its tag, when it has one.
void ReloadButtonPicture();
