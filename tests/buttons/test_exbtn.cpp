// Extended-button strings: what spstr's items do to the sprites (read back
// with getspmode and getsppos, cells from the last frame), the hover string
// of an exbtn button with exbtn_d putting the screen back.  The grammar's
// errors: test_in_process.cpp.
#include <gtest/gtest.h>

#include "tests/buttons/button_fixture.h"

namespace {

const char kSprites[] =
    "lsp 10,\":c/2;cells.bmp\",0,0\nlsp 11,\":c/2;cells.bmp\",20,0\nlsp 12,\":c/2;cells.bmp\",40,0\n"
    "lsph 3,\":c/2;cells.bmp\",60,0\nlsph 21,\":c;one.bmp\",0,40\n";

TEST(ExbtnStrings, ItemsChangeTheSprites) {
    FramedRun r = PlayButtons(
        "",
        std::string("bg white,1\n") + kSprites +
            // C10-12 hides the range, P10,1 shows 10 again with its second cell
            "spstr \"C10-12P10,1\"\n"
            "getspmode %0,10\nif %0 != 1 fail_p_shows\ngetspmode %0,11\nif %0 != 0 fail_c_range\n"
            "getspmode %0,12\nif %0 != 0 fail_c_range_end\n"
            // blanks between items; lower case letters; P without a cell is cell 0
            "spstr \"p3 \tP11\"\ngetspmode %0,3\nif %0 != 1 fail_p_lower\n"
            "getspmode %0,11\nif %0 != 1 fail_p_blank\n"
            // M skips one character of any kind after the sprite and after x
            "spstr \"M21;100/120\"\ngetsppos 21,%1,%2\nif %1 != 100 fail_m_x\nif %2 != 120 fail_m_y\n"
            "getspmode %0,21\nif %0 != 1 fail_m_shows\n"
            // sprites without a picture, and numbers beyond the table, change nothing
            "spstr \"M5,100,200P600C999C900-5000P99999999\"\n"
            "getsppos 5,%1,%2\nif %1 != 0 fail_untagged_moved\ngetspmode %0,5\nif %0 != 0 fail_untagged_shown\n"
            // a string ending right after M's number stops there
            "spstr \"C21M21\"\ngetspmode %0,21\nif %0 != 1 fail_m_at_end\n"
            "getsppos 21,%1,%2\nif %1 != 0 fail_m_at_end_x\nif %2 != 0 fail_m_at_end_y\n"
            "spstr \"M21,100,120\"\n"
            // S: an empty file stops the channel, a file plays once
            "spstr \"S2,()S2,(beep.wav)\"\n"
            "print 1\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(2, 2), kBlue);     // sprite 10 with cell 1
    EXPECT_EQ(r.frame.At(22, 2), kRed);     // sprite 11 with cell 0
    EXPECT_EQ(r.frame.At(42, 2), kWhite);   // sprite 12 hidden
    EXPECT_EQ(r.frame.At(102, 122), kRed);  // sprite 21 moved
}

// Moving onto an extended button runs exbtn_d and then its string; leaving
// every button runs exbtn_d alone.
TEST(ExbtnStrings, HoverAndDefault) {
    FramedRun r = PlayButtons(
        "",
        std::string("bg white,1\n") + kSprites +
            "btndef \"\"\nexbtn_d \"C21\"\nexbtn 10,1,\"P21\"\ncellcheckexbtn 21,2,\"P3\"\n"
            "btntime 1000\nbtnwait2 %0\n"
            "getspmode %0,21\nif %0 != 1 fail_hover_string\n"
            "btnwait2 %0\ngetspmode %0,21\nif %0 != 0 fail_default_on_leave\n"
            "btnwait2 %0\nif %0 != 0 fail_single_cell_not_added\n"
            "btntime -1\nbtnwait2 %0\nif %0 != 1 fail_click\n",
        "100 move 2 2\n"
        "600 move 200 200\n"
        "1900 click 2 42\n"
        "2600 click 2 2\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(2, 2), kBlue);  // the clicked button keeps its hover cell
}

}  // namespace
