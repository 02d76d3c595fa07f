// The button wait in tiny games driven by events files: what btnwait and
// its relatives return for clicks, keys (each key switch), wheel turns,
// time-outs and the area line; the table's life between waits; the hover
// looks left on the screen.  Each script checks its
// own results and names a failed check as a command that does not exist
// ("fail_...").
#include <gtest/gtest.h>

#include "tests/buttons/button_fixture.h"

namespace {

// One wait per event, 100 ms apart: every key switch on at once.
TEST(ButtonWait, KeySwitchesAndWheel) {
    struct Case {
        const char* event;
        int result;
    } cases[] = {
        {"key pageup", -12}, {"key pagedown", -13}, {"key insert", -50}, {"key z", -51},
        {"key x", -52},      {"key c", -53},        {"key enter", -19},  {"key tab", -20},
        {"key f1", -21},     {"key f12", -32},      {"key up", -40},     {"key right", -41},
        {"key down", -42},   {"key left", -43},     {"key space", -11},  {"key escape", -10},
        {"mclick 5 5", -70}, {"wheel 1", -2},       {"wheel -1", -3},    {"rclick 5 5", -1},
        {"click 300 200", 0}, {"key q", 0},  // q ends nothing: the click after it does
    };
    std::string story =
        "btndef \"\"\nbtn 1,10,10,20,20,0,0\n"
        "getpage\ngetinsert\ngetzxc\ngetenter\ngettab\ngetfunction\ngetcursor\ngetmclick\n";
    std::string events;
    int t = 100, n = 0;
    for (const Case& c : cases) {
        events += std::to_string(t) + " " + c.event + "\n";
        t += 100;
        if (std::string(c.event) == "key q") continue;  // shares the next wait
        story += "btnwait2 %0\nif %0 != " + std::to_string(c.result) + " fail_" + std::to_string(n++) + "\n";
    }
    events += std::to_string(t) + " click 300 200\n";
    story += "btnwait2 %0\nif %0 != 0 fail_after_q\n";
    // the time-out with usewheel is -5, and getbtntimer gives the time-out
    story += "btntime 50\nbtnwait2 %0\nif %0 != -5 fail_timeout\ngetbtntimer %1\nif %1 != 50 fail_timer\n";
    FramedRun r = PlayButtons("usewheel\nuseescspc\n", story, events);
    ExpectQuiet(r.run);
}

// Without the switches the same keys end nothing; Space is a click with
// spclclk; Esc moves the pointer to the escape point while a button is hovered.
TEST(ButtonWait, KeysWithoutTheirSwitches) {
    FramedRun r = PlayButtons(
        "useescspc\n",
        "btndef \"\"\nbtn 1,10,10,20,20,0,0\nbtntime 1000\n"
        "btnwait2 %0\nif %0 != -2 fail_keys_ignored\n"
        "spclclk\nbtntime -1\nbtnwait2 %0\nif %0 != 0 fail_space_click\n"
        "escoutcursor 15,15\nbtnwait2 %0\nif %0 != -10 fail_escape_unhovered\n"
        "btnwait2 %0\nif %0 != 1 fail_escape_point\n"
        "getmousepos %1,%2\nif %1 != 15 fail_escape_x\nif %2 != 15 fail_escape_y\n"
        // Down goes to the next entry's corner, Up from the first wraps to the last
        "btn 2,40,40,20,20,0,0\nbtnwait2 %0\nif %0 != 2 fail_down\n"
        "getmousepos %1,%2\nif %1 != 40 fail_down_x\n"
        "btnwait2 %0\nif %0 != 2 fail_up_wraps\n",
        "100 key pageup\n150 key insert\n200 key z\n250 key tab\n300 key f1\n"
        "1200 key space\n"
        "1300 move 100 100\n1350 key escape\n"
        "1400 move 25 25\n1450 key escape\n1500 key space\n"
        "1600 key down\n1700 key space\n"
        "1800 move 15 15\n1850 key up\n1900 key space\n");
    ExpectQuiet(r.run);
}

TEST(ButtonWait, ClicksMasksAndTheTable) {
    FramedRun r = PlayButtons(
        "",
        "lsp 10,\":c/2;cells.bmp\",100,100\n"
        "btndef \"pic.bmp\"\nbtn 1,10,10,20,20,0,0\nbtn 2,20,20,20,20,0,0\nspbtn 10,3\n"
        "btnwait2 %0\nif %0 != 2 fail_overlap_later_wins\n"
        "btnwait2 %0\nif %0 != 0 fail_empty_screen\n"
        "btnwait2 %0\nif %0 != 3 fail_sprite_button\n"
        "btnwait2 %0\nif %0 != 3 fail_sprite_right_edge\n"  // 107,107 is inside: inclusive
        "maskbtn 2\nbtnwait2 %0\nif %0 != 0 fail_mask_dead\n"
        "btnwait2 %0\nif %0 != 3 fail_mask_live\n"
        "maskbtn -1\ndelbtn 1\nbtnwait2 %0\nif %0 != 0 fail_delbtn\n"
        "btncancel 1\nbtnwait2 %0\nif %0 != 0 fail_btncancel\n"
        "btncancel 100\nbtn 5,10,10,20,20,0,0\nbtnwait %0\nif %0 != 5 fail_btnwait\n"
        "btnwait2 %0\nif %0 != 0 fail_btnwait_emptied\n"
        "btn 6,10,10,20,20,0,0\nbtntime 0\nbtnwait2 %0\nif %0 != -2 fail_btntime0\n"
        "getbtntimer %1\nif %1 != 0 fail_timer0\n"
        "btndef clear\nbtn 7,10,10,20,20,0,0\nbtnwait2 %0\nif %0 != 7 fail_clear_resets_timeout\n",
        "100 click 25 25\n200 click 300 5\n300 click 104 104\n400 click 107 107\n"
        "500 click 15 15\n600 click 104 104\n700 click 12 12\n800 click 104 104\n"
        "900 click 15 15\n1000 click 15 15\n1100 click 15 15\n");
    ExpectQuiet(r.run);
}

// A click event posts the press and the release at once, and the wait
// takes one message a pass: with btndown the press alone already counts,
// and isdown right after still sees the button down.
TEST(ButtonWait, AreaLineMouseOverAndHeldButton) {
    FramedRun r = PlayButtons(
        "",
        "btndef \"\"\nbtn 5,10,10,20,20,0,0\nbtn 9,100,100,20,20,0,0\n"
        "btnarea 100\nbtnwait2 %0\nif %0 != -4 fail_area_above\n"
        "btnarea -200\nbtnwait2 %0\nif %0 != -4 fail_area_below\n"
        "btnarea 0\ngetmouseover 5,6\nbtnwait2 %0\nif %0 != 9 fail_outside_range_needs_click\n"
        "btnwait2 %0\nif %0 != 5 fail_mouseover\n"
        "getmouseover -1,-1\nbtndown 1\nbtnwait2 %0\nif %0 != 9 fail_held\n"
        "isdown %2\nif %2 != 1 fail_isdown\n"
        "btndown 0\nbtnwait2 %0\nif %0 != 0 fail_click_outside\n"
        "isdown %2\nif %2 != 0 fail_isdown_up\n",
        "100 move 150 101\n150 move 150 99\n"
        "200 move 150 200\n250 move 150 201\n"
        "300 move 105 105\n350 click 105 105\n"
        "400 move 15 15\n"
        "500 click 105 105\n"
        "600 click 300 200\n");
    ExpectQuiet(r.run);
}

// Skip mode with getskipoff returns -60 at once; the text-mode waits end
// with 0 in skip mode.
TEST(ButtonWait, SkipModeResults) {
    FramedRun r = PlayButtons(
        "",
        "btndef \"\"\nbtn 1,10,10,20,20,0,0\n"
        "getskipoff\nbtnwait2 %0\nif %0 != -60 fail_skipoff\n",
        "50 key n\n");  // 'n' switches skip mode on
    ExpectQuiet(r.run);
}

// Hovering a sprite button shows its second cell; an area button shows the
// button picture's rectangle; the wait leaves the hover look on the screen.
TEST(ButtonWait, HoverLooks) {
    FramedRun r = PlayButtons(
        "",
        "bg white,1\nlsp 10,\":c/2;cells.bmp\",100,100\nlsp 11,\":c;one.bmp\",200,100\nprint 1\n"
        "btndef \"pic.bmp\"\nbtn 1,10,10,20,20,0,0\nspbtn 10,3\nspbtn 11,4\n"
        "btntime 1500\nbtnwait2 %0\nif %0 != -2 fail_timeout\n",
        "100 move 15 15\n150 move 104 104\n200 move 204 104\n250 move 104 104\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(104, 104), kBlue);  // cell 1 of the hovered sprite
    EXPECT_EQ(r.frame.At(204, 104), kRed);   // a single-cell sprite stays as it is
    EXPECT_EQ(r.frame.At(15, 15), kWhite);   // the area button went back to its plain look

    r = PlayButtons("", "bg white,1\nprint 1\nbtndef \"pic.bmp\"\nbtn 1,10,10,20,20,0,0\n"
                        "btntime 1200\nbtnwait2 %0\n",
                    "100 move 15 15\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(15, 15), kGreen);
    EXPECT_EQ(r.frame.At(29, 29), kGreen);
    EXPECT_EQ(r.frame.At(30, 30), kWhite);
}

TEST(ButtonWait, TransparentPixelsWithTransbtn) {
    FramedRun r = PlayButtons(
        "",
        "lsp 10,\":l;keyed.bmp\",100,100\nbtndef \"\"\nspbtn 10,3\n"
        "btnwait2 %0\nif %0 != 3 fail_plain_hit\n"
        "transbtn\nbtnwait2 %0\nif %0 != 0 fail_transparent\n"
        "btnwait2 %0\nif %0 != 3 fail_opaque\n",
        "100 click 101 101\n200 click 101 101\n300 click 106 101\n");
    ExpectQuiet(r.run);
}

// Text buttons of the page take part: numbered from their own number on,
// their textexbtn string runs on hover, tbtnwait forgets them.
TEST(ButtonWait, TextButtons) {
    FramedRun r = PlayButtons(
        "",
        "lsph 1,\":c;one.bmp\",200,200\nbtndef \"\"\n"
        "<5あい>う<7え>\n"
        "textexbtn 5,\"P1\"\n"
        "btntime 1000\ntextbtnwait %0\nif %0 != -2 fail_hover_timeout\n"
        "getspmode %1,1\nif %1 != 1 fail_textexbtn\n"
        "btntime -1\ntextbtnwait %0\nif %0 != 5 fail_first\n"
        "selectbtnwait %0\nif %0 != 7 fail_second\n"
        "tbtnwait %0\nif %0 != 0 fail_tbtnwait\n"
        "btnwait2 %0\nif %0 != 0 fail_forgotten\n",
        "100 move 40 30\n"
        "1000 click 40 30\n1100 click 110 30\n1200 click 40 30\n");
    ExpectQuiet(r.run);
}

// btntime2 and btime's second operand wait for the voice to end too.
TEST(ButtonWait, TimeoutsWaitForTheVoice) {
    FramedRun r = PlayButtons(
        "",
        "btndef \"\"\ndwave 0,\"second.wav\"\nresettimer\nbtntime2 100\nbtnwait2 %0\ngettimer %1\n"
        "if %0 != -2 fail_result\nif %1 < 1000 fail_voice_not_waited\nif %1 > 1010 fail_too_late\n"
        "getbtntimer %2\nif %2 != 100 fail_btntimer\n"
        "dwave 0,\"second.wav\"\nresettimer\nbtntime 100\nbtnwait2 %0\ngettimer %1\n"
        "if %1 > 110 fail_btntime_waited\n"
        "dwave 0,\"second.wav\"\nresettimer\nbtime 100,1\nbexec $0\ngettimer %1\n"
        "if $0 != \"TIMEOUT\" fail_bexec\nif %1 < 1000 fail_bexec_voice\n");
    ExpectQuiet(r.run);
}

// A saved game keeps the button picture's tag and loads the picture again.
TEST(ButtonWait, SavedGameKeepsTheButtonPicture) {
    FramedRun r = PlayButtons(
        "",
        "bg white,1\nbtndef \"pic.bmp\"\nsavegame 1\n"
        "if %300 = 1 goto *check\nmov %300,1\nbtndef \"\"\nloadgame 1\n"
        "*check\nblt 0,0,10,10,0,0\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(5, 5), kGreen);
}

// The variable's range is tested after the wait (the other fatal texts:
// test_in_process.cpp).
TEST(ButtonWait, RangeErrorAfterTheWait) {
    FramedRun r = PlayButtons("", "btntime 0\nbtnwait %99999\n");
    EXPECT_EQ(r.run.status, 1);
    EXPECT_EQ(FirstBox(r.run), "エラー: 変数番号が範囲外をさしています。");
}

}  // namespace
