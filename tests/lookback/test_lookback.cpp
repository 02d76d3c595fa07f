// The lookback viewer inside the test program: no page, paging by wheel,
// keys (one turn per 125 ms while held) and the picture and sprite buttons,
// the ways to close it, a reset request, the text drawn in the lookback
// colour with its wraps and vertical columns, and the text layers left as
// they were; the highlight's mouse move only without mode_tavelo.
#include <cstring>
#include <vector>

#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "sound/voices.h"
#include "tests/lookback/viewer_fixture.h"
#include "text/lookback.h"
#include "ui/menu.h"

namespace {

class Lookback : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        for (Surface& b : LookbackButtons) DestroySurface(&b);
        LookbackSpMode = 0;
        LookbackColor = 0xFFFF40;
        pages_.clear();
        Observer() = [this](uint32_t) {
            int p = LookbackPageShown();
            if (p && (pages_.empty() || pages_.back() != p)) pages_.push_back(p);
        };
    }
    void TearDown() override {
        for (Surface& b : LookbackButtons) DestroySurface(&b);
        LookbackSpMode = 0;
        ViewerTest::TearDown();
    }
    // Commits pages "1" .. "n" (the newest is n), full-width digits.
    static void Commit(int n) {
        static const char* digits[] = {"１", "２", "３", "４", "５", "６", "７", "８", "９"};
        for (int i = 0; i < n; i++) {
            std::string t = Cp932(digits[i % 9]);
            BacklogAppend(t.c_str(), (int)t.size());
            CommitBacklogPage();
        }
    }
    std::vector<int> pages_;  // the pages shown, in order
};

TEST_F(Lookback, NoPageDoesNotOpen) {
    EXPECT_EQ(ShowLookback(), 0);
    EXPECT_EQ(LookbackShown, 0);
    EXPECT_TRUE(pages_.empty());
}

TEST_F(Lookback, WheelAndKeysTurnPages) {
    Commit(6);
    Event(10, "wheel 1");     // 2
    Event(20, "wheel 1");     // 3
    Event(30, "wheel -1");    // 2
    Event(40, "key down");    // 1
    Event(60, "key down");    // the newest: nothing
    // Up held for 300 ms: at once, then every 125 ms: 2, 3, 4.
    Event(100, "keydown up");
    Event(400, "keyup up");
    Event(420, "key pageup");  // 5
    Event(440, "wheel 1");     // 6, the oldest
    Event(460, "wheel 1");     // nothing
    Event(500, "click 5 5");   // no button there: closes
    EXPECT_EQ(ShowLookback(), 1);
    EXPECT_EQ(pages_, (std::vector<int>{1, 2, 3, 2, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(LookbackShown, 0);
    EXPECT_EQ(Clicked, 0);
}

TEST_F(Lookback, RightClickEscAndResetEndIt) {
    Commit(2);
    Event(10, "rclick 5 5");
    EXPECT_EQ(ShowLookback(), 1);
    Event(10, "keydown escape");
    Event(50, "keyup escape");
    uint64_t t0 = HeadlessElapsed();
    EXPECT_EQ(ShowLookback(), 1);
    EXPECT_GE(HeadlessElapsed() - t0, 50u);  // waits for Esc to be let go
    // A reset request ends it with 0.
    PlatSetWindowProc([](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
        if (m == WM_COMMAND) {
            ResetRequested = 1;
            return 0;
        }
        return Proc(m, w, l);
    });
    HeadlessInjectAt(HeadlessElapsed() + 30, WM_COMMAND, 1, 0);
    EXPECT_EQ(ShowLookback(), 0);
    EXPECT_EQ(LookbackShown, 0);
}

// The viewer posts a mouse move at the pointer for the button highlight,
// except in mode_tavelo.
TEST_F(Lookback, TheHighlightMoveOnlyWithoutTavelo) {
    Commit(2);
    for (int tavelo : {0, 1}) {
        TaveloMode = tavelo;
        int moves = 0;
        Observer() = [&](uint32_t m) { moves += m == WM_MOUSEMOVE; };
        Event(10, "rclick 5 5");
        EXPECT_EQ(ShowLookback(), 1);
        EXPECT_EQ(moves, tavelo ? 0 : 1) << "mode_tavelo " << tavelo;
    }
    TaveloMode = 0;
}

TEST_F(Lookback, TextInItsColourAndTheLayersKept) {
    std::string block = Cp932("■■");
    BacklogAppend(block.c_str(), (int)block.size());
    CommitBacklogPage();
    for (int i = 0; i < ScreenWidth * ScreenHeight; i++) GlyphLayer[i] = (uint8_t)(i * 7);
    std::vector<uint8_t> before(GlyphLayer, GlyphLayer + ScreenWidth * ScreenHeight);
    uint32_t seen = 0;
    int shown = -1;
    Observer() = [&](uint32_t m) {
        if (m == WM_LBUTTONDOWN) {
            seen = Pixel(TextOriginX + TextFontWidth / 2, TextOriginY + TextFontHeight / 2);
            shown = LookbackShown;
        }
    };
    LookbackColor = 0x20C0F0;
    Event(20, "click 5 5");
    EXPECT_EQ(ShowLookback(), 1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(seen, 0x20C0F0u);
    EXPECT_EQ(memcmp(before.data(), GlyphLayer, before.size()), 0);
}

// Four pictures of one colour each, 20 x 20.
void MakeButtons() {
    const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    for (int i = 0; i < 4; i++) {
        ASSERT_TRUE(CreateSurface(&LookbackButtons[i], 20, 20));
        uint32_t c = colours[i];  // as 0x00bbggrr
        FillSurfaceRect(&LookbackButtons[i], 0, 0, 20, 20, (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
    }
}

TEST_F(Lookback, PictureButtons) {
    MakeButtons();
    Commit(3);
    // The older-page button at the window's top right, the newer-page one
    // at its bottom right (shown from page 2 on).
    int right = TextWindowRight, top = TextWindowTop, bottom = TextWindowBottom;
    std::vector<uint32_t> at_clicks;
    Observer() = [&](uint32_t m) {
        int p = LookbackPageShown();
        if (p && (pages_.empty() || pages_.back() != p)) pages_.push_back(p);
        if (m == WM_LBUTTONDOWN) {
            at_clicks.push_back(Pixel(right - 10, top + 10));
            at_clicks.push_back(Pixel(right - 10, bottom - 10));
        }
    };
    Event(10, "move " + std::to_string(right - 10) + " " + std::to_string(top + 10));
    Event(20, "click " + std::to_string(right - 10) + " " + std::to_string(top + 10));  // older: 2
    Event(40, "move " + std::to_string(right - 10) + " " + std::to_string(bottom - 10));
    Event(50, "click " + std::to_string(right - 10) + " " + std::to_string(bottom - 10));  // newer: 1
    Event(70, "click 5 5");
    EXPECT_EQ(ShowLookback(), 1);
    EXPECT_EQ(pages_, (std::vector<int>{1, 2, 1}));
    ASSERT_EQ(at_clicks.size(), 6u);
    EXPECT_EQ(at_clicks[0], 0xFF0000u);  // older, highlighted
    EXPECT_NE(at_clicks[1], 0x0000FFu);  // no newer button on the newest page
    EXPECT_NE(at_clicks[1], 0xFFFF00u);
    EXPECT_EQ(at_clicks[2], 0x00FF00u);  // older, normal
    EXPECT_EQ(at_clicks[3], 0x0000FFu);  // newer, highlighted
}

TEST_F(Lookback, SpriteButtons) {
    for (int n : {5, 6}) {
        Sprite& s = Sprites[n];
        ASSERT_TRUE(CreateSurface(&s.surface, 40, 20));
        s.surface.cellCount = 2;
        s.x = 600;
        s.y = n == 5 ? 10 : 400;
        s.visible = 0;
        strcpy(s.tag.Edit(), "x");
    }
    LookbackSpMode = 1;
    LookbackUpSprite = 5;
    LookbackDownSprite = 6;
    Commit(2);
    std::vector<int> state;  // visible and cell of both sprites at each click
    Observer() = [&](uint32_t m) {
        int p = LookbackPageShown();
        if (p && (pages_.empty() || pages_.back() != p)) pages_.push_back(p);
        if (m == WM_LBUTTONDOWN)
            for (int n : {5, 6}) {
                state.push_back(Sprites[n].visible);
                state.push_back(Sprites[n].surface.cell);
            }
    };
    Event(10, "move 610 15");
    Event(20, "click 610 15");  // the older-page sprite, hovered: page 2
    Event(40, "click 5 5");
    EXPECT_EQ(ShowLookback(), 1);
    EXPECT_EQ(pages_, (std::vector<int>{1, 2}));
    EXPECT_EQ(state, (std::vector<int>{1, 1, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(Sprites[5].visible, 0);  // both hidden when it closes
    EXPECT_EQ(Sprites[6].visible, 0);
    for (int n : {5, 6}) {
        DestroySurface(&Sprites[n].surface);
        Sprites[n].tag.Edit()[0] = 0;
    }
}

// The layout: a full line wraps, and a break right after the wrap is
// dropped; vertical pages start in the rightmost column and break to the
// left.
TEST_F(Lookback, WrapsAndVerticalColumns) {
    std::string full;
    for (int i = 0; i < TextColumns; i++) full += "■";
    std::string page = Cp932(full + "\n■");
    BacklogAppend(page.c_str(), (int)page.size());
    CommitBacklogPage();
    std::vector<uint32_t> seen;
    int line = TextLineAdvance, half = TextFontWidth / 2;
    Observer() = [&](uint32_t m) {
        if (m != WM_LBUTTONDOWN) return;
        seen.push_back(Pixel(TextOriginX + half, TextOriginY + line + half));
        seen.push_back(Pixel(TextOriginX + half, TextOriginY + 2 * line + half));
    };
    LookbackColor = 0x20C0F0;
    // The click comes once the page is drawn (each character shown takes
    // virtual time).
    Event(100, "click 5 5");
    EXPECT_EQ(ShowLookback(), 1);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], 0x20C0F0u);  // the wrap's line
    EXPECT_NE(seen[1], 0x20C0F0u);  // no empty line after it

    ClearBacklog();
    page = Cp932("■\n■");
    BacklogAppend(page.c_str(), (int)page.size());
    CommitBacklogPage();
    VerticalText = 1;
    seen.clear();
    int right = TextOriginX + (TextColumns - 1) * TextCharAdvance;
    Observer() = [&](uint32_t m) {
        if (m != WM_LBUTTONDOWN) return;
        seen.push_back(Pixel(right + half, TextOriginY + half));
        seen.push_back(Pixel(right - TextCharAdvance + half, TextOriginY + half));
    };
    Event(100, "click 5 5");
    EXPECT_EQ(ShowLookback(), 1);
    VerticalText = 0;
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], 0x20C0F0u);
    EXPECT_EQ(seen[1], 0x20C0F0u);
}

}  // namespace
