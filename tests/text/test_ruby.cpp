// Ruby in whole games: the define block's ruby settings kept through the
// reset to *start, compared frame by frame.
#include <gtest/gtest.h>

#include <string>

#include "tests/graphics/compose_fixture.h"
#include "tests/support/game_folder.h"

namespace {

Frame LastFrame(const std::string& script) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    FramedRun r = RunFramed(dir, RunOptions());
    EXPECT_EQ(r.run.status, 0) << script << "\n" << r.run.err;
    for (const std::string& b : r.run.boxes) ADD_FAILURE() << b << "\n" << script;
    return r.frame;
}

// rubyon, rubyon2 and the ruby size belong to the define block: a game
// that sets them there shows its text as one that sets them after *start
// does, and unlike one without them.
TEST(RubyGames, DefineSettingsSurviveTheResetToStart) {
    const std::string text = "textspeed 0\n(漢/かんじ)字/\n(字/じ)/\n";
    struct Case {
        std::string setting;
    } cases[] = {{"rubyon"}, {"rubyon 10,10"}, {"rubyon2"}, {"rubyon2 8,12"}};
    Frame without = LastFrame("*define\ngame\n*start\n" + text + "end\n");
    for (const Case& c : cases) {
        Frame in_define = LastFrame("*define\n" + c.setting + "\ngame\n*start\n" + text + "end\n");
        Frame in_story = LastFrame("*define\ngame\n*start\n" + c.setting + "\n" + text + "end\n");
        ASSERT_FALSE(in_story.bmp.empty()) << c.setting;
        EXPECT_TRUE(in_define.bmp == in_story.bmp) << c.setting;
        EXPECT_FALSE(in_define.bmp == without.bmp) << c.setting;
    }
    // rubyoff in the define block stays off as well.
    Frame off = LastFrame("*define\nrubyon\nrubyoff\ngame\n*start\n" + text + "end\n");
    EXPECT_TRUE(off.bmp == without.bmp);
}

}  // namespace
