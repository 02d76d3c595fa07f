// bsp button sets: the result texts of bexec for clicks, keys, the wheel,
// the time-out that runs across waits, skip mode; the default strings of
// bsp and the looks they leave (the errors: test_in_process.cpp).
#include <gtest/gtest.h>

#include "tests/buttons/button_fixture.h"

namespace {

TEST(BspSets, ResultTexts) {
    struct Case {
        const char* event;
        const char* text;
        int number;
    } cases[] = {
        {"click 105 105", "S12", 12}, {"click 300 200", "LCLICK", -1}, {"rclick 5 5", "RCLICK", -1},
        {"mclick 5 5", "MCLICK", -1}, {"wheel 1", "WHEELUP", -1},      {"wheel -1", "WHEELDOWN", -1},
        {"key q", "Q", -1},           {"key 7", "7", -1},              {"key ctrl", "CTRL", -1},
        {"key f5", "F5", -1},         {"key pageup", "PAGEUP", -1},    {"key pagedown", "PAGEDOWN", -1},
        {"key shift", "SHIFT", -1},   {"key escape", "ESC", -1},       {"key space", "LCLICK", -1},
        {"move 105 105", "", 0},      {"key enter", "S12", 12},
        // Down from no button goes to the first one's centre
        {"move 300 200", "", 0},      {"key down", "", 0},             {"key space", "S12", 12},
    };
    std::string story = "lsp 12,\":c/3;three.bmp\",100,100\nbsp 12\n";
    std::string events;
    int t = 100, n = 0;
    for (const Case& c : cases) {
        events += std::to_string(t) + " " + c.event + "\n";
        t += 100;
        if (!*c.text) continue;  // the move shares the next wait
        std::string k = std::to_string(n++);
        story += std::string("bexec $0,%0\nif $0 != \"") + c.text + "\" fail_text_" + k +
                 "\nif %0 != " + std::to_string(c.number) + " fail_number_" + k + "\n";
    }
    // with bcursor the cursor keys and Space / Return have names
    story += "bcursor\n";
    for (const char* key : {"space", "enter", "up", "down", "left", "right"}) {
        events += std::to_string(t) + " key " + key + "\n";
        t += 200;
        std::string name = std::string(key) == "enter" ? "RETURN" : key;
        for (char& ch : name) ch = (char)toupper(ch);
        story += "bexec $0\nif $0 != \"" + name + "\" fail_cursor_" + key + "\n";
    }
    FramedRun r = PlayButtons("", story, events);
    ExpectQuiet(r.run);
}

// The time-out starts with the first bexec after btime and is not reset:
// the next bexec times out at once.  Skip mode ends a wait and goes off.
TEST(BspSets, TimeoutAcrossWaitsAndSkip) {
    FramedRun r = PlayButtons(
        "",
        "lsp 12,\":c/2;cells.bmp\",100,100\nbsp 12\nbtime 3000\n"
        "resettimer\nbexec $0\ngettimer %1\nif $0 != \"TIMEOUT\" fail_timeout\n"
        "if %1 < 3000 fail_too_soon\nif %1 > 3010 fail_too_late\n"
        "resettimer\nbexec $0\ngettimer %1\nif $0 != \"TIMEOUT\" fail_second\nif %1 > 5 fail_second_waited\n"
        "bclear\nbsp 12\nbexec $0\nif $0 != \"SKIP\" fail_skip\n"
        "bexec $0\nif $0 != \"S12\" fail_after_skip\n",
        "3500 menu 40006\n3600 click 101 101\n");
    ExpectQuiet(r.run);
}

// Default strings: cell 1 on hover, cell 2 on click with three cells; the
// bdef string runs while no button is hovered; bdown takes a held button.
TEST(BspSets, LooksAndDefaults) {
    FramedRun r = PlayButtons(
        "",
        "bg white,1\nlsp 12,\":c/3;three.bmp\",100,100\nlsp 13,\":c/2;cells.bmp\",200,100\n"
        "lsp 14,\":c;one.bmp\",10,10\n"
        "bsp 12\nbsp 13\nbdef \"C14\"\nbdown\n"
        "bexec %0\nif %0 != 13 fail_held_click\n"
        "getspmode %1,14\nif %1 != 0 fail_bdef\n"
        "bexec %0\nif %0 != 12 fail_click\n",
        "100 move 300 200\n200 click 204 104\n300 move 104 104\n400 click 104 104\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(104, 104), kBlue);  // three cells: the click look is cell 2
    EXPECT_EQ(r.frame.At(204, 104), kRed);   // back to its normal cell
}

}  // namespace
