// The in-window GUI of the SDL backend on SDL's dummy video driver: the
// window taller by the menu bar with client coordinates kept, clicks on the
// bar kept from the game, a message box drawn in the window answered with
// Enter, the face drawing every Japanese character of CP932, and the list
// whose text can be typed.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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

void Push(Uint32 type, int x, int y, SDL_Keycode key = 0) {
    SDL_Event e = {};
    e.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
        e.key.windowID = SDL_GetWindowID(SdlWindow());
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    } else {
        e.button.windowID = SDL_GetWindowID(SdlWindow());
        e.button.button = SDL_BUTTON_LEFT;
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
