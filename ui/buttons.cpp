// buttons.cpp - the button table, its switches and the button wait.  The
// wait polls without sleeping in headless runs (each empty poll moves the
// virtual clock by 1 ms); with a window, when the queue is empty, it blocks
// until input or the next time it acts on by itself.
#include "ui/buttons.h"

#include <algorithm>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/script.h"
#include "graphics/anim.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/imagetag.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "ext/optional.h"
#include "save/persist.h"
#include "sound/channels.h"
#include "sound/click_voice.h"
#include "sound/mciwave.h"
#include "sound/ogg_channels.h"
#include "sound/ogg_plugin.h"
#include "sound/voices.h"
#include "text/backlog.h"
#include "ui/button_messages.h"
#include "text/clickwait.h"
#include "text/display.h"
#include "ui/exbtn.h"
#include "text/glyph.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/menu.h"
#include "ui/selections.h"
#include "text/textbtn.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/window_links.h"

ButtonTable Buttons;
Surface ButtonPicture;
ButtonWaitSwitches ButtonWaitOptions;
int32_t ButtonGetEnter = 0, ButtonGetFunction = 0;
int32_t ButtonWaitElapsed = 0;
int32_t LastTextButton = -1;
int32_t ButtonWaitTextMode = 0, ButtonWaitSelectMode = 0;

ButtonKind ButtonKindOf(int i) {
    if (Buttons.spriteLink[i] <= -1000) return ExtendedButton;
    if (Buttons.spriteLink[i] < 0) return SpriteButton;
    return Buttons.choiceLink[i] < 0 ? ChoiceButton : AreaButton;
}

int32_t ButtonSpriteOf(int i) {
    int64_t link = Buttons.spriteLink[i];
    int64_t n = link <= -1000 ? -1000 - link : link < 0 ? -1 - link : -1;
    return n >= 0 && n < SpriteCount ? (int32_t)n : -1;
}

// Stores an entry in the next slot (fatal when there is none).
static int StoreEntry(int32_t number, int32_t left, int32_t top, int32_t width, int32_t height,
                      int32_t spriteLink, int32_t choiceLink, const char* exbtn) {
    int i = Buttons.count;
    if (i < 0 || i >= ButtonSlots) ScriptError(CapError, MsgButtonOverflow);
    Buttons.number[i] = number;
    Buttons.left[i] = left;
    Buttons.top[i] = top;
    Buttons.width[i] = width;
    Buttons.height[i] = height;
    Buttons.right[i] = (int32_t)((uint32_t)left + (uint32_t)width - 1u);
    Buttons.bottom[i] = (int32_t)((uint32_t)top + (uint32_t)height - 1u);
    Buttons.spriteLink[i] = spriteLink;
    Buttons.choiceLink[i] = choiceLink;
    AssignString(&Buttons.exbtn[i], exbtn ? exbtn : "");
    Buttons.count++;
    return i;
}

// The definition that fills the 512th slot is kept, then the game ends.
static void CheckOverflow() {
    if (Buttons.count > ButtonLimit) ScriptError(CapError, MsgButtonOverflow);
}

int AddButton(int32_t number, int32_t left, int32_t top, int32_t width, int32_t height,
              int32_t spriteLink, int32_t choiceLink) {
    int i = StoreEntry(number, left, top, width, height, spriteLink, choiceLink, nullptr);
    CheckOverflow();
    return i;
}

int AddSpriteButton(int32_t sprite, int32_t number, const char* exbtn) {
    const Sprite& s = Sprites[sprite];
    int32_t link = exbtn ? -1000 - sprite : -1 - sprite;
    int i = StoreEntry(number, s.x, s.y, GetCellWidth(&s.surface), s.surface.dib.height, link, 0, exbtn);
    CheckOverflow();
    return i;
}

void ClearButtons() {
    for (int i = 0; i < Buttons.count && i < ButtonSlots; i++) AssignString(&Buttons.exbtn[i], "");
    Buttons.count = 0;
}

void ResetButtonSwitches() {
    int32_t keep = ButtonWaitOptions.noWindowErase;
    ButtonWaitOptions = ButtonWaitSwitches();
    ButtonWaitOptions.noWindowErase = keep;
    ButtonGetEnter = ButtonGetFunction = 0;
}

void ResetButtonWait() {
    ButtonWaitOptions.timeout = -1;
    ReleaseSurface(&ButtonPicture);
    ButtonPicture.tag[0] = 0;
}

void ReloadButtonPicture() {
    if (!ButtonPicture.tag[0]) return;
    // The loader takes a surface holding the same tag as loaded already.
    char tag[SurfaceTagSize];
    memcpy(tag, ButtonPicture.tag, sizeof tag);
    ButtonPicture.tag[0] = 0;
    LoadSurface(&ButtonPicture, tag);
    memcpy(ButtonPicture.tag, tag, sizeof tag);
}

// ---- hit test ---------------------------------------------------------------------------------

static bool EntryHolds(int i, int32_t x, int32_t y) {
    if (x < Buttons.left[i] || x > Buttons.right[i] || y < Buttons.top[i] || y > Buttons.bottom[i])
        return false;
    // delbtn moves the left edge to 999: such an entry is dead however wide
    // it is (on screens wider than 999 pixels it would still answer).
    if (Buttons.left[i] == DeletedButtonLeft) return false;
    if (!ButtonWaitOptions.transbtn) return true;
    int32_t s = ButtonSpriteOf(i);
    if (s < 0) return true;
    const Sprite& sp = Sprites[s];
    return !IsTransparentAt(&sp.surface, x - sp.x, y - sp.y);
}

int FindHoveredButton(int32_t x, int32_t y, int textButtons) {
    int found = -1;
    int32_t mask = ButtonWaitOptions.mask;
    int count = Buttons.count;
    for (int i = 0; i < count; i++)
        if (Buttons.number[i] > mask && EntryHolds(i, x, y)) found = i;
    for (int t = 0; t < textButtons; t++)
        if (TextButtons[t].number > mask && TextButtonContains(t, x, y)) found = count + t;
    return found;
}

// ---- looks ------------------------------------------------------------------------------------

static bool DirtyEmpty() {
    return !DirtyRect.left && !DirtyRect.top && !DirtyRect.right && !DirtyRect.bottom;
}

static void ShowDirty() {
    if (DirtyEmpty()) return;
    ScreenRect r = DirtyRect;
    ComposeScreen(&r);
    RunEffect("", EffectInstant, 0, &r);
}

static void PaintArea(int32_t left, int32_t top, int32_t width, int32_t height) {
    ScreenRect r;
    r.left = left < 0 ? 0 : left;
    r.top = top < 0 ? 0 : top;
    int64_t right = (int64_t)left + width - 1, bottom = (int64_t)top + height - 1;
    r.right = (int32_t)(right > ScreenWidth - 1 ? ScreenWidth - 1 : right);
    r.bottom = (int32_t)(bottom > ScreenHeight - 1 ? ScreenHeight - 1 : bottom);
    if (r.right >= r.left && r.bottom >= r.top) PaintWindow(&r);
}

static void ShowSpriteCell(int32_t s, int32_t cell) {
    Sprite& sp = Sprites[s];
    sp.surface.cell = cell;
    sp.visible = 1;
    MarkSpriteDirty(s);
}

static void DrawChoice(int i, bool highlight) {
    int32_t index = -1 - Buttons.choiceLink[i];
    if (index < 0 || index >= CselLimit) return;
    int32_t row = -Buttons.top[i], column = -Buttons.left[i];
    if (row >= 0) row = -1;
    if (column >= 0) column = -1;
    DrawStringAt(row, column, CselTexts[index], SelectColors[highlight ? 0 : 1]);
    PaintArea(Buttons.left[i], Buttons.top[i], Buttons.width[i], Buttons.height[i]);
}

// Draws text button t and copies its lines (a wrapped one takes two) to
// the window.
static void DrawTextButtonShown(int t, int highlight) {
    DrawTextButton(t, highlight);
    PaintArea(0, TextButtons[t].top, ScreenWidth, 2 * TextLineAdvance);
}

static void Highlight(int h) {
    if (h >= Buttons.count) {
        int t = h - Buttons.count;
        DrawTextButtonShown(t, 1);
        const char* ex = TextButtonExbtn(t);
        if (*ex) {
            RunExbtnString(StringText(ExbtnDefault));
            RunExbtnString(ex);
            ShowDirty();
        }
        return;
    }
    int32_t s = ButtonSpriteOf(h);
    switch (ButtonKindOf(h)) {
    case ExtendedButton:
        if (s >= 0) {
            Sprite& sp = Sprites[s];
            ShowSpriteCell(s, CellCountOf(&sp.surface) > 1 ? 1 : sp.surface.cell);
        }
        RunExbtnString(StringText(ExbtnDefault));
        RunExbtnString(StringText(Buttons.exbtn[h]));
        ShowDirty();
        break;
    case SpriteButton:
        // A single-cell sprite has no hover cell: it stays as it is.
        if (s >= 0) {
            Sprite& sp = Sprites[s];
            ShowSpriteCell(s, CellCountOf(&sp.surface) > 1 ? 1 : sp.surface.cell);
        }
        ShowDirty();
        break;
    case ChoiceButton: DrawChoice(h, true); break;
    case AreaButton:
        BltToSurface(&DestSurface, Buttons.left[h], Buttons.top[h], Buttons.width[h], Buttons.height[h],
                     &ButtonPicture, Buttons.choiceLink[h], Buttons.spriteLink[h]);
        PaintArea(Buttons.left[h], Buttons.top[h], Buttons.width[h], Buttons.height[h]);
        break;
    }
}

static void Plain(int h) {
    if (h >= Buttons.count) {
        DrawTextButtonShown(h - Buttons.count, 0);
        return;
    }
    int32_t s = ButtonSpriteOf(h);
    switch (ButtonKindOf(h)) {
    case ExtendedButton:
    case SpriteButton:
        if (s >= 0) ShowSpriteCell(s, 0);
        ShowDirty();
        break;
    case ChoiceButton: DrawChoice(h, false); break;
    case AreaButton:
        BltToSurface(&DestSurface, Buttons.left[h], Buttons.top[h], Buttons.width[h], Buttons.height[h],
                     &SrcSurface, Buttons.left[h], Buttons.top[h]);
        PaintArea(Buttons.left[h], Buttons.top[h], Buttons.width[h], Buttons.height[h]);
        break;
    }
}

// ---- the wait ---------------------------------------------------------------------------------

// The second sound of dwave_dd, started once when a wait ends by itself or
// by a key: the voice stops, the follow-up loops on its channel.
static void StartFollowUpSound() {
    if (SkipModeSound.file.empty()) return;
    std::string file = SkipModeSound.file;
    SkipModeSound.file.clear();
    int channel = SkipModeSound.channel;
    StopDwave(VoiceChannel);
    PlayDwave(channel, file.c_str(), 1);
    if (!ChannelInRange(channel)) return;
    if (OggCarries(channel)) {
        OggVolume(channel, SkipModeSound.volume);
        return;
    }
    int32_t attenuation = SkipModeSound.volume <= -2500 ? 100 : -SkipModeSound.volume / 25;
    if (attenuation < 0) attenuation = 0;
    SetChannelVolume(attenuation, channel);
}

static bool AutoModeDone(uint32_t elapsed) {
    if (IsMciWaveOncePlaying() || VoiceStillPlaying()) return false;
    return (int64_t)elapsed >= AutoModeTime();
}

static bool KeyHeld(int vk) { return GetForegroundKeyState(vk) != 0; }

// Waits for the key to be let go, at most 125 ms.
static void AwaitRelease(int vk) {
    uint32_t t0 = PlatTicks();
    while (KeyHeld(vk) && PlatTicks() - t0 < 125) {
        if (!PumpMessage()) IdleFor(MsLeft(125, PlatTicks() - t0), 0, false);
    }
}

// A key result: the release wait, no characters left behind, the follow-up.
static int32_t KeyResult(int vk, int32_t result) {
    AwaitRelease(vk);
    PlatRemoveAll(WM_CHAR);
    StartFollowUpSound();
    return result;
}

// Up / Down without getcursor: the pointer goes to the previous or next
// entry; the wrap takes the last or first entry lying wholly on the screen
// (left and top above 0), and nothing when none does.
static void MovePointerToEntry(int hovered, int step) {
    int count = Buttons.count;
    if (count <= 0) return;
    int target = -1;
    int from = hovered >= 0 && hovered < count ? hovered : (step < 0 ? count : -1);
    int next = from + step;
    if (next >= 0 && next < count) {
        target = next;
    } else {
        for (int k = 0; k < count; k++) {
            int i = step < 0 ? count - 1 - k : k;
            if (Buttons.left[i] > 0 && Buttons.top[i] > 0) {
                target = i;
                break;
            }
        }
    }
    if (target < 0) return;
    int32_t x = Buttons.left[target], y = Buttons.top[target];
    int32_t s = ButtonSpriteOf(target);
    if (ButtonWaitOptions.transbtn && s >= 0 && ButtonKindOf(target) == SpriteButton) {
        const Sprite& sp = Sprites[s];
        bool found = false;
        for (int32_t yy = 0; yy < Buttons.height[target] && !found; yy++)
            for (int32_t xx = 0; xx < Buttons.width[target]; xx++)
                if (!IsTransparentAt(&sp.surface, xx, yy)) {
                    x = Buttons.left[target] + xx;
                    y = Buttons.top[target] + yy;
                    found = true;
                    break;
                }
    }
    PlatWarpCursor(x, y);
}

int32_t ButtonWait() {
    ButtonWaitSwitches& o = ButtonWaitOptions;
    int textButtons = 0;
    if (TextButtonsActive)
        textButtons = TextButtonCount < 0 ? 0 : TextButtonCount > TextButtonMax ? TextButtonMax : TextButtonCount;
    int startSkip = SkipMode, startAuto = AutoMode;
    bool textMode = ButtonWaitTextMode != 0, selectMode = ButtonWaitSelectMode != 0;
    bool storyText = textMode && !selectMode;
    if (!o.noWindowErase && !selectMode && !textMode) HideTextWindow();

    int hovered = -1;
    bool savePending = true;
    if (!textMode || selectMode) SkipMode = 0;
    LastTextButton = -1;
    PlatMsg m;
    if (selectMode) {
        PlatPeekRemove(WM_COMMAND, &m);
    } else if (textMode) {
        bool released = PlatPeekRemove(WM_LBUTTONUP, &m);
        released = PlatPeekRemove(WM_RBUTTONUP, &m) || released;
        if (released) AutoMode = SkipMode = 0;
    }
    PlatRemoveAll(WM_LBUTTONUP);
    PlatRemoveAll(WM_RBUTTONUP);
    PlatRemoveAll(WM_MOUSEWHEEL);
    PlatRemoveAll(WM_CHAR);
    PumpMessage();
    Clicked = RightClicked = MiddleClicked = 0;

    // Every sprite button starts plain.
    bool anyExtended = false;
    for (int i = 0; i < Buttons.count; i++) {
        int32_t s = ButtonSpriteOf(i);
        if (s < 0) continue;
        Sprite& sp = Sprites[s];
        if (!(sp.visible && sp.surface.cell == 0)) ShowSpriteCell(s, 0);
        if (ButtonKindOf(i) == ExtendedButton) anyExtended = true;
    }
    for (int t = 0; t < textButtons; t++) {
        DrawTextButtonShown(t, 0);
        if (*TextButtonExbtn(t)) anyExtended = true;
    }
    if (anyExtended) RunExbtnString(StringText(ExbtnDefault));
    ShowDirty();

    if (storyText && ((!AutoClickOn && SkipMode) || IsSkipKeyDown())) {
        StartFollowUpSound();
        return 0;
    }
    bool anyChoice = false;
    for (int i = 0; i < Buttons.count; i++)
        if (ButtonKindOf(i) == ChoiceButton) {
            DrawChoice(i, false);
            anyChoice = true;
        }
    if (!TaveloMode) {
        int x, y;
        PlatCursorPos(&x, &y);
        PlatPostMessage(WM_MOUSEMOVE, 0, MakePointParam(x, y));
    }
    uint32_t t0 = PlatTicks();
    uint32_t lastMove = t0 - 125;
    bool enterReleased = false;
    bool copied = false;  // Shift+C has copied the page during this press
    bool voiceEnded = false;
    bool headless = PlatIsHeadless();

    // The common end of a click, a wheel turn and a right click.
    auto clickEnd = [&]() {
        if (anyChoice && !selectMode) {
            ClearTextPage();
            CommitBacklogPage();
        }
        int32_t d = (int32_t)(PlatTicks() - t0);
        ButtonWaitElapsed = d < 0 ? 1 : d;
    };
    auto numberOf = [&](int h) {
        return h < Buttons.count ? Buttons.number[h] : TextButtons[h - Buttons.count].number;
    };

    for (;;) {
        if (o.skipChange) {
            if (SkipMode != startSkip) return -60;
            if (AutoMode != startAuto) return -61;
        }
        if (storyText && ((!AutoClickOn && SkipMode) || IsSkipKeyDown())) {
            StartFollowUpSound();
            return 0;
        }
        if (ResetRequested) return 0;
        uint32_t now = PlatTicks();
        if (savePending && now - t0 > 1000) {
            SavePersistentData();
            savePending = false;
        }
        if (o.timeout >= 0 && now - t0 > (uint32_t)o.timeout && !(o.timeoutVoice && VoiceStillPlaying())) {
            SavePersistentData();
            ButtonWaitElapsed = o.timeout;
            StartFollowUpSound();
            return UseWheel ? -5 : -2;
        }
        if (OggPlugin2Active) {
            // With the newer Ogg plug-in the voice's end is watched in every
            // mode: it starts the pending follow-up once, and ends the wait
            // only in auto mode (no autoclick time).
            if (!voiceEnded && !IsMciWaveOncePlaying() && !VoiceStillPlaying()) {
                voiceEnded = true;
                StartFollowUpSound();
            }
            if (voiceEnded && storyText && AutoMode && AutoModeDone(now - t0)) return 0;
        } else if (storyText) {
            if (AutoMode && AutoModeDone(now - t0)) return 0;
            if (AutoClickOn && now - t0 >= (uint32_t)AutoClickTime) return 0;
        }
        if (PumpMessage()) {
            bool mouse = LastMessage == WM_MOUSEMOVE;
            if (mouse) {
                int32_t line = o.areaLine;
                if ((line > 0 && LastY < line) || (line < 0 && LastY > -(int64_t)line)) {
                    if (!o.noWindowErase) {
                        ComposeScreen(nullptr);
                        RunEffect("", EffectInstant, 0, nullptr);
                    }
                    if (anyChoice && !selectMode) {
                        ClearTextPage();
                        CommitBacklogPage();
                    }
                    ButtonWaitElapsed = (int32_t)(PlatTicks() - t0);
                    StartFollowUpSound();
                    return -4;
                }
            }
            // A press or release names its point too: a click where the
            // pointer has not been seen moving still hits what lies there.
            if (mouse || LastMessage == WM_LBUTTONDOWN || LastMessage == WM_LBUTTONUP) {
                int h = FindHoveredButton(LastX, LastY, textButtons);
                if (h != hovered) {
                    if (hovered >= 0) {
                        Plain(hovered);
                        if (h < 0) {
                            if (hovered < Buttons.count && ButtonKindOf(hovered) == ExtendedButton) {
                                RunExbtnString(StringText(ExbtnDefault));
                                ShowDirty();
                            } else if (hovered >= Buttons.count && anyExtended) {
                                RunExbtnString(StringText(ExbtnDefault));
                                ShowDirty();
                            }
                        }
                    }
                    if (h >= 0) Highlight(h);
                    hovered = h;
                }
            }

            // Keys, in this order.
            if (!KeyHeld(VK_RETURN)) enterReleased = true;
            uint32_t t = PlatTicks();
            if (!o.cursorKeys && (KeyHeld(VK_UP) || KeyHeld(VK_DOWN)) && t - lastMove >= 125) {
                lastMove = t;
                MovePointerToEntry(hovered, KeyHeld(VK_UP) ? -1 : 1);
            }
            if ((o.pageUp || o.pageKeys) && KeyHeld(VK_PRIOR)) return KeyResult(VK_PRIOR, -12);
            // Shift+C copies the page once a press; the wait goes on.
            bool copyKeys = KeyHeld(VK_SHIFT) && KeyHeld('C');
            if (copyKeys && !copied) CopyBacklogPage();
            copied = copyKeys;
            if (o.pageKeys && KeyHeld(VK_NEXT)) return KeyResult(VK_NEXT, -13);
            if (o.insert && KeyHeld(VK_INSERT)) return KeyResult(VK_INSERT, -50);
            if (o.zxc) {
                if (KeyHeld('Z')) return KeyResult('Z', -51);
                if (KeyHeld('X')) return KeyResult('X', -52);
                if (KeyHeld('C') && !KeyHeld(VK_SHIFT)) return KeyResult('C', -53);
            }
            if (o.middleClick && MiddleClicked) {
                MiddleClicked = 0;
                PlatRemoveAll(WM_CHAR);
                StartFollowUpSound();
                return -70;
            }
            if (ButtonGetEnter && enterReleased && KeyHeld(VK_RETURN)) return KeyResult(VK_RETURN, -19);
            if (o.tab && KeyHeld(VK_TAB)) return KeyResult(VK_TAB, -20);
            if (ButtonGetFunction)
                for (int k = 0; k < 12; k++)
                    if (KeyHeld(VK_F1 + k)) return KeyResult(VK_F1 + k, -21 - k);
            if (o.cursorKeys) {
                static const int keys[4] = {VK_UP, VK_RIGHT, VK_DOWN, VK_LEFT};
                for (int k = 0; k < 4; k++)
                    if (KeyHeld(keys[k])) return KeyResult(keys[k], -40 - k);
            }
            if (UseEscSpace && !o.spaceClick && KeyHeld(VK_SPACE)) {
                Clicked = 0;
                return KeyResult(VK_SPACE, -11);
            }
            if (UseEscSpace && KeyHeld(VK_ESCAPE)) {
                if (o.escPointOn && hovered >= 0) {
                    AwaitRelease(VK_ESCAPE);
                    PlatWarpCursor(o.escX, o.escY);
                } else {
                    return KeyResult(VK_ESCAPE, -10);
                }
            }

            // Clicks.
            if (o.heldButton != 0 && PlatIsForeground() && PlatKeyDown(VK_LBUTTON) &&
                (o.heldButton != HeldButtonUnhovered || hovered < 0))
                Clicked = 1;
            if (Clicked) {
                Clicked = 0;
                clickEnd();
                if (hovered < 0) {
                    StartFollowUpSound();
                    return 0;
                }
                if (hovered >= Buttons.count) LastTextButton = hovered - Buttons.count;
                return numberOf(hovered);
            }
            if (UseWheel && LastMessage == WM_MOUSEWHEEL) {
                clickEnd();
                StartFollowUpSound();
                return WheelDelta > 0 ? -2 : -3;
            }
            if (RightClicked) {
                RightClicked = 0;
                clickEnd();
                return -1;
            }
        } else if (!headless) {
            // Until the next time this loop acts on by itself.
            uint32_t ms = IdleNoLimit, elapsed = PlatTicks() - t0;
            if (savePending) ms = std::min(ms, MsLeft(1001, elapsed));
            if (o.timeout >= 0)
                ms = std::min(ms, o.timeoutVoice && elapsed > (uint32_t)o.timeout
                                      ? SoundEndPollMs
                                      : MsLeft((int64_t)(uint32_t)o.timeout + 1, elapsed));
            if (storyText && AutoMode)
                ms = std::min(ms, elapsed >= AutoModeTime() ? SoundEndPollMs : MsLeft(AutoModeTime(), elapsed));
            if (storyText && AutoClickOn) ms = std::min(ms, MsLeft((uint32_t)AutoClickTime, elapsed));
            // The voice's end starts the follow-up sound in every mode.
            if (OggPlugin2Active && !voiceEnded) ms = std::min(ms, SoundEndPollMs);
            IdleFor(ms);
        }
        if (hovered >= 0 && o.mouseOverMin > 0) {
            int32_t n = numberOf(hovered);
            if (n >= o.mouseOverMin && n <= o.mouseOverMax) {
                StartFollowUpSound();
                return n;
            }
        }
        AdvanceAnimation();
    }
}
