// The input commands and the input state as games see them: tiny game
// folders played headless with an events file check themselves (a failed
// check runs a command named fail_...), plus every error text of the input
// commands, the closing question, and the cursor pictures in-process.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "text/pass_defaults.h"
#include "ui/cursor_file.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"

namespace {

// The story starts some virtual ms after the start-up; events for it are
// timed in windows of a second: each `wait 1000` of a story ends one, the
// first after about 1550 ms.  Events at 1800 + k * 1000 ms (and a little
// later) fall into the story's k-th wait.
RunResult Play(const std::string& story, const std::string& events = "",
               const std::string& define = "") {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\n" + define + "game\n*start\nwait 1000\n" + story);
    RunOptions opt;
    opt.events = events;
    opt.max_ms = 60000;
    return RunGame(dir, opt);
}

void ExpectQuietEnd(const RunResult& r) {
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

TEST(InputGames, PointerAndKeysFromTheEventsFile) {
    ExpectQuietEnd(Play(
        "wait 1000\n"
        "getmousepos %0,%1\nif %0 != 12 fail_x\nif %1 != 34 fail_y\n"
        "isctrl %2\nif %2 != 1 fail_isctrl\n"
        "checkkey %3,\"ctrl\"\nif %3 != 1 fail_ctrl\n"
        "checkkey %4,\"a\"\nif %4 != 1 fail_a\n"
        "checkkey %4,\"A\"\nif %4 != 1 fail_upper_a\n"
        "checkkey %4,\"b\"\nif %4 != 0 fail_b\n"
        "checkkey %4,\"f1\"\nif %4 != 1 fail_f1\n"
        "checkkey %4,\"Enter\"\nif %4 != 1 fail_enter\n"
        "checkkey %4,\"return\"\nif %4 != 1 fail_return\n"
        "mov %4,5\ncheckkey %4,\"nosuchkey\"\nif %4 != 0 fail_unknown_name\n"
        "mov %4,5\ncheckkey %4,\"\"\nif %4 != 0 fail_empty_name\n"
        "wait 1000\n"
        "isctrl %2\nif %2 != 0 fail_ctrl_released\n"
        "getmousepos %0,%1\nif %0 != -5 fail_negative_x\nif %1 != 900 fail_beyond_y\n"
        "end\n",
        "1800 move 12 34\n1810 keydown ctrl\n1820 keydown a\n1830 keydown f1\n1840 keydown enter\n"
        "2800 keyup ctrl\n2810 move -5 900\n"));
}

TEST(InputGames, SkipModeTheSwallowedClickAndSkipoff) {
    ExpectQuietEnd(Play(
        "isskip %0\nif %0 != 0 fail_start\n"
        "wait 1000\n"  // 'n' typed: skip mode
        "isskip %0\nif %0 != 1 fail_skip_on\n"
        "resettimer\ndelay 5000\ngettimer %1\nif %1 > 10 fail_delay_in_skip_mode\n"
        "wait 1000\n"  // the click only ends skip mode
        "isskip %0\nif %0 != 0 fail_skip_swallowed\n"
        "wait 1000\n"  // a click that counts ends a delay
        "resettimer\ndelay 5000\ngettimer %1\nif %1 > 1000 fail_click_did_not_end_delay\n"
        "skipoff\nisskip %0\nif %0 != 0 fail_skipoff\n"
        "end\n",
        "1800 key n\n2800 click 3 3\n4800 click 3 3\n"));
}

// The Enter release ends the wait (the Enter rule of timed waits) before
// the command Alt+Enter posted is taken: the next wait carries it out.
TEST(InputGames, AltEnterSwitchesFullScreenBothWays) {
    ExpectQuietEnd(Play(
        "isfull %0\nif %0 != 0 fail_start\n"
        "wait 1000\nwait 100\nisfull %0\nif %0 != 1 fail_full\n"
        "wait 1000\nwait 100\nisfull %0\nif %0 != 0 fail_window\n"
        "end\n",
        "1800 keydown alt\n1801 key enter\n1802 keyup alt\n"
        "2500 keydown alt\n2501 key enter\n2502 keyup alt\n"));
}

TEST(InputGames, GetjoypadGivesTenZerosAndSettingsCommandsRun) {
    ExpectQuietEnd(Play(
        "for %0=10 to 19\nmov %%0,5\nnext\n"
        "getjoypad %10,%11,%12,%13,%14,%15,%16,%17,%18,%9+10\n"
        "for %0=10 to 19\nif %%0 != 0 fail_joypad\nnext\n"
        "caption \"t\"\nmousemode 0\nmousemode 1\nmovemousecursor 3,4\n"
        "getmousepos %0,%1\nif %0 != 3 fail_moved_x\nif %1 != 4 fail_moved_y\n"
        "autoclick 500\nautoclick 0\nclickclear\nminimizewindow\nmousecursor off\n"
        "end\n",
        "", "usewheel\nuseescspc\nctrlalt\n"));
}

TEST(InputGames, CloseAnsweredNoThenYes) {
    RunResult r = Play("wait 1000\nmov %0,1\nwait 1000\nfail_still_open\n",
                       "1790 answer no\n1800 close\n2800 close\n");
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.boxes.size(), 2u) << r.err;
    EXPECT_EQ(r.boxes[0], "終了確認: 終了しますか？");
    EXPECT_EQ(r.boxes[1], "終了確認: 終了しますか？");
}

TEST(InputGames, ErrorTexts) {
    struct Case {
        const char* statement;
        const char* box;
    } cases[] = {
        {"isfull 5", "構文エラー: isfullの引数は数字変数です。"},
        {"isctrl $0", "構文エラー: isctrlの引数は数字変数です。"},
        {"isskip 0", "構文エラー: isskipの引数は数字変数です。"},
        {"isskip %99999", "エラー: 変数番号が範囲外をさしています。"},
        {"getmousepos 1,%1", "構文エラー: getmouseposの第一引数は数字変数です。"},
        {"getmousepos %1,2", "構文エラー: getmouseposの第ニ引数は数字変数です。"},
        {"checkkey 1,\"a\"", "構文エラー: checkkeyの第一引数は数字変数です。"},
        {"mousecursor ok", "エラー: mousecursorのパラメータは、offかファイル名です。"},
        {"mousecursor \"none.cur\"", "エラー: カーソルファイルが見つかりません。"},
        {"getjoypad %0,%1,%2,%3,%4,%5,%6,%7,%8,%99999", "エラー: 変数番号が範囲外をさしています。"},
    };
    auto first_line = [](const RunResult& r) {
        return r.boxes.empty() ? "<no box> " + r.err : r.boxes[0].substr(0, r.boxes[0].find("\\n"));
    };
    for (const Case& c : cases) EXPECT_EQ(first_line(Play(std::string(c.statement) + "\n")), c.box) << c.statement;
    // getjoypad names the operand that lacks its '%'.
    const char* ordinals[] = {"一", "ニ", "三", "四", "五", "六", "七", "八", "九", "十"};
    for (int bad = 0; bad < 10; bad++) {
        std::string s = "getjoypad ";
        for (int i = 0; i < 10; i++) s += std::string(i ? "," : "") + (i == bad ? "" : "%") + std::to_string(i);
        EXPECT_EQ(first_line(Play(s + "\n")),
                  std::string("構文エラー: getjoypadの第") + ordinals[bad] + "引数は数字変数です。")
            << s;
    }
}

// ---- cursor pictures ---------------------------------------------------------------------

void Put16(std::string* s, uint32_t v) {
    s->push_back((char)(v & 255));
    s->push_back((char)(v >> 8));
}
void Put32(std::string* s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A one-image .cur: w x h at `bits` (1 or 32), the hot spot, pixel (x, y)
// from f as ARGB (alpha 0 = transparent; in 1-bit pictures non-black is
// white).
template <class F>
std::string MakeCur(int w, int h, int bits, int hx, int hy, F f) {
    size_t xor_stride = ((size_t)w * bits + 31) / 32 * 4, and_stride = ((size_t)w + 31) / 32 * 4;
    std::string img;
    Put32(&img, 40);
    Put32(&img, (uint32_t)w);
    Put32(&img, (uint32_t)h * 2);
    Put16(&img, 1);
    Put16(&img, (uint32_t)bits);
    for (int i = 0; i < 6; i++) Put32(&img, 0);
    if (bits == 1) {
        Put32(&img, 0x000000);
        Put32(&img, 0xFFFFFF);
    }
    std::string xr(xor_stride * h, '\0'), an(and_stride * h, '\0');
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint32_t c = f(x, y);
            size_t row = (size_t)(h - 1 - y);
            if (bits == 32) memcpy(&xr[row * xor_stride + x * 4], &c, 4);
            else if (c & 0xFFFFFF) xr[row * xor_stride + x / 8] |= (char)(0x80 >> (x % 8));
            if (bits == 1 && (c >> 24) == 0) an[row * and_stride + x / 8] |= (char)(0x80 >> (x % 8));
        }
    img += xr + an;
    std::string cur;
    Put16(&cur, 0);
    Put16(&cur, 2);
    Put16(&cur, 1);
    cur.push_back((char)w);
    cur.push_back((char)h);
    cur.push_back(0);
    cur.push_back(0);
    Put16(&cur, (uint32_t)hx);
    Put16(&cur, (uint32_t)hy);
    Put32(&cur, (uint32_t)img.size());
    Put32(&cur, 22);
    return cur + img;
}

std::string Chunk(const std::string& id, const std::string& body) {
    std::string c = id;
    Put32(&c, (uint32_t)body.size());
    c += body;
    if (body.size() & 1) c.push_back('\0');
    return c;
}

std::string MakeAni(const std::vector<std::string>& frames) {
    std::string anih(36, '\0');
    std::string list = "fram";
    for (const std::string& f : frames) list += Chunk("icon", f);
    std::string body = "ACON" + Chunk("anih", anih) + Chunk("LIST", list);
    return Chunk("RIFF", body);
}

bool Decode(const std::string& bytes, CursorPicture* pic) {
    return DecodeCursorFile((const uint8_t*)bytes.data(), bytes.size(), pic);
}

TEST(CursorFile, OneBitAndThirtyTwoBitPicturesWithTheirHotSpots) {
    auto mono = [](int x, int y) -> uint32_t { return x == y ? 0xFFFFFFFF : x < y ? 0xFF000000 : 0; };
    CursorPicture pic;
    ASSERT_TRUE(Decode(MakeCur(32, 32, 1, 3, 4, mono), &pic));
    EXPECT_EQ(pic.width, 32);
    EXPECT_EQ(pic.height, 32);
    EXPECT_EQ(pic.hot_x, 3);
    EXPECT_EQ(pic.hot_y, 4);
    EXPECT_EQ(pic.argb[5 * 32 + 5], 0xFFFFFFFFu);  // white on the diagonal
    EXPECT_EQ(pic.argb[6 * 32 + 2], 0xFF000000u);  // black below it
    EXPECT_EQ(pic.argb[2 * 32 + 6] >> 24, 0u);     // transparent above
    auto colour = [](int x, int y) -> uint32_t { return (uint32_t)(x * 8) << 24 | 0x102030u | (uint32_t)y; };
    ASSERT_TRUE(Decode(MakeCur(16, 8, 32, 15, 7, colour), &pic));
    EXPECT_EQ(pic.width, 16);
    EXPECT_EQ(pic.height, 8);
    EXPECT_EQ(pic.argb[3 * 16 + 2], colour(2, 3));  // alpha from the picture
    EXPECT_EQ(pic.hot_x, 15);
}

TEST(CursorFile, AniTakesItsFirstFrame) {
    auto red = [](int, int) -> uint32_t { return 0xFFFF0000; };
    auto blue = [](int, int) -> uint32_t { return 0xFF0000FF; };
    CursorPicture pic;
    ASSERT_TRUE(Decode(MakeAni({MakeCur(8, 8, 32, 1, 2, red), MakeCur(8, 8, 32, 0, 0, blue)}), &pic));
    EXPECT_EQ(pic.argb[0], 0xFFFF0000u);
    EXPECT_EQ(pic.hot_y, 2);
}

TEST(CursorFile, DamagedFilesAreRefusedWithoutReadingPastThem) {
    auto grey = [](int, int) -> uint32_t { return 0xFF808080; };
    for (const std::string& good : {MakeCur(32, 32, 1, 0, 0, grey), MakeAni({MakeCur(8, 8, 32, 0, 0, grey)})}) {
        CursorPicture pic;
        ASSERT_TRUE(Decode(good, &pic));
        for (size_t n = 0; n < good.size(); n++) {
            std::vector<uint8_t> cut(good.begin(), good.begin() + (long)n);  // exactly n bytes
            EXPECT_FALSE(DecodeCursorFile(cut.data(), cut.size(), &pic)) << n;
        }
    }
    CursorPicture pic;
    EXPECT_FALSE(Decode("not a cursor at all", &pic));
    std::string huge = MakeCur(8, 8, 32, 0, 0, grey);
    huge[22 + 4] = (char)0xFF;  // width 255 + 0x100 * ...: beyond the limit
    huge[22 + 5] = 0x7F;
    EXPECT_FALSE(Decode(huge, &pic));
}

// mousecursor in-process: the picture reaches the platform with its hot
// spot, the pointer shows it, and off (or a new start-up pass) brings the
// arrow back.
TEST(CursorCommand, LoadsAPictureAndTurnsItOff) {
    StartHeadlessForTests();
    std::string dir = MakeGameFolder();
    std::string old = PlatGameDir();
    ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    WriteGameFile(dir, "Hand.CUR", MakeCur(32, 32, 1, 5, 6, [](int, int) -> uint32_t { return 0xFFFFFFFF; }));
    WriteGameFile(dir, "bad.cur", "nothing");
    std::string text;
    auto run = [&](const std::string& statement) {
        UseScriptText(&text, statement);
        char word[WordBufferSize];
        ReadWord(word);
        ExecCommand(word, 0);
        ForgetScriptText();
    };
    run("mousecursor \"hand.cur\"");
    EXPECT_EQ(CustomCursorSet, 1);
    EXPECT_EQ(HeadlessWindow().cursor_w, 32);
    EXPECT_EQ(HeadlessWindow().cursor_hot_x, 5);
    EXPECT_EQ(HeadlessWindow().cursor_hot_y, 6);
    EXPECT_TRUE(HeadlessWindow().custom_cursor_used);
    run("mousecursor off");
    EXPECT_EQ(CustomCursorSet, 0);
    EXPECT_FALSE(HeadlessWindow().custom_cursor_used);
    EXPECT_EQ(HeadlessWindow().cursor_w, 0);
    run("mousecursor \"bad.cur\"");  // no cursor picture: the arrow stays
    EXPECT_EQ(CustomCursorSet, 0);
    run("mousemode 0");
    EXPECT_FALSE(HeadlessWindow().cursor_shown);
    EXPECT_EQ(MouseCursorHidden, 1);
    run("mousemode 1");
    EXPECT_TRUE(HeadlessWindow().cursor_shown);
    EXPECT_EQ(MouseCursorHidden, 0);
    // A new start-up pass shows the standard arrow whatever the story left.
    run("mousecursor \"hand.cur\"");
    run("mousemode 0");
    SetTextLoadDefaults();
    SetArrowCursor();
    EXPECT_EQ(MouseCursorHidden, 0);
    EXPECT_TRUE(HeadlessWindow().cursor_shown);
    EXPECT_EQ(CustomCursorSet, 0);
    EXPECT_FALSE(HeadlessWindow().custom_cursor_used);
    PlatSetGameDir(old.c_str());
}

}  // namespace
