// The sprite, rotated-sprite and standing-picture commands in tiny games:
// the tables as the query commands read them back (the script names a failed
// check as a command that does not exist, "fail_..."), the pictures they
// leave on the screen, and every error text with the range checks that keep
// the tables' bounds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/graphics/compose_fixture.h"

namespace {

const std::vector<std::pair<std::string, std::string>> kPictures = {
    {"red.bmp", SolidBmp(8, 8, kRed)},
    {"green.bmp", SolidBmp(8, 6, kGreen)},
    // two cells of 4 x 4, the colour half and the mask half of an alpha picture
    {"cells.bmp", Bmp24(8, 4, [](int x, int) { return x < 4 ? kRed : kBlue; })},
    {"alpha.bmp", Bmp24(8, 4, [](int x, int) { return x < 4 ? kGreen : kBlack; })},
};

void ExpectQuietGame(const std::string& story) {
    FramedRun r = PlayFramed(";mode320\n*define\ngame\n*start\n" + story + "end\n", kPictures);
    ExpectQuiet(r.run);
}

TEST(SpriteCommands, TablesReadBack) {
    ExpectQuietGame(
        "lsp 5,\":c;red.bmp\",10,20\n"
        "getsppos 5,%0,%1\nif %0 != 10 fail_x\nif %1 != 20 fail_y\n"
        "getspsize 5,%2,%3,%4\nif %2 != 8 fail_w\nif %3 != 8 fail_h\nif %4 != 1 fail_cells\n"
        "getspmode %5,5\nif %5 != 1 fail_shown\n"
        "msp 5,3,-4\ngetsppos 5,%0,%1\nif %0 != 13 fail_msp_x\nif %1 != 16 fail_msp_y\n"
        "amsp 5,1,2\ngetsppos 5,%0,%1\nif %0 != 1 fail_amsp_x\nif %1 != 2 fail_amsp_y\n"
        // csp keeps the position and the shown flag; csp -1 moves every cleared sprite away
        "csp 5\ngetsppos 5,%0,%1\nif %0 != 1 fail_csp_keeps\ngetspmode %5,5\nif %5 != 1 fail_csp_flag\n"
        "lsph 6,\"red.bmp\",1,1\ngetspmode %5,6\nif %5 != 0 fail_lsph\n"
        "csp -1\ngetsppos 6,%0,%1\nif %0 != -1000 fail_csp_all\n"
        "getsppos 5,%0,%1\nif %0 != 1 fail_csp_all_free\n"
        // cells and the alpha picture's halved width
        "lsp 7,\":c/2;cells.bmp\",0,0\ngetspsize 7,%2,%3,%4\nif %2 != 4 fail_cell_w\nif %4 != 2 fail_cell_n\n"
        "lsp 8,\":a;alpha.bmp\",0,0\ngetspsize 8,%2,%3\nif %2 != 4 fail_alpha_w\n"
        // vsp on a free sprite changes nothing
        "vsp 9,1\ngetspmode %5,9\nif %5 != 0 fail_vsp_free\n"
        "vsp 8,0\ngetspmode %5,8\nif %5 != 0 fail_vsp\n");
}

TEST(SpriteCommands, StandingPicturesAndSettings) {
    // 320 x 240: centres 80, 160, 240 and the baseline 240 unless moved.
    FramedRun r = PlayFramed(
        ";mode320\n*define\ngame\n*start\nbg white,1\n"
        "ld l,\":c;red.bmp\",1\n"     // left: x 76..83, y 232..239
        "humanpos 40,100,200\nunderline 100\n"
        "ld c,\":c;green.bmp\",1\n"   // centre: x 96..103, y 94..99
        "ld x,\":c;red.bmp\",1\n"     // no slot: loads nothing
        "ld r,\":c;red.bmp\",1\ncl r,1\n"
        "end\n",
        kPictures);
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(76, 232), kRed);
    EXPECT_EQ(r.frame.At(83, 239), kRed);
    EXPECT_EQ(r.frame.At(75, 239), kWhite);
    EXPECT_EQ(r.frame.At(96, 94), kGreen);
    EXPECT_EQ(r.frame.At(103, 99), kGreen);
    EXPECT_EQ(r.frame.At(95, 94), kWhite);
    EXPECT_EQ(r.frame.At(196, 92), kWhite);  // the right picture was cleared

    r = PlayFramed(
        ";mode320\n*define\ngame\n*start\nbg white,1\n"
        "ld l,\":c;red.bmp\",1\nld c,\":c;red.bmp\",1\nld r,\":c;red.bmp\",1\ncl a,1\nend\n",
        kPictures);
    ExpectQuiet(r.run);
    for (int x : {80, 160, 240}) EXPECT_EQ(r.frame.At(x, 235), kWhite) << x;
}

TEST(SpriteCommands, AlphaArithmetic) {
    // Red over white: red stays 255, blue and green are 255 - alpha.
    struct Case {
        const char* name;
        const char* story;
        uint8_t rest;  // blue and green of the sprite's pixel
        int x = 0, y = 0;
    } cases[] = {
        {"lsp alpha", "lsp 1,\":c;red.bmp\",0,0,128\n", 127},
        {"lsp alpha beyond 255 draws opaque", "lsp 1,\":c;red.bmp\",0,0,1000\n", 0},
        {"lsp alpha below -1 draws nothing", "lsp 1,\":c;red.bmp\",0,0,-50\n", 255},
        {"msp: -1 counts as 255", "lsp 1,\":c;red.bmp\",0,0\nmsp 1,0,0,-55\n", 55},
        {"msp clamps", "lsp 1,\":c;red.bmp\",0,0,10\nmsp 1,0,0,-55\n", 255},
        {"amsp clamps", "lsp 1,\":c;red.bmp\",0,0\namsp 1,0,0,300\n", 0},
        {"same tag keeps the alpha", "lsp 1,\":c;red.bmp\",5,5,100\nlsp 1,\":c;red.bmp\",0,0\n", 155},
        {"tal clamps", "ld l,\":c;red.bmp\",1\ntal l,-20,1\n", 255, 80, 235},
        {"tal", "ld l,\":c;red.bmp\",1\ntal l,100,1\n", 155, 80, 235},
    };
    for (const Case& c : cases) {
        FramedRun r = PlayFramed(std::string(";mode320\n*define\ngame\n*start\nbg white,1\n") +
                                     c.story + "print 1\nend\n",
                                 kPictures);
        ExpectQuiet(r.run);
        EXPECT_EQ(r.frame.At(c.x, c.y), (Bgr{c.rest, c.rest, 255})) << c.name;
    }
}

TEST(SpriteCommands, RotatedSprites) {
    // A rotated sprite of 8 x 8 at its centre; rotation normalised once.
    FramedRun r = PlayFramed(
        ";mode320\n*define\ngame\n*start\nbg white,1\n"
        "lsp2 9,\":c;red.bmp\",150,150,100,100,0\ncsp2 -1\n"
        "lsp2 3,\":c;red.bmp\",50,50,100,100,0\n"
        "amsp2 3,100,100,100,100,725\n"  // 365: 5 degrees
        "msp2 3,0,0,0,0,-10\n"           // 355
        "amsp2 3,100,100,200,200,0\n"
        "lsp2 4,\":c;red.bmp\",20,20,100,100,0\nvsp2 4,0\n"
        "lsph2 5,\":c;red.bmp\",200,20,100,100,0\n"
        "lsp2add 6,\":c;green.bmp\",200,200,100,100,0\n"
        "print 1\nend\n",
        kPictures);
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(100, 100), kRed);
    EXPECT_EQ(r.frame.At(93, 93), kRed);   // 16 x 16 at 200 %
    EXPECT_EQ(r.frame.At(50, 50), kWhite);
    EXPECT_EQ(r.frame.At(20, 20), kWhite);
    EXPECT_EQ(r.frame.At(150, 150), kWhite);
    EXPECT_EQ(r.frame.At(200, 20), kWhite);
    EXPECT_EQ(r.frame.At(200, 200), kWhite);  // green added to white stays white
}

// Each rotated draw writes "start!" and the kind of drawing for a debugger:
// to standard error only when ORVA_DEBUG_OUTPUT asks for it.
TEST(SpriteCommands, RotatedDrawsTellADebuggerWhenAsked) {
    const std::string script =
        ";mode320\n*define\ngame\n*start\nlsp2 1,\":c;red.bmp\",50,50,100,100,30\n"
        "lsp2add 2,\":a;alpha.bmp\",100,50,100,100,30\nprint 1\nend\n";
    struct Case {
        const char* value;  // null: not set
        bool asked;
    } cases[] = {{"1", true}, {"yes", true}, {"0", false}, {"", false}, {nullptr, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(not set)");
        if (c.value) setenv("ORVA_DEBUG_OUTPUT", c.value, 1);
        FramedRun r = PlayFramed(script, kPictures);
        unsetenv("ORVA_DEBUG_OUTPUT");
        ExpectQuiet(r.run);
        if (c.asked) {
            EXPECT_NE(r.run.err.find("start!\nop=COPY\n"), std::string::npos) << r.run.err;
            EXPECT_NE(r.run.err.find("start!\nop=alpha add=1\n"), std::string::npos) << r.run.err;
        } else {
            EXPECT_EQ(r.run.err.find("start!"), std::string::npos) << r.run.err;
        }
    }
}

TEST(SpriteCommands, ExtremeValuesAreHarmless) {
    // Huge positions, scales and moves: the dirty areas saturate, moves wrap.
    ExpectQuietGame(
        "lsp2 1,\":c;red.bmp\",30,20,2147483647,2147483647,725\n"
        "msp2 1,2147483647,2147483647,1,1,-2000\n"
        "lsp 2,\":c;red.bmp\",2147483647,-2147483647\nmsp 2,2147483647,-5\n"
        "print 1\n");
}

TEST(SpriteCommands, ErrorTexts) {
    struct Case {
        const char* define;
        const char* story;
        const char* box;
    } cases[] = {
        {"", "msp 3,1,1", "エラー: 定義されていないスプライト3を使おうとしました。"},
        {"", "amsp 4,1,1", "エラー: 定義されていないスプライト4を使おうとしました。"},
        {"", "msp2 7,1,1,1,1,1", "エラー: 定義されていないスプライト２7を使おうとしました。"},
        {"humanz 1000\n", "", "エラー: humanz指定が範囲外です。"},
        {"humanz -1\nhumanz -2\n", "", "エラー: humanz指定が範囲外です。"},
        {"", "getspmode 1,1", "構文エラー: getspmodeの第一引数は数字変数です。"},
        {"", "getsppos 0,1,%1", "構文エラー: getspposの第二引数は数字変数です。"},
        {"", "getsppos 0,%1,5", "構文エラー: getspposの第三引数は数字変数です。"},
        {"", "getspsize 0,1,%1", "構文エラー: getspsizeの第ニ引数は数字変数です。"},
        {"", "getspsize 0,%1,2", "構文エラー: getspsizeの第三引数は数字変数です。"},
        {"", "getspsize 0,%1,%2,3", "構文エラー: getspsizeの第四引数は数字変数です。"},
        {"", "getspmode %99999,0", "エラー: 変数番号が範囲外をさしています。"},
        {"transmode sideways\n", "", "構文エラー: 不正な命令\"transmode\"です。"},
        // the range checks
        {"", "lsp 1000,\"red.bmp\",0,0", "エラー: スプライト番号が範囲外です。"},
        {"", "lsp -1,\"red.bmp\",0,0", "エラー: スプライト番号が範囲外です。"},
        {"", "lsph 5000,\"red.bmp\",0,0", "エラー: スプライト番号が範囲外です。"},
        {"", "csp 1000", "エラー: スプライト番号が範囲外です。"},
        {"", "csp -2", "エラー: スプライト番号が範囲外です。"},
        {"", "vsp 1000,1", "エラー: スプライト番号が範囲外です。"},
        {"", "msp 1000,0,0", "エラー: スプライト番号が範囲外です。"},
        {"", "amsp -7,0,0", "エラー: スプライト番号が範囲外です。"},
        {"", "spreload 1000", "エラー: スプライト番号が範囲外です。"},
        {"", "getspmode %0,1000", "エラー: スプライト番号が範囲外です。"},
        {"", "getsppos 1000,%0,%1", "エラー: スプライト番号が範囲外です。"},
        {"", "getspsize 1000,%0,%1", "エラー: スプライト番号が範囲外です。"},
        {"", "lsp2 256,\"red.bmp\",0,0,100,100,0", "エラー: スプライト番号が範囲外です。"},
        {"", "lsph2sub -1,\"red.bmp\",0,0,100,100,0", "エラー: スプライト番号が範囲外です。"},
        {"", "csp2 256", "エラー: スプライト番号が範囲外です。"},
        {"", "vsp2 256,1", "エラー: スプライト番号が範囲外です。"},
        {"", "msp2 256,0,0,0,0,0", "エラー: スプライト番号が範囲外です。"},
        {"", "amsp2 999,0,0,0,0,0", "エラー: スプライト番号が範囲外です。"},
    };
    for (const Case& c : cases) {
        FramedRun r = PlayFramed(std::string(";mode320\n*define\n") + c.define + "game\n*start\n" +
                                     c.story + "\nend\n",
                                 kPictures);
        EXPECT_EQ(FirstBox(r.run), c.box) << c.define << c.story;
    }
}

TEST(SpriteCommands, LongTagsAndOrdersAreCut) {
    // A tag of 300 characters is cut to the table's 255 (whole characters):
    // the sprite stays usable and the loader reports the cut name.
    std::string long_name(300, 'a');
    FramedRun r = PlayFramed(";mode320\n*define\nnoloaderror\ngame\n*start\n"
                             "lsp 1,\"" + long_name + "\",0,0\n"
                             "getspmode %0,1\nif %0 != 1 fail_shown\n"
                             "humanorder \"ｌｃｒａｂｃｄｅｆｇｈｉ\",1\n"
                             "end\n",
                             kPictures);
    ExpectQuiet(r.run);
}

}  // namespace
