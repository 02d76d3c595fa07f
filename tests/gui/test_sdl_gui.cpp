// The in-window GUI of the SDL backend on SDL's dummy video driver: the
// window taller by the menu bar with client coordinates kept, clicks on the
// bar kept from the game, a submenu opened, left by a click outside,
// chosen from by a click and closed when the window loses the focus, a
// message box drawn in the window answered with Enter while the bar does
// nothing, the input dialog that cannot be cancelled keeping what was typed
// through Esc, the edit field's text in the script's font cell, the face
// drawing every Japanese character of CP932, and the list whose text can be
// typed.
#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/common/menubar.h"
#include "platform/platform.h"
#include "platform/sdl/sdl.h"
#include "platform/sdl/sdl_internal.h"
#include "tests/support/engine_fixture.h"

namespace {

struct SdlDummy {
    SdlDummy() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        StartHeadlessForTests();  // exits throw
        PlatResetForTests();
        PlatOptions opt;
        ok = PlatInit(opt);
    }
    ~SdlDummy() { PlatResetForTests(); }
    bool ok;
};

void Push(Uint32 type, int x, int y, SDL_Keycode key = 0, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event e = {};
    e.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
        e.key.windowID = SDL_GetWindowID(SdlWindow());
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    } else {
        e.button.windowID = SDL_GetWindowID(SdlWindow());
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
    }
    e.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}

std::vector<PlatMsg> TakeAll() {
    std::vector<PlatMsg> out;
    PlatMsg m;
    while (PlatGetMessage(&m)) out.push_back(m);
    return out;
}

TEST(SdlGui, TheBarSitsAboveTheClientAreaAndKeepsItsClicks) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    PlatCreateWindow(320, 240);
    PlatShowWindow(true);
    std::vector<PlatMenuEntry> menu(1);
    menu[0].caption = "\x8fI\x97\xb9";  // 終了
    menu[0].command = 40001;
    PlatSetMenu(menu, true);
    int w, h;
    SDL_GetWindowSize(SdlWindow(), &w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240 + 20);
    PlatMoveWindow(100, 100, 320, 240);
    int x, y;
    SDL_GetWindowPosition(SdlWindow(), &x, &y);
    EXPECT_EQ(y, 80);  // the client area at 100
    TakeAll();
    Push(SDL_MOUSEBUTTONDOWN, 50, 20 + 7);
    Push(SDL_MOUSEBUTTONUP, 50, 20 + 7);
    Push(SDL_MOUSEBUTTONDOWN, 300, 5);  // on the bar: the GUI's
    Push(SDL_MOUSEBUTTONUP, 300, 5);
    std::vector<PlatMsg> got = TakeAll();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, (uint32_t)WM_LBUTTONDOWN);
    EXPECT_EQ(PointParamX(got[0].lparam), 50);
    EXPECT_EQ(PointParamY(got[0].lparam), 7);
    // Detached, the window is the client area again.
    PlatSetMenu(menu, false);
    SDL_GetWindowSize(SdlWindow(), &w, &h);
    EXPECT_EQ(h, 240);
}

// The window with a bar of a submenu 画面 (one item, 40002) and an item 終了.
void WindowWithMenu() {
    PlatCreateWindow(320, 240);
    PlatShowWindow(true);
    std::vector<PlatMenuEntry> menu(3);
    menu[0].caption = "\x89\xe6\x96\xca";  // 画面
    menu[1].caption = "\x91\x53\x89\xe6\x96\xca";  // 全画面
    menu[1].command = 40002;
    menu[1].depth = 1;
    menu[2].caption = "\x8fI\x97\xb9";  // 終了
    menu[2].command = 40001;
    PlatSetMenu(menu, true);
    SdlRenderNow();  // the bar drawn: its places known
}

// A press and a release, each taken and followed by a frame: the messages
// they gave.
std::vector<PlatMsg> Click(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    std::vector<PlatMsg> got;
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        Push(type, x, y, 0, button);
        for (const PlatMsg& m : TakeAll()) got.push_back(m);
        SdlRenderNow();
    }
    return got;
}

TEST(SdlGui, ASubmenuOpensByAClickAndKeepsTheClicksFromTheGame) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    WindowWithMenu();
    TakeAll();
    EXPECT_TRUE(Click(20, 10).empty());  // 画面
    EXPECT_TRUE(PlatMenuOpen());
    // A right click outside closes it: neither half reaches the game.
    EXPECT_TRUE(Click(200, 150, SDL_BUTTON_RIGHT).empty());
    EXPECT_FALSE(PlatMenuOpen());
    // The next one is the game's.
    EXPECT_EQ(Click(200, 150, SDL_BUTTON_RIGHT).size(), 2u);
    // The window losing the focus closes it.
    Click(20, 10);
    ASSERT_TRUE(PlatMenuOpen());
    SDL_Event lost = {};
    lost.type = SDL_WINDOWEVENT;
    lost.window.windowID = SDL_GetWindowID(SdlWindow());
    lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&lost);
    TakeAll();
    EXPECT_FALSE(PlatMenuOpen());
    // Opened again: a click on its row chooses 全画面.
    Click(20, 10);
    ASSERT_TRUE(PlatMenuOpen());
    std::vector<PlatMsg> got = Click(30, 20 + 12);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, (uint32_t)WM_COMMAND);
    EXPECT_EQ(got[0].wparam, 40002u);
    EXPECT_FALSE(PlatMenuOpen());
}

TEST(SdlGui, ADialogKeepsTheMenuShut) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    WindowWithMenu();
    TakeAll();
    // A click on the bar while the box is open does nothing; Enter answers.
    Push(SDL_MOUSEBUTTONDOWN, 20, 10);
    Push(SDL_MOUSEBUTTONUP, 20, 10);
    Push(SDL_KEYDOWN, 0, 0, SDLK_RETURN);
    Push(SDL_KEYUP, 0, 0, SDLK_RETURN);
    EXPECT_EQ(PlatMessageBox("t", "c", MB_OK, true), IDOK);
    EXPECT_FALSE(PlatMenuOpen());
    EXPECT_TRUE(TakeAll().empty());
}

// A bar drawn and then deleted or detached leaves nothing behind: a click
// in the top strip is the game's, and no frames are wanted for it.
TEST(SdlGui, ABarTakenAwayKeepsNoClicksAndAsksNoFrames) {
    for (bool deleted : {true, false}) {
        SCOPED_TRACE(deleted ? "deleted" : "detached");
        SdlDummy sdl;
        ASSERT_TRUE(sdl.ok);
        WindowWithMenu();
        TakeAll();
        if (deleted) PlatSetMenu({}, true);
        else PlatSetMenu(MenuBarEntries(), false);
        SdlRenderNow();
        TakeAll();
        EXPECT_FALSE(GuiWantsFrames());
        std::vector<PlatMsg> got = Click(300, 5);
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].message, (uint32_t)WM_LBUTTONDOWN);
        EXPECT_EQ(PointParamY(got[0].lparam), 5);
    }
}

// Enter chooses an item; its release goes elsewhere (another window) and
// never reaches the queue.  The next Enter is the game's all the same.
TEST(SdlGui, AKeyReleasedOutsideTheQueueIsNoLongerTheMenus) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    WindowWithMenu();
    TakeAll();
    PlatMenuKey(VK_F10);
    ASSERT_TRUE(PlatMenuOpen());
    Push(SDL_KEYDOWN, 0, 0, SDLK_RETURN);  // opens 画面
    Push(SDL_KEYUP, 0, 0, SDLK_RETURN);
    EXPECT_TRUE(TakeAll().empty());
    Push(SDL_KEYDOWN, 0, 0, SDLK_RETURN);  // chooses 全画面
    std::vector<PlatMsg> got = TakeAll();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wparam, 40002u);
    SDL_Event up = {};
    up.type = SDL_KEYUP;
    up.key.windowID = SDL_GetWindowID(SdlWindow()) + 100;
    up.key.keysym.sym = SDLK_RETURN;
    up.key.keysym.scancode = SDL_SCANCODE_RETURN;
    SDL_PushEvent(&up);
    EXPECT_TRUE(TakeAll().empty());
    Push(SDL_KEYDOWN, 0, 0, SDLK_RETURN);
    Push(SDL_KEYUP, 0, 0, SDLK_RETURN);
    got = TakeAll();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, (uint32_t)WM_KEYDOWN);
    EXPECT_EQ(got[0].wparam, (uintptr_t)VK_RETURN);
}

// Typed text in menu mode is the menu's, not the open edit field's.
TEST(SdlGui, TheEditFieldGetsNoKeysInMenuMode) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    WindowWithMenu();
    PlatTextFieldOpen(10, 40, 300, 40, 8, 16, "ab");
    PlatTextFieldFocus();
    auto type = [](const char* text) {
        for (int i = 0; i < 2; i++) SdlRenderNow();
        SDL_Event t = {};
        t.type = SDL_TEXTINPUT;
        t.text.windowID = SDL_GetWindowID(SdlWindow());
        snprintf(t.text.text, sizeof t.text.text, "%s", text);
        SDL_PushEvent(&t);
        TakeAll();
        for (int i = 0; i < 2; i++) SdlRenderNow();
    };
    PlatMenuKey(VK_F10);
    ASSERT_TRUE(PlatMenuOpen());
    type("x");
    EXPECT_EQ(PlatTextFieldText(), "ab");
    PlatMenuKey(VK_F10);
    ASSERT_FALSE(PlatMenuOpen());
    type("c");
    EXPECT_EQ(PlatTextFieldText(), "c");  // the text was selected: typing replaces it
    PlatTextFieldClose();
}

// Alt pressed and released alone opens the menu; released by the window
// losing the focus, it does not.
TEST(SdlGui, AltReleasedAsTheFocusGoesOpensNoMenu) {
    for (bool lost : {false, true}) {
        SCOPED_TRACE(lost ? "focus lost" : "focus kept");
        SdlDummy sdl;
        ASSERT_TRUE(sdl.ok);
        WindowWithMenu();
        TakeAll();
        Push(SDL_KEYDOWN, 0, 0, SDLK_LALT);
        ASSERT_EQ(TakeAll().size(), 1u);
        Push(SDL_KEYUP, 0, 0, SDLK_LALT);  // the focus going resets the keys: a release first
        if (lost) {
            SDL_Event e = {};
            e.type = SDL_WINDOWEVENT;
            e.window.windowID = SDL_GetWindowID(SdlWindow());
            e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
            SDL_PushEvent(&e);
        }
        std::vector<PlatMsg> got = TakeAll();
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].message, (uint32_t)WM_KEYUP);
        PlatMenuKey((int)got[0].wparam);  // the window's own handling of the release
        EXPECT_EQ(PlatMenuOpen(), !lost);
    }
}

TEST(SdlGui, EscDoesNotCancelAnInputDialogWithoutADefault) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    PlatCreateWindow(320, 240);
    PlatShowWindow(true);
    // Each key press draws a frame: two to give the field the focus, then
    // "ab" typed, Esc, and Enter.
    for (int i = 0; i < 2; i++) {
        Push(SDL_KEYDOWN, 0, 0, SDLK_LSHIFT);
        Push(SDL_KEYUP, 0, 0, SDLK_LSHIFT);
    }
    SDL_Event t = {};
    t.type = SDL_TEXTINPUT;
    t.text.windowID = SDL_GetWindowID(SdlWindow());
    snprintf(t.text.text, sizeof t.text.text, "ab");
    SDL_PushEvent(&t);
    for (SDL_Keycode k : {SDLK_ESCAPE, SDLK_RETURN}) {
        Push(SDL_KEYDOWN, 0, 0, k);
        Push(SDL_KEYUP, 0, 0, k);
    }
    // Should Enter find the field emptied and the dialog stay, a close
    // request ends the test after a minute instead of leaving it hanging.
    SDL_TimerID guard = SDL_AddTimer(
        60000, [](Uint32, void*) -> Uint32 {
            PlatSignalPending = SIGTERM;
            return 0;
        },
        nullptr);
    std::string text;
    EXPECT_EQ(PlatInputDialog("c", "p", "OK", &text, 255, nullptr, false), IDOK);
    SDL_RemoveTimer(guard);
    EXPECT_EQ(text, "ab");
}

// The name dialog's field as a focused edit field: its text selected when
// it opens, so that what is typed first replaces it, even before the field
// is drawn; and a click beside the dialog, which takes the keyboard from
// the field for a frame or two, loses nothing typed meanwhile nor as the
// field takes it back, and keeps the field's caret and selection.
TEST(SdlGui, TheNameDialogsFieldKeepsEveryCharacterTyped) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    PlatCreateWindow(320, 240);
    PlatShowWindow(true);
    // Steps: "|" a key press, which draws a frame; "^" a click beside the
    // dialog, whose press draws one; anything else is typed.
    struct Row {
        const char* initial;
        std::vector<const char*> steps;
        const char* answer;
    } rows[] = {
        {"abc", {"x", "|", "|", "y"}, "xy"},
        {"abc", {"|", "|", "y"}, "y"},
        {"", {"|", "|", "x", "^", "t", "|", "a", "|", "ro"}, "xtaro"},
        // Clicked beside at once: the text stays selected for what follows.
        {"abc", {"|", "|", "^", "x", "|", "y"}, "xy"},
        {"abc", {"|", "|", "^", "|", "|", "xy"}, "xy"},
    };
    for (const Row& row : rows) {
        for (const char* step : row.steps) {
            if (!strcmp(step, "|")) {
                Push(SDL_KEYDOWN, 0, 0, SDLK_LSHIFT);
                Push(SDL_KEYUP, 0, 0, SDLK_LSHIFT);
            } else if (!strcmp(step, "^")) {
                Push(SDL_MOUSEBUTTONDOWN, 5, 5);
                Push(SDL_MOUSEBUTTONUP, 5, 5);
            } else {
                SDL_Event t = {};
                t.type = SDL_TEXTINPUT;
                t.text.windowID = SDL_GetWindowID(SdlWindow());
                snprintf(t.text.text, sizeof t.text.text, "%s", step);
                SDL_PushEvent(&t);
            }
        }
        Push(SDL_KEYDOWN, 0, 0, SDLK_RETURN);
        Push(SDL_KEYUP, 0, 0, SDLK_RETURN);
        std::string text = row.initial;
        EXPECT_EQ(PlatInputDialog("c", "p", "OK", &text, 255, nullptr, true), IDOK);
        EXPECT_EQ(text, row.answer);
    }
}

// The box of the dark pixels of the window's rectangle x0..x1, y0..y1.
struct Ink {
    int w = 0, h = 0;
};
Ink InkIn(int x0, int y0, int x1, int y1) {
    SdlRenderNow();
    int w, h;
    SDL_GetRendererOutputSize(SdlRenderer(), &w, &h);
    std::vector<uint32_t> px((size_t)w * h);
    SDL_RenderReadPixels(SdlRenderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, px.data(), w * 4);
    int left = x1, right = -1, top = y1, bottom = -1;
    for (int y = y0; y < y1 && y < h; y++)
        for (int x = x0; x < x1 && x < w; x++)
            if ((px[(size_t)y * w + x] & 0xFF) < 0x60) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    Ink ink;
    if (right >= left) ink.w = right - left + 1, ink.h = bottom - top + 1;
    return ink;
}

TEST(SdlGui, TheEditFieldDrawsInTheScriptsFontCell) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    PlatCreateWindow(320, 240);
    PlatShowWindow(true);
    // The same text in cells of 8 x 16, 16 x 16 and 8 x 32 pixels.
    struct Case {
        int font_w, font_h;
    } cases[] = {{8, 16}, {16, 16}, {8, 32}};
    Ink ink[3];
    for (int i = 0; i < 3; i++) {
        PlatTextFieldOpen(10, 20, 300, 40, cases[i].font_w, cases[i].font_h, "HHHH");
        SdlRenderNow();
        ink[i] = InkIn(10, 20, 310, 60);
        PlatTextFieldClose();
        ASSERT_GT(ink[i].w, 0) << i;
    }
    // Twice the width: twice as wide; twice the height: as wide, twice as high.
    EXPECT_NEAR((double)ink[1].w / ink[0].w, 2.0, 0.3);
    EXPECT_NEAR((double)ink[1].h / ink[0].h, 1.0, 0.2);
    EXPECT_NEAR((double)ink[2].w / ink[0].w, 1.0, 0.2);
    EXPECT_NEAR((double)ink[2].h / ink[0].h, 2.0, 0.3);
    // Four half-width characters 8 pixels apart.
    EXPECT_NEAR(ink[0].w, 3 * 8 + 6, 4);
}

TEST(SdlGui, MessageBoxesAreDrawnInTheWindowWithEveryJapaneseCharacter) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    PlatCreateWindow(320, 240);
    PlatShowWindow(true);
    Push(SDL_KEYDOWN, 0, 0, SDLK_RETURN);
    Push(SDL_KEYUP, 0, 0, SDLK_RETURN);
    testing::internal::CaptureStderr();
    int answer = PlatMessageBox("\x8fI\x97\xb9\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81H", "\x8fI\x97\xb9", MB_YESNO, true);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(err, "");  // not SDL's box, not the fallback line
    // Every character of CP932's kana, symbols and both kanji levels has a
    // glyph in the GUI's face.
    std::string all;
    for (unsigned lead = 0x81; lead <= 0xEA; lead++) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; trail++) {
            if (trail == 0x7F) continue;
            std::string two{(char)lead, (char)trail};
            std::string u = Cp932ToUtf8(two);
            if (u != "?" && u.size() == 3) all += two;
        }
    }
    for (unsigned c = 0xA1; c <= 0xDF; c++) all += (char)c;  // half-width kana
    EXPECT_GT(all.size(), 13000u);
    EXPECT_EQ(GuiMissingGlyphs(all.c_str()), 0);
}

// Typed into the dialog, followed by Enter: at once, before the dialog has
// drawn a frame, or later, when its field has the keyboard.
Uint32 TypeAndEnter(Uint32, void* text) {
    SDL_Event e = {};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = SDL_GetWindowID(SdlWindow());
    snprintf(e.text.text, sizeof e.text.text, "%s", (const char*)text);
    e.common.timestamp = SDL_GetTicks();
    if (*(const char*)text) SDL_PushEvent(&e);
    Push(SDL_KEYDOWN, 0, 0, SDLK_RETURN);
    Push(SDL_KEYUP, 0, 0, SDLK_RETURN);
    return 0;
}

TEST(SdlGui, TheTypedListTakesAPathOrAnEntry) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    PlatCreateWindow(320, 240);
    PlatShowWindow(true);
    std::string def = "\x83" "f\x83t\x83H\x83\x8b\x83g";  // デフォルト
    const char* items[] = {def.c_str(), "/dev/sr0", "cd/"};
    // A text that is no entry comes back as typed (CP932).
    static char typed[] = "/media/\xe3\x83\x87\xe3\x82\xa3\xe3\x82\xb9\xe3\x82\xaf/";  // ディスク
    for (Uint32 after : {1, 300}) {
        std::string text;
        SDL_TimerID timer = SDL_AddTimer(after, TypeAndEnter, typed);
        EXPECT_EQ(PlatComboDialog("CD", items, 3, -1, &text, 255, "OK", "Cancel"), 3) << after;
        EXPECT_EQ(text, "/media/\x83" "f\x83" "B\x83X\x83N/") << after;
        SDL_RemoveTimer(timer);
    }
    std::string text;
    // An entry shown and kept is chosen as itself.
    static char nothing[] = "";
    text.clear();
    SDL_TimerID timer = SDL_AddTimer(200, TypeAndEnter, nothing);
    EXPECT_EQ(PlatComboDialog("CD", items, 3, 2, &text, 255, "OK", "Cancel"), 2);
    EXPECT_EQ(text, "");
    SDL_RemoveTimer(timer);
}

}  // namespace
