// selections.cpp - the choice lists and SelectionWait.
#include "ui/selections.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/script.h"
#include "graphics/anim.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "save/savepoint.h"
#include "sound/voices.h"
#include "text/glyph.h"
#include "text/lookback.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/menu.h"
#include "ui/system_actions.h"

char SelectTexts[SelectLimit][SelectTextSize];
char SelectLabels[SelectLimit][SelectTextSize];
char CselTexts[CselLimit][SelectTextSize];
int32_t CselCount = 0;
uint32_t SelectColors[2] = {0xFFFFFF, 0xAAAAAA};
uint32_t MenuSelectColors[3] = {0xFFFFFF, 0xAAAAAA, 0x555599};

enum { KeyRepeatMs = 125 };

void SetSelectionPassDefaults() {
    SelectColors[0] = 0xFFFFFF;
    SelectColors[1] = 0xAAAAAA;
    MenuSelectColors[0] = 0xFFFFFF;
    MenuSelectColors[1] = 0xAAAAAA;
    MenuSelectColors[2] = 0x555599;
}

static void PlayVoice(const std::string& name) {
    if (!name.empty()) PlayClickVoice(name.c_str());
}

// One wait's layout: in the text window each choice starts on its own row
// (rows[j], and rows[count] the row after the last); in the menu the list
// is centred, left edge menuLeft, half width menuHalf, rows from menuTop.
struct Layout {
    bool menu;
    int32_t count, column;
    int32_t rows[SelectLimit + 1];
    int32_t width;  // the widest choice in cells (text window)
    int32_t menuLeft, menuHalf, half;
    const char (*texts)[SelectTextSize];
};

static int32_t MenuRowTop(const Layout& l, int32_t j) { return ScreenHeight / 2 - (l.half - j) * MenuLineAdvance; }

static void DrawChoice(const Layout& l, int32_t j, uint32_t color) {
    if (l.menu) {
        int32_t y = MenuRowTop(l, j);
        if (y < 1 || l.menuLeft < 1) return;  // off the top: not drawable at a pixel place
        int32_t row = -y, column = -l.menuLeft;
        DrawStringAt(row, column, l.texts[j], color);
        return;
    }
    int32_t row = l.rows[j], column = l.column;
    DrawStringAt(row, column, l.texts[j], color);
}

static int32_t ChoiceAt(const Layout& l, int32_t x, int32_t y) {
    for (int32_t j = 0; j < l.count; j++) {
        if (!l.texts[j][0]) continue;
        if (l.menu) {
            int32_t top = MenuRowTop(l, j);
            if (x >= ScreenWidth / 2 - l.menuHalf && x < ScreenWidth / 2 + l.menuHalf && y >= top &&
                y < ScreenHeight / 2 + (j - l.half + 1) * MenuLineAdvance)
                return j;
        } else {
            if (TextOriginX + l.column < x && x <= TextOriginX + (l.column + l.width) * TextCharAdvance &&
                y >= TextOriginY + l.rows[j] * TextLineAdvance && y < TextOriginY + l.rows[j + 1] * TextLineAdvance)
                return j;
        }
    }
    return -1;
}

static void MovePointerTo(const Layout& l, int32_t j) {
    int32_t x, y;
    if (l.menu) {
        x = l.menuLeft;
        y = MenuRowTop(l, j);
    } else {
        x = TextOriginX + l.column + 1;
        y = TextOriginY + l.rows[j] * TextLineAdvance;
    }
    PlatWarpCursor(x, y);
}

int32_t SelectionWait(int32_t count, int32_t column, int32_t row, const char (*texts)[SelectTextSize]) {
    Layout l;
    if (count > SelectLimit) count = SelectLimit;
    if (count < 0) count = 0;
    l.menu = SystemMenuActive != 0;
    l.count = count;
    l.column = column;
    l.texts = texts;
    const std::string& enter = l.menu ? MenuVoiceEnter : SelectVoiceEnter;
    const std::string& over = l.menu ? MenuVoiceOver : SelectVoiceOver;
    const std::string& click = l.menu ? MenuVoiceClick : SelectVoiceClick;
    PlayVoice(enter);
    uint32_t high = l.menu ? MenuSelectColors[0] : SelectColors[0];
    uint32_t normal = l.menu ? MenuSelectColors[1] : SelectColors[1];
    RightGosubTaken = 0;
    int32_t hovered = -1;
    SkipMode = 0;

    if (l.menu) {
        int32_t composed = TextWindowComposed;
        TextWindowComposed = 0;
        ComposeScreen(nullptr);
        TextWindowComposed = composed;
        DrawMenuTint();
        MenuTintDone = 1;
        RunEffect("", EffectInstant, 0, nullptr);
    } else {
        TextWindowComposed = 1;
        ComposeScreen(nullptr);
        if (TextWindowShown)
            RunEffect("", EffectInstant, 0, nullptr);
        else
            RunEffect(WindowEffectImage, WindowEffect, WindowEffectDuration, nullptr);
        TextWindowShown = 1;
    }

    size_t longest = 0;
    for (int32_t j = 0; j < count; j++) longest = std::max(longest, strlen(texts[j]));
    l.half = count / 2;
    l.menuHalf = MenuCharAdvance * (int32_t)longest / 4;
    l.menuLeft = ScreenWidth / 2 - l.menuHalf;
    l.width = 0;
    int32_t r = row;
    for (int32_t j = 0; j < count; j++) {
        l.rows[j] = r;
        if (l.menu) {
            DrawChoice(l, j, normal);
            continue;
        }
        int32_t c = column;
        int32_t drawn = DrawStringAt(r, c, texts[j], normal);
        if (drawn > l.width) l.width = drawn;
    }
    l.rows[count] = r;

    PlatRemoveAll(WM_LBUTTONUP);
    PlatRemoveAll(WM_CHAR);
    Clicked = RightClicked = 0;
    if (!TaveloMode) {
        // The first pass finds the choice under the pointer.
        int x, y;
        PlatCursorPos(&x, &y);
        PlatPostMessage(WM_MOUSEMOVE, 0, MakePointParam(x, y));
    }

    uint32_t lastKey = PlatTicks() - KeyRepeatMs;
    for (;;) {
        if (ResetRequested) return 0;
        bool handled = PumpMessage();
        if (handled && count > 0) {
            uint32_t now = PlatTicks();
            bool up = GetForegroundKeyState(VK_UP) != 0, down = GetForegroundKeyState(VK_DOWN) != 0;
            if ((up || down) && now - lastKey >= KeyRepeatMs) {
                lastKey = now;
                int32_t target = hovered + (up ? -1 : 1);
                if (target < 0) target = count - 1;
                if (target >= count) target = 0;
                MovePointerTo(l, target);
            }
            if (LastMessage == WM_MOUSEMOVE) {
                int32_t at = ChoiceAt(l, LastX, LastY);
                if (at >= 0 && at != hovered) {
                    PlayVoice(over);
                    if (hovered >= 0) DrawChoice(l, hovered, normal);
                    DrawChoice(l, at, high);
                    hovered = at;
                } else if (at < 0 && hovered >= 0) {
                    DrawChoice(l, hovered, normal);
                    hovered = -1;
                }
            }
            if (Clicked) {
                Clicked = 0;
                if (hovered >= 0) {
                    PlayVoice(click);
                    DrawChoice(l, hovered, normal);
                    return hovered;
                }
            }
            if (!l.menu && LastMessage == WM_MOUSEWHEEL && WheelDelta > 0) {
                RightGosubWaitKind = 2;
                ShowLookback();
            }
            if (RightClicked || GetForegroundKeyState(VK_ESCAPE)) {
                static const int esc = VK_ESCAPE;
                WaitKeysReleased(&esc, 1);
                RightClicked = 0;
                if (hovered >= 0) DrawChoice(l, hovered, normal);
                hovered = -1;
                if (l.menu) {
                    PlayVoice(MenuVoiceCancel);
                    return -1;
                }
                RightGosubWaitKind = 2;
                RunSystemAction(ActionRightClick);
                // -1 only when something took over: the right-click routine
                // was called, a reset asked for or a game loaded.
                if (RightGosubTaken || MenuResetRequested || GameLoaded) return -1;
            }
        } else if (!handled) {
            IdleFor(IdleNoLimit, 0, !l.menu);
        }
        if (!l.menu) AdvanceAnimation();
    }
}
