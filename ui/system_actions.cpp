// system_actions.cpp - RunSystemAction, the right-click menu, the window
// erase until the next click, AskYesNo and the menu tint.
#include "ui/system_actions.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/script.h"
#include "core/startup.h"
#include "ext/layers.h"
#include "graphics/anim.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/platform.h"
#include "save/savepoint.h"
#include "save/slot_menu.h"
#include "sound/sound.h"
#include "sound/voices.h"
#include "text/glyph.h"
#include "text/lookback.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/select_messages.h"
#include "ui/selections.h"

int32_t RightClickMode = RightHideWindow;
int32_t RightClickOn = 1;
char RmenuTexts[RmenuLimit][RmenuTextSize];
int32_t RmenuActions[RmenuLimit];
int32_t RmenuCount = 0;
char RightGosubLabel[RightGosubLabelSize];
int32_t SystemCallActive = 0;

enum { KeyRepeatMs = 125 };

static void PlayVoice(const std::string& name) {
    if (!name.empty()) PlayClickVoice(name.c_str());
}

void WaitKeysReleased(const int* keys, int count) {
    for (;;) {
        bool held = false;
        for (int i = 0; i < count; i++) held = held || GetForegroundKeyState(keys[i]);
        if (!held || ResetRequested) return;
        if (!PumpMessage()) IdleFor(IdleNoLimit, 0, false);
    }
}

void DrawMenuTint() {
    if (HasPicture(&SrcSurface))
        TintSurfaceRect(&SrcSurface, 0, 0, SrcSurface.dib.width - 1, SrcSurface.dib.height - 1,
                        MenuWindowColor);
    TextWindowShown = 1;
}

// The text layer emptied without starting a new page.
static void ClearTextLayer() {
    if (HasPicture(&TextColorSurface))
        FillSurfaceRect(&TextColorSurface, 0, 0, TextColorSurface.dib.width, TextColorSurface.dib.height, 0);
    if (GlyphLayer) memset(GlyphLayer, 0, (size_t)ScreenWidth * ScreenHeight);
}

static void RecomposeAndShow() {
    ComposeScreen(nullptr);
    RunEffect("", EffectInstant, 0, nullptr);
}

static void SetChipsVisible(int32_t visible) {
    for (int32_t i = 0; i < WindowChipCount; i++) {
        int32_t n = WindowChipSprites[i];
        if (n >= 0 && n < SpriteCount) Sprites[n].visible = visible;
    }
}

static void ShowWithWindowEffect() {
    ComposeScreen(nullptr);
    RunEffect(WindowEffectImage, WindowEffect, WindowEffectDuration, nullptr);
}

// windowerase: the window and its chips off the screen until a click, a
// right click, Space or Esc; that input is taken here and ends no wait.
static void HideWindowUntilClick() {
    int32_t composed = TextWindowComposed;
    TextWindowComposed = 0;
    WindowEraseActive = 1;
    SetChipsVisible(0);
    ComposeScreen(nullptr);
    WindowEraseActive = 0;
    RunEffect(WindowEffectImage, WindowEffect, WindowEffectDuration, nullptr);
    PlatRemoveAll(WM_LBUTTONUP);
    PlatRemoveAll(WM_LBUTTONDOWN);
    RightClicked = 0;
    for (;;) {
        if (ResetRequested) return;
        bool handled = PumpMessage();
        if (handled && (Clicked || RightClicked || GetForegroundKeyState(VK_SPACE) ||
                        GetForegroundKeyState(VK_ESCAPE)))
            break;
        if (!handled) IdleFor(IdleNoLimit);
        AdvanceAnimation();
    }
    static const int keys[2] = {VK_SPACE, VK_ESCAPE};
    WaitKeysReleased(keys, 2);
    RightClicked = Clicked = 0;
    TextWindowComposed = composed;
    PlatRemoveAll(WM_LBUTTONUP);
    SetChipsVisible(1);
    ShowWithWindowEffect();
}

static void TakeRightGosub() {
    RightGosubTaken = 1;
    if (CallStackDepth >= CallStackSize) ScriptError(CapStack, MsgRgosubStackFull);
    CallStack[CallStackDepth++] = ReadPosition;
    JumpToLabel(RightGosubLabel);
}

// ---- AskYesNo -------------------------------------------------------------------

static void DrawAtPixel(int32_t x, int32_t y, const char* text, uint32_t color) {
    int32_t row = -(y > 0 ? y : 1), column = -(x > 0 ? x : 1);
    DrawStringAt(row, column, text, color);
}

// Moves the pointer; the move it makes reaches the waits as a message.
static void MovePointer(int32_t x, int32_t y) { PlatWarpCursor(x, y); }

int AskYesNo(const char* question) {
    uint32_t high = MenuSelectColors[0], normal = MenuSelectColors[1];
    SkipMode = 0;
    TextWindowComposed = TextWindowShown = 1;
    int32_t x = ScreenWidth / 2 - (int32_t)strlen(question) * MenuCharAdvance / 4;
    if (x <= 0) x = 1;
    uint32_t textColor = (uint32_t)(TextColorRed & 0xFF) << 16 | (uint32_t)(TextColorGreen & 0xFF) << 8 |
                         (uint32_t)(TextColorBlue & 0xFF);
    DrawAtPixel(x, ScreenHeight / 2 - MenuLineAdvance, question, textColor);
    PlayVoice(MenuVoiceEnter);
    const int32_t left[2] = {ScreenWidth / 2 - 4 * MenuCharAdvance, ScreenWidth / 2 + 2 * MenuCharAdvance};
    const char* texts[2] = {TxtYes, TxtNo};
    int32_t top = ScreenHeight / 2 + MenuLineAdvance;
    for (int i = 0; i < 2; i++) DrawAtPixel(left[i], top, texts[i], normal);
    int hovered = -1;
    uint32_t lastKey = PlatTicks() - KeyRepeatMs;
    for (;;) {
        if (!PumpMessage()) {
            IdleFor(IdleNoLimit, 0, false);
            continue;
        }
        if (ResetRequested) return -1;
        uint32_t now = PlatTicks();
        if (now - lastKey >= KeyRepeatMs) {
            int target = -1;
            bool back = GetForegroundKeyState(VK_LEFT) || GetForegroundKeyState(VK_UP);
            bool ahead = GetForegroundKeyState(VK_RIGHT) || GetForegroundKeyState(VK_DOWN);
            if (back || ahead) target = hovered >= 0 ? 1 - hovered : (back ? 0 : 1);
            if (target >= 0) {
                lastKey = now;
                MovePointer(left[target] + 1, top + 1);
            }
        }
        if (LastMessage == WM_MOUSEMOVE) {
            int over = -1;
            for (int i = 0; i < 2; i++)
                if (LastX >= left[i] && LastX < left[i] + 3 * MenuCharAdvance && LastY >= top &&
                    LastY < top + TextLineAdvance)
                    over = i;
            if (over != hovered) {
                if (hovered >= 0) DrawAtPixel(left[hovered], top, texts[hovered], normal);
                if (over >= 0) {
                    DrawAtPixel(left[over], top, texts[over], high);
                    PlayVoice(MenuVoiceOver);
                }
                hovered = over;
            }
        }
        if (LastMessage == WM_LBUTTONUP || (LastMessage == WM_CHAR && LastX == 13)) {
            Clicked = 0;
            if (hovered >= 0) {
                PlayVoice(hovered == 0 ? MenuVoiceYes : MenuVoiceNo);
                DrawAtPixel(left[hovered], top, texts[hovered], normal);
                return hovered == 0 ? 1 : 0;
            }
        }
        if (LastMessage == WM_RBUTTONUP || GetForegroundKeyState(VK_ESCAPE)) {
            static const int esc = VK_ESCAPE;
            WaitKeysReleased(&esc, 1);
            RightClicked = 0;
            if (!MenuVoiceCancel.empty()) {
                PlayVoice(MenuVoiceCancel);
                if (hovered >= 0) DrawAtPixel(left[hovered], top, texts[hovered], normal);
            }
            return -1;
        }
    }
}

// ---- the actions -----------------------------------------------------------------

// The load and save actions: the slot menu, then the question.  true when a
// game was loaded or a reset requested (nothing more to do).
static bool LoadOrSave(bool save) {
    int32_t composed = TextWindowComposed;
    ClearTextLayer();
    char caption[SaveMenuCaptionSize];
    for (;;) {
        caption[0] = 0;
        MenuTintDone = 0;
        int32_t slot = RunSaveLoadMenu(save ? 1 : 0, caption);
        if (ResetRequested) return true;
        if (slot < 0) break;
        caption[SaveMenuCaptionSize - 1] = 0;
        ClearTextLayer();
        char question[SaveMenuCaptionSize + 64];
        snprintf(question, sizeof question, save ? FmtAskSave : FmtAskLoad, caption);
        MenuTintDone = 0;
        int answer = AskYesNo(question);
        if (ResetRequested) return true;
        if (answer == 1) {
            if (save) {
                SaveGame(slot + 1);
                break;
            }
            LoadGame(slot + 1);
            GameLoaded = 1;
            SystemMenuActive = 0;
            return true;
        }
        ClearTextLayer();
    }
    if (SystemCallActive) TextWindowComposed = composed;
    RestoreTextLayer();
    RecomposeAndShow();
    return false;
}

// Reset and end: the question; true when the menu is to be shown again.
static bool AskResetOrEnd(bool end, bool fromMenu) {
    int32_t composed = TextWindowComposed;
    MenuTintDone = 0;
    ClearTextLayer();
    int answer = AskYesNo(end ? TxtAskEnd : TxtAskReset);
    if (ResetRequested) return false;
    if (answer == 1) {
        if (end) {
            FinalizeLayers();
            DestroyMainWindow();
        }
        StopAllSound(true);
        MenuResetRequested = 1;
        return false;
    }
    if (fromMenu) return true;
    if (SystemCallActive) TextWindowComposed = composed;
    RestoreTextLayer();
    RecomposeAndShow();
    return false;
}

static void RunMenuOrAction(int32_t action) {
    BackupTextLayer();
    for (;;) {
        MenuTintDone = 0;
        TextWindowShown = 0;
        bool fromMenu = action < 0;
        int32_t chosen = action;
        if (fromMenu) {
            ClearTextLayer();
            int32_t count = RmenuCount < RmenuLimit ? RmenuCount : RmenuLimit;
            int32_t i = SelectionWait(count, 0, 0, RmenuTexts);
            if (ResetRequested) return;
            if (i < 0 || i >= count) {
                RestoreTextLayer();
                RecomposeAndShow();
                return;
            }
            chosen = RmenuActions[i];
        }
        switch (chosen) {
        case ActionLookback:
            if (fromMenu) {
                RestoreTextLayer();
                RecomposeAndShow();
                if (!ShowLookback()) RecomposeAndShow();
            } else {
                RecomposeAndShow();
                ShowLookback();
            }
            return;
        case ActionWindowErase:
            if (fromMenu)
                RestoreTextLayer();
            else
                TextWindowShown = 1;
            HideWindowUntilClick();
            return;
        case ActionLoad:
        case ActionSave:
            LoadOrSave(chosen == ActionSave);
            return;
        case ActionReset:
        case ActionEnd:
            if (AskResetOrEnd(chosen == ActionEnd, fromMenu)) continue;
            return;
        case ActionSkip:
            PlatSendMessage(WM_COMMAND, CmdSkip, 0);
            RestoreTextLayer();
            RecomposeAndShow();
            return;
        case ActionSaveDialog:
        case ActionLoadDialog:
            SaveDialogMode = chosen == ActionSaveDialog ? 1 : 0;
            RunSaveLoadDialog();
            return;
        case ActionResetBox:
            if (PlatMessageBox(TxtResetBox, CapResetBox, MB_YESNO | MB_ICONQUESTION, true) == IDYES) {
                StopAllSound(true);
                MenuResetRequested = 1;
            }
            return;
        default:
            // lookback2 and unknown numbers: the page goes and the window
            // stays off until text is shown again.  The screen is shown
            // again so that the tinted menu does not stay on it.
            ClearTextPage();
            TextWindowComposed = TextWindowShown = 0;
            RecomposeAndShow();
            return;
        }
    }
}

void RunSystemAction(int32_t action) {
    if (SystemMenuActive) return;
    if (action < 0 && (RightClickMode == RightNothing || RightClickOn == 0)) return;
    SystemMenuActive = 1;
    struct Guard {
        ~Guard() { SystemMenuActive = 0; }
    } guard;
    if (RightClickMode == RightGosub) {
        if (action < 0) TakeRightGosub();
        return;
    }
    if (RightClickMode == RightLookback) {
        ShowLookback();
        return;
    }
    if (RightClickMode == RightMenu || action >= 0) {
        RunMenuOrAction(action);
        return;
    }
    if (TextWindowShown) HideWindowUntilClick();
}
