// bsp.cpp - the bsp button sets and their wait.  Like the button wait it
// polls without sleeping headless and, with a window, blocks until input
// or its next time when the queue is empty.
#include "ui/bsp.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "graphics/anim.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "save/persist.h"
#include "sound/click_voice.h"
#include "ui/button_messages.h"
#include "ui/exbtn.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"

ButtonDef ButtonDefs[ButtonDefLimit];
int32_t ButtonDefCount = 0;
int32_t ButtonExecTimeout = -1;
int64_t ButtonExecStart = -1;
uint8_t ButtonExecFlags[4] = {};
HeapString ButtonExecDefault;

void AddButtonDef(int32_t sprite, const char* normal, const char* hover, const char* click) {
    if (ButtonDefCount < 0 || ButtonDefCount >= ButtonDefLimit) ScriptError(CapError, MsgTooManyBsp);
    ButtonDef& d = ButtonDefs[ButtonDefCount++];
    d.sprite = sprite;
    AssignString(&d.normal, normal);
    AssignString(&d.hover, hover);
    AssignString(&d.click, click);
}

void ClearButtonDefs() {
    ButtonDefCount = 0;
    ButtonExecTimeout = -1;
    ButtonExecStart = -1;
    AssignString(&ButtonExecDefault, "");
    memset(ButtonExecFlags, 0, sizeof ButtonExecFlags);
}

int FindButtonDefAt(int32_t x, int32_t y) {
    if (x == -1 && y == -1) return -1;
    int found = -1;
    for (int i = 0; i < ButtonDefCount; i++) {
        int32_t n = ButtonDefs[i].sprite;
        if (n < 0 || n >= SpriteCount) continue;
        const Sprite& s = Sprites[n];
        int64_t dx = (int64_t)x - s.x, dy = (int64_t)y - s.y;
        if (dx < 0 || dy < 0 || dx >= GetCellWidth(&s.surface) || dy >= s.surface.dib.height) continue;
        if (ButtonExecFlags[1] && IsTransparentAt(&s.surface, (int32_t)dx, (int32_t)dy)) continue;
        found = i;
    }
    return found;
}

static void ShowDirty() {
    if (!DirtyRect.left && !DirtyRect.top && !DirtyRect.right && !DirtyRect.bottom) return;
    ScreenRect r = DirtyRect;
    ComposeScreen(&r);
    RunEffect("", EffectInstant, 0, &r);
}

static void Put(char* result, size_t size, const char* text) { snprintf(result, size, "%s", text); }

// A click (or Space / Return as one): the hovered button's number and its
// click look, or LCLICK.
static void ClickResult(int hovered, char* result, size_t size) {
    if (hovered < 0) {
        Put(result, size, "LCLICK");
        return;
    }
    const ButtonDef& d = ButtonDefs[hovered];
    snprintf(result, size, "S%d", d.sprite);
    RunExbtnString(StringText(d.click));
    ShowDirty();
}

// Puts the pointer on the centre of definition i's sprite.
static void PointAt(int i) {
    int32_t n = ButtonDefs[i].sprite;
    if (n < 0 || n >= SpriteCount) return;
    const Sprite& s = Sprites[n];
    int32_t x = s.x + GetCellWidth(&s.surface) / 2, y = s.y + s.surface.dib.height / 2;
    PlatWarpCursor(x, y);
}

static bool Held(int vk) { return GetForegroundKeyState(vk) != 0; }

void RunButtonExec(char* result, size_t size) {
    Put(result, size, "");
    PlatMsg m;
    for (uint32_t kind : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEWHEEL})
        if (PlatPeekRemove(kind, &m)) AutoMode = SkipMode = 0;
    if (ButtonExecStart < 0) ButtonExecStart = PlatTicks();

    int hovered = -2;
    PumpMessage();
    ShowDirty();
    bool savePending = true;
    Clicked = RightClicked = MiddleClicked = 0;
    WheelDelta = 0;
    uint32_t t0 = PlatTicks();
    uint32_t lastGroupKey = t0 - 125;
    bool headless = PlatIsHeadless();
    bool cursorNames = ButtonExecFlags[3] != 0;

    // Ms until the loop acts on by itself: the persistent save, the time-out
    // (looked at again and again while a voice it waits for plays), the
    // repeat of a held group key.
    auto nextTime = [&]() {
        uint32_t now = PlatTicks(), ms = IdleNoLimit;
        if (savePending) ms = std::min(ms, MsLeft(1001, now - t0));
        if (ButtonExecTimeout != -1) {
            uint32_t start = (uint32_t)ButtonExecStart;
            uint32_t left = MsLeft((int64_t)(uint32_t)ButtonExecTimeout + 1, now - start);
            ms = std::min(ms, left == 0 ? SoundEndPollMs : left);
        }
        for (int vk : {VK_SPACE, VK_RETURN, VK_UP, VK_LEFT, VK_DOWN, VK_RIGHT})
            if (Held(vk)) ms = std::min(ms, MsLeft(125, now - lastGroupKey));
        return ms;
    };

    for (;;) {
        if (!PumpMessage() && !headless) IdleFor(nextTime());
        if (QuitRequested || ResetRequested) return;
        uint32_t now = PlatTicks();
        if (savePending && now - t0 > 1000) {
            SavePersistentData();
            savePending = false;
        }

        int x, y;
        PlatCursorPos(&x, &y);
        int h = FindButtonDefAt(x, y);
        if (h != hovered) {
            for (int i = 0; i < ButtonDefCount; i++)
                RunExbtnString(StringText(i == h ? ButtonDefs[i].hover : ButtonDefs[i].normal));
            if (h < 0) RunExbtnString(StringText(ButtonExecDefault));
            hovered = h;
            ShowDirty();
        }

        // With bcursor, Space and Return are keys of their own even though
        // the window procedure takes them as clicks.
        bool clicked;
        if (ButtonExecFlags[2]) {
            clicked = PlatIsForeground() && PlatKeyDown(VK_LBUTTON);
        } else {
            clicked = Clicked != 0;
            Clicked = 0;
            if (clicked && cursorNames && (Held(VK_SPACE) || Held(VK_RETURN))) clicked = false;
        }
        if (clicked) {
            ClickResult(hovered, result, size);
            return;
        }
        if (RightClicked) {
            RightClicked = 0;
            Put(result, size, "RCLICK");
            return;
        }
        if (MiddleClicked) {
            MiddleClicked = 0;
            Put(result, size, "MCLICK");
            return;
        }
        if (WheelDelta) {
            Put(result, size, WheelDelta < 0 ? "WHEELDOWN" : "WHEELUP");
            WheelDelta = 0;
            return;
        }
        if (ButtonExecTimeout != -1) {
            uint32_t start = (uint32_t)ButtonExecStart;
            bool passed = now - start > (uint32_t)ButtonExecTimeout || now < start;
            if (passed && !(ButtonExecFlags[0] && VoiceStillPlaying())) {
                Put(result, size, "TIMEOUT");
                return;
            }
        }
        if (SkipMode) {
            SkipMode = 0;
            Put(result, size, "SKIP");
            return;
        }
        if (AutoMode) {
            AutoMode = 0;
            Put(result, size, "AUTO");
            return;
        }

        for (int k = 'A'; k <= 'Z'; k++)
            if (Held(k)) return (void)snprintf(result, size, "%c", k);
        for (int k = '0'; k <= '9'; k++)
            if (Held(k)) return (void)snprintf(result, size, "%c", k);
        if (Held(VK_CONTROL)) return Put(result, size, "CTRL");
        for (int k = 0; k < 12; k++)
            if (Held(VK_F1 + k)) return (void)snprintf(result, size, "F%d", k + 1);
        if (Held(VK_PRIOR)) return Put(result, size, "PAGEUP");
        if (Held(VK_NEXT)) return Put(result, size, "PAGEDOWN");
        if (Held(VK_SHIFT)) return Put(result, size, "SHIFT");
        if (Held(VK_ESCAPE)) return Put(result, size, "ESC");

        now = PlatTicks();
        if (now - lastGroupKey >= 125) {
            struct GroupKey {
                int vk;
                const char* name;
                int step;  // 0 a click, -1 previous, +1 next
            };
            static const GroupKey keys[] = {
                {VK_SPACE, "SPACE", 0}, {VK_RETURN, "RETURN", 0}, {VK_UP, "UP", -1},
                {VK_LEFT, "LEFT", -1},  {VK_DOWN, "DOWN", 1},     {VK_RIGHT, "RIGHT", 1},
            };
            for (const GroupKey& g : keys) {
                if (!Held(g.vk)) continue;
                lastGroupKey = now;
                if (cursorNames) return Put(result, size, g.name);
                if (g.step == 0) {
                    Clicked = 0;
                    ClickResult(hovered, result, size);
                    return;
                }
                int count = ButtonDefCount;
                if (count <= 0) break;  // nowhere to go
                int from = hovered >= 0 && hovered < count ? hovered : -1;
                int to;
                if (g.step < 0)
                    to = from <= 0 ? count - 1 : from - 1;
                else
                    to = from < 0 || from >= count - 1 ? 0 : from + 1;
                PointAt(to);
                break;
            }
        }
        AdvanceAnimation();
    }
}
