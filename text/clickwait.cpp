// clickwait.cpp - the click wait.  When a pass finds no message the loop
// blocks until input or its next time (the persistent save, auto mode,
// autoclick, a cell of the cursor or of an animation, a window timer), so
// the cursor and the auto mode keep to the millisecond; headless, each
// empty poll moves the virtual clock by 1 ms.
#include "text/clickwait.h"

#include <algorithm>
#include <cstring>

#include "core/callstack.h"
#include "core/sjis.h"
#include "graphics/anim.h"
#include "graphics/draw.h"
#include "graphics/imagetag.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "save/persist.h"
#include "save/savepoint.h"
#include "sound/click_voice.h"
#include "text/lookback.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/system_actions.h"

WaitCursor WaitCursors[2];
int32_t WaitCursorType = 0;
int32_t WaitCursorX = 0, WaitCursorY = 0;
int32_t AutoModeWait = 1000;
int32_t AutoSpeedDialogMin = 0, AutoSpeedDialogMax = 0;
int32_t DisplayedCharCount = 0;

static Surface CursorBackup;

void SetWaitCursor(int n, const char* tag, int32_t x, int32_t y, bool relative) {
    WaitCursor& c = WaitCursors[n];
    c.relative = relative ? 1 : 0;
    CopySjisBounded(c.tag, sizeof c.tag, tag);
    LoadSurface(&c.picture, c.tag);
    c.x = x;
    c.y = y;
}

void LoadWaitCursorPictures() {
    static const char* const default_tags[2] = {":l/3,160,2;cursor0.bmp", ":l/3,160,2;cursor1.bmp"};
    int32_t blank = BlankIfMissing;
    BlankIfMissing = 1;
    for (int n = 0; n < 2; n++) {
        const char* tag = WaitCursors[n].tag;
        LoadSurface(&WaitCursors[n].picture, tag[0] ? tag : default_tags[n]);
    }
    BlankIfMissing = blank;
}

void ResetWaitCursors() {
    WaitCursorType = 0;
    for (WaitCursor& c : WaitCursors) {
        c.tag[0] = 0;
        c.x = c.y = 0;
        c.relative = 1;
    }
    LoadWaitCursorPictures();
}

void PlaceWaitCursor(int32_t type, int32_t x, int32_t y) {
    const WaitCursor& c = WaitCursors[type - 1];
    WaitCursorType = type;
    WaitCursorX = c.relative ? x + c.x : c.x;
    WaitCursorY = c.relative ? y + c.y : c.y;
}

static int32_t CursorCellWidth(const Surface* s) { return GetCellWidth(s); }

static void ShowCursorArea(int32_t w, int32_t h) {
    ScreenRect r;
    r.left = WaitCursorX;
    r.top = WaitCursorY;
    r.right = WaitCursorX + w;
    r.bottom = WaitCursorY + h;
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > DestSurface.dib.width - 1) r.right = DestSurface.dib.width - 1;
    if (r.bottom > DestSurface.dib.height - 1) r.bottom = DestSurface.dib.height - 1;
    if (r.right >= r.left && r.bottom >= r.top) DrawDestToWindow(&r);
}

// Puts the saved piece of the screen back over the cursor.
static void RestoreUnderCursor(int32_t w, int32_t h) {
    BltToSurface(&DestSurface, WaitCursorX, WaitCursorY, w, h, &CursorBackup, 0, 0);
    ShowCursorArea(w, h);
}

static void DrawCursorCell(Surface* pic, int32_t cw, int32_t w, int32_t h) {
    BltToSurface(&DestSurface, WaitCursorX, WaitCursorY, w, h, &CursorBackup, 0, 0);
    DrawClip clip = {WaitCursorX, WaitCursorY, WaitCursorX + cw - 1, WaitCursorY + pic->dib.height - 1};
    DrawSurface(pic, &DestSurface, WaitCursorX, WaitCursorY, &clip);
    ShowCursorArea(w, h);
}

int64_t AutoModeTime() {
    return AutoModeWait >= 0 ? AutoModeWait : -(int64_t)DisplayedCharCount * AutoModeWait;
}

static bool AutoModeEnded(uint32_t elapsed) { return (int64_t)elapsed >= AutoModeTime() && !VoiceStillPlaying(); }


void ClickWait() {
    RightGosubTaken = 0;
    // A click or key made before the wait must not end it.
    PumpMessage();
    PlatRemoveAll(WM_LBUTTONUP);
    PlatRemoveAll(WM_CHAR);
    Clicked = 0;
    RightClicked = 0;
    if (!AutoClickOn && (IsSkipKeyDown() || SkipMode)) return;

    int32_t type = WaitCursorType;
    Surface* pic = nullptr;
    int32_t cw = 0, w = 0, h = 0;
    if ((type == 1 || type == 2) && HasPicture(&WaitCursors[type - 1].picture)) {
        pic = &WaitCursors[type - 1].picture;
        cw = CursorCellWidth(pic);
        w = cw + 1;
        h = pic->dib.height + 1;
        if (!CreateSurface(&CursorBackup, w, h)) pic = nullptr;
    }
    if (pic) {
        BltToSurface(&CursorBackup, 0, 0, w, h, &DestSurface, WaitCursorX, WaitCursorY);
        // The first cell shows at once, so a single-cell cursor is seen too.
        pic->cell = 0;
        pic->cellStep = 1;
        pic->animClock = PlatTicks();
        DrawCursorCell(pic, cw, w, h);
    }

    // Cells of no width (a missing cursor picture stands in as a blank
    // too narrow for its cells) show nothing: the wait does not wake to
    // step them.
    bool animated = pic && CellCountOf(pic) >= 2 && cw > 0;

    uint32_t t0 = PlatTicks();
    bool saved = false;
    bool answered = PlatClickWaitsAnswered();
    for (;;) {
        if (ResetRequested) return;
        uint32_t now = PlatTicks();
        if (!saved && now - t0 > 1000) {
            SavePersistentData();
            saved = true;
        }
        if (AutoMode && AutoModeEnded(now - t0)) break;
        if (AutoClickOn && now - t0 >= (uint32_t)AutoClickTime) break;
        if (answered) break;
        bool handled = PumpMessage();
        if (!handled) {
            // Until the next time this loop acts on by itself.
            uint32_t ms = IdleNoLimit, elapsed = PlatTicks() - t0;
            if (!saved) ms = std::min(ms, MsLeft(1001, elapsed));
            if (AutoMode)
                ms = std::min(ms, elapsed >= AutoModeTime() ? SoundEndPollMs : MsLeft(AutoModeTime(), elapsed));
            if (AutoClickOn) ms = std::min(ms, MsLeft((uint32_t)AutoClickTime, elapsed));
            if (animated && pic)
                ms = std::min(ms, MsLeft((int64_t)(uint32_t)pic->cellTime + 1, PlatTicks() - pic->animClock));
            IdleFor(ms);
        }
        if (!AutoClickOn) {
            if (Clicked || IsSkipKeyDown()) {
                Clicked = 0;
                break;
            }
            if (SkipMode) break;
        }
        // A right click or Esc runs the right-click action; a right-click
        // gosub, a reset or a loaded game ends the wait without a voice.
        if (type != 0 && !AutoClickOn && (RightClicked || GetForegroundKeyState(VK_ESCAPE))) {
            static const int esc = VK_ESCAPE;
            WaitKeysReleased(&esc, 1);
            RightClicked = 0;
            if (RightClickMode == RightGosub && RightClickOn && WaitCursorType != 0) {
                if (pic) RestoreUnderCursor(w, h);
                WaitCursorType = 0;
                pic = nullptr;
            }
            RunSystemAction(ActionRightClick);
            if (RightGosubTaken || MenuResetRequested || GameLoaded) return;
        }
        if (type != 0 && handled && LastMessage == WM_MOUSEWHEEL && WheelDelta > 0) ShowLookback();
        AdvanceAnimation();
        if (animated && pic) {
            uint32_t t = PlatTicks();
            if (t - pic->animClock > (uint32_t)pic->cellTime || t < pic->animClock) {
                int32_t cells = CellCountOf(pic);
                int32_t cell = pic->cell + pic->cellStep;
                bool redraw = true;
                if (cell < 0 || cell >= cells) {
                    if (pic->loopMode == 0) {
                        cell = 0;
                    } else if (pic->loopMode == 2) {
                        cell = pic->cell - pic->cellStep;
                        pic->cellStep = -pic->cellStep;
                        if (cell < 0 || cell >= cells) cell = 0;
                    } else {
                        // Stop on the last cell (also for unknown loop modes,
                        // which would run past the picture).
                        cell = cells - 1;
                        redraw = pic->cell != cell;
                    }
                }
                pic->cell = cell;
                pic->animClock = t;
                if (redraw) DrawCursorCell(pic, cw, w, h);
            }
        }
    }
    if (!SkipMode) PlayClickVoice(type == 2);
    if (pic) {
        RestoreUnderCursor(w, h);
        WaitCursorType = 0;
    } else if (type != 0) {
        WaitCursorType = 0;
    }
}
