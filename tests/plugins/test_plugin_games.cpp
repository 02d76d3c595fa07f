// Games that load the example plug-ins of ext/examples into the headless
// runner: an exec plug-in calling the engine's exports back and reporting
// through getret, what shows while it runs (transitions, choices, text),
// layer plug-ins drawn in the sprites' order with their
// timers, messages, start and end, an effect plug-in running kind 99, and
// the fatal texts that need a plug-in loaded.  Scripts check their own
// results and name a failed check as a command that does not exist
// ("fail_...").
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/graphics/compose_fixture.h"
#include "tests/support/game_folder.h"

namespace fs = std::filesystem;

namespace {

typedef std::vector<std::pair<std::string, std::string>> Plugins;  // built file, name in the game

// The game folder with the plug-ins copied in under their names.
std::string FolderWith(const std::string& script, const Plugins& plugins) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    for (const auto& p : plugins)
        fs::copy_file(p.first, fs::path(dir) / p.second, fs::copy_options::overwrite_existing);
    return dir;
}

FramedRun PlayWith(const std::string& script, const Plugins& plugins, std::string* dir_out = nullptr) {
    std::string dir = FolderWith(script, plugins);
    if (dir_out) *dir_out = dir;
    return RunFramed(dir, RunOptions());
}

const Plugins kExec = {{EXEC_EXAMPLE_PATH, "exec_example.so"}};

TEST(PluginGames, ControlChecksFail) {
    FramedRun r = PlayWith("*define\ngame\n*start\nexec_dll \"exec_example.dll/add 1 1\"\n"
                           "getret %0\nif %0 = 2 fail_control\nend\n",
                           kExec);
    EXPECT_EQ(FirstBox(r.run), "構文エラー: 不正な命令\"fail_control\"です。");
}

// The exec plug-in's results through getret, and the exports it calls:
// commands run from text (a jump keeps its label), sizes, sprite data and
// pictures, drawing into the displayed and the composed picture, and the
// contexts.
TEST(PluginGames, ExecPluginCallsTheExportsBack) {
    FramedRun r = PlayWith(
        "*define\ndim ?0[3]\ngame\n*start\n"
        "exec_dll \"exec_example.dll\"\ngetret %0\ngetret $0\n"
        "if %0 != 1 fail_handles\nif $0 != \"empty\" fail_empty_parameters\n"
        "exec_dll \"exec_example.dll/add 30 4\"\ngetret %1\ngetret $1\ngetret ?0[2]\n"
        "if %1 != 34 fail_add\nif $1 != \"sum\" fail_add_text\nif ?0[2] != 34 fail_array\n"
        "exec_dll \"exec_example.dll/size\"\ngetret $2\nif $2 != \"640 480\" fail_size\n"
        "exec_dll \"exec_example.dll/exec mov %5,42\"\ngetret %6\n"
        "if %5 != 42 fail_execword\nif %6 != 1 fail_execword_result\n"
        "exec_dll \"exec_example.dll/exec goto *jumped\"\nfail_goto_not_taken\n*jumped\n"
        "exec_dll \"exec_example.dll/window\"\ngetret %7\nif %7 != 1 fail_window\n"
        "exec_dll \"exec_example.dll/key a\"\ngetret %8\nif %8 != 0 fail_key_up\n"
        "exec_dll \"exec_example.dll/key nosuchkey\"\ngetret %8\nif %8 != 0 fail_key_unknown\n"
        "exec_dll \"exec_example.dll/events\"\ngetret %8\nif %8 != 0 fail_events\n"
        "exec_dll \"exec_example.dll/ova none.bmp\"\ngetret %8\nif %8 != 0 fail_ova\n"
        "exec_dll \"exec_example.dll/ov2 none.bmp\"\ngetret %8\nif %8 != 0 fail_ov2\n"
        "exec_dll \"exec_example.dll/font\"\ngetret %8\nif %8 != -1 fail_font_index\n"
        // Sprite 1: two cells in alpha mode, 40 x 10 (cells 10 wide, halves 5).
        "lsp 1,\":a/2,0,3;>40,10,#ff0000\",0,0\n"
        "exec_dll \"exec_example.dll/sprite 1\"\ngetret %9\ngetret $9\n"
        "if %9 != 2 fail_sprite_cells\nif $9 != \"10 10 2 2 40\" fail_sprite_data\n"
        "exec_dll \"exec_example.dll/sprite 2\"\ngetret $9\n"
        "if $9 != \"0 0 1 1 0\" fail_empty_sprite\n"
        "exec_dll \"exec_example.dll/sprite 5000\"\ngetret $9\n"
        "if $9 != \"0 0 0 0 0\" fail_bad_sprite_number\n"
        "exec_dll \"exec_example.dll/dib :c;>6,4,#102030\"\ngetret %10\ngetret $10\n"
        "if %10 != 1 fail_dib\nif $10 != \"6 4 0 16 32 48\" fail_dib_data\n"
        // Drawing into the displayed picture.
        "exec_dll \"exec_example.dll/fill 10 20 30\"\n"
        "exec_dll \"exec_example.dll/pixel 5 5\"\ngetret %11\ngetret $11\n"
        "if %11 != 660510 fail_fill\nif $11 != \"640 480 1920 24\" fail_dc\n"
        "lsp 3,\":c;>8,8,#00ff00\",100,100\n"
        "exec_dll \"exec_example.dll/drawsp 3 7 300 200 200\"\ngetret %12\n"
        "exec_dll \"exec_example.dll/pixel 203 203\"\ngetret %13\n"
        "if %12 != 1 fail_drawsp\nif %13 != 65280 fail_drawsp_pixel\n"
        "exec_dll \"exec_example.dll/drawsp 3 0 0 300 300\"\n"
        "exec_dll \"exec_example.dll/pixel 303 303\"\ngetret %13\nif %13 != 660510 fail_alpha_0\n"
        "exec_dll \"exec_example.dll/drawsp 999 0 255 0 0\"\ngetret %12\nif %12 != 0 fail_free_sprite\n"
        "exec_dll \"exec_example.dll/spriteto 3\"\ngetret $14\nif $14 != \"0 255 0\" fail_spriteto\n"
        "exec_dll \"exec_example.dll/clear\"\n"
        "exec_dll \"exec_example.dll/pixel 5 5\"\ngetret %13\nif %13 != 0 fail_clear\n"
        // The composed picture: sprite 4 at 100, 100 (DrawSP left sprite 3's
        // alpha at 0).
        "lsp 4,\":c;>8,8,#00ff00\",100,100\n"
        "exec_dll \"exec_example.dll/compose\"\n"
        "exec_dll \"exec_example.dll/pixel 104 104 1\"\ngetret %13\nif %13 != 65280 fail_compose\n"
        // RenderSprite outside a layer's Draw: cell and alpha are stored as
        // given, a cell outside the picture draws nothing.
        "exec_dll \"exec_example.dll/render 4 0 10 10 255\"\ngetret %0\n"
        "exec_dll \"exec_example.dll/pixel 12 12 1\"\ngetret %1\n"
        "exec_dll \"exec_example.dll/render 4 5 30 30 255\"\ngetret %2\n"
        "exec_dll \"exec_example.dll/render 4 -1 30 30 255\"\ngetret %3\n"
        "exec_dll \"exec_example.dll/pixel 32 32 1\"\ngetret %4\n"
        "exec_dll \"exec_example.dll/render 1000 0 0 0 255\"\ngetret %5\n"
        "if %0 != 1 fail_render\nif %1 != 65280 fail_render_pixel\n"
        "if %2 != 0 fail_cell_past_end\nif %3 != 0 fail_negative_cell\n"
        "if %4 != 0 fail_drawn_anyway\nif %5 != 0 fail_sprite_number\n"
        "exec_dll \"exec_example.dll/fill 0 0 255\"\nwait 10\n"
        "end\n",
        kExec);
    ExpectQuiet(r.run);
    // The last fill returned 1: the window was repainted with it.
    EXPECT_EQ(r.frame.At(320, 240), kBlue);
}

// Two libraries (one per layer: each keeps its own colour) and a plain
// sprite between them: the layers draw in their sprites' places, sprite 10
// lowest, sprite 1 on top.
TEST(PluginGames, LayersDrawInTheSpritesOrder) {
    std::string dir;
    FramedRun r = PlayWith(
        "*define\n"
        "setlayer 0,0,\"layer_a.dll/255 0 0 10 10 40 40\"\n"
        "setlayer 1,0,\"layer_b.dll/0 0 255 30 30 40 40\"\n"
        "setlayer 2,0,\"layer_c.dll/sprite 50 100 100\"\n"
        "setlayer 3,50,\"layer_d.dll\"\n"
        "game\n*start\n"
        "lsp 50,\":c;>10,10,#ffff00\",700,0\n"
        "lsp 10,\"*0\"\nlsp 5,\":c;>20,20,#00ff00\",20,20\nlsp 1,\"*1\"\n"
        "lsp 20,\"*2\"\nlsp 30,\"*3\"\n"
        "print 1\n"
        "layermessage 0,\"param\"\ngetret $0\nif $0 != \"255 0 0 10 10 40 40\" fail_param\n"
        "layermessage 0,\"initialized\"\ngetret %0\nif %0 != 1 fail_initialized_once\n"
        "layermessage 3,\"param\"\ngetret $0\nif $0 != \"\" fail_param_without_slash\n"
        "wait 1000\n"
        "layermessage 3,\"count\"\ngetret %1\nif %1 < 5 fail_timer\nif %1 > 25 fail_timer_interval\n"
        "layermessage 0,\"count\"\ngetret %1\nif %1 != 0 fail_timer_without_interval\n"
        "end\n",
        {{LAYER_EXAMPLE_PATH, "layer_a.so"},
         {LAYER_EXAMPLE_PATH, "layer_b.so"},
         {LAYER_EXAMPLE_PATH, "layer_c.so"},
         {LAYER_EXAMPLE_PATH, "layer_d.so"}},
        &dir);
    ExpectQuiet(r.run);
    ASSERT_EQ(r.frame.w, 640);
    EXPECT_EQ(r.frame.At(15, 15), kRed);     // layer 0 alone
    EXPECT_EQ(r.frame.At(25, 25), kGreen);   // sprite 5 over layer 0
    EXPECT_EQ(r.frame.At(35, 35), kBlue);    // layer 1 over sprite 5
    EXPECT_EQ(r.frame.At(45, 15), kRed);
    EXPECT_EQ(r.frame.At(65, 65), kBlue);
    EXPECT_EQ(r.frame.At(5, 5), kBlack);
    EXPECT_EQ(r.frame.At(105, 105), (Bgr{0, 255, 255}));  // RenderSprite of sprite 50
    EXPECT_EQ(r.frame.At(111, 105), kBlack);
    // Each layer's Finalize ran once, slot 0 first.
    std::string final;
    ASSERT_TRUE(ReadGameFileBytes(dir, "layer_final.txt", &final));
    EXPECT_EQ(final,
              "final 255 0 0 10 10 40 40\nfinal 0 0 255 30 30 40 40\nfinal sprite 50 100 100\nfinal \n");
}

// A message that asks for a redraw recomposes the whole screen at the next
// print.
TEST(PluginGames, LayerMessageRedraws) {
    FramedRun r = PlayWith(
        "*define\nsetlayer 4,0,\"layer_a.dll/255 0 0 0 0 100 100\"\ngame\n*start\n"
        "lsp 1,\"*4\"\nprint 1\nlayermessage 4,\"color 0 255 0\"\nprint 1\nend\n",
        {{LAYER_EXAMPLE_PATH, "layer_a.so"}});
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(50, 50), kGreen);
}

// While an exec plug-in runs only the window's repaint is left out: a
// transition run through OrvaExecWord shows its steps (a crossfade ends
// within a step of the new picture) and an effect plug-in its final copy, while an instant
// change waits for the next repaint.  The plug-in returns 0: no repaint
// after it.
TEST(PluginGames, TransitionsShowWhileAnExecPluginRuns) {
    struct Case {
        std::string command;
        Bgr shown;
    } cases[] = {
        {"bg #ff0000,10,500", kRed},
        {"bg #00ff00,99,200,$5", kGreen},
        {"bg #0000ff,1", kWhite},
    };
    for (const Case& c : cases) {
        FramedRun r = PlayWith("*define\ngame\n*start\nbg white,1\nmov $5,\"effect_example.dll/still\"\n"
                               "exec_dll \"exec_example.dll/exec " + c.command + "\"\nend\n",
                               {{EXEC_EXAMPLE_PATH, "exec_example.so"},
                                {EFFECT_EXAMPLE_PATH, "effect_example.so"}});
        ExpectQuiet(r.run);
        ASSERT_EQ(r.frame.w, 640) << c.command;
        // The crossfade's last step renews half the bytes: the others keep
        // the level before, a step short of the new picture.
        Bgr got = r.frame.At(320, 240);
        for (int i = 0; i < 3; i++) EXPECT_NEAR(got[i], c.shown[i], 2) << c.command;
    }
}

// What the text routines copy to the window shows while an exec plug-in
// runs: a selection's choices, and a text with ruby typed out and waiting
// for its click under the click cursor.  The runs stop inside the wait; the
// frame equals the one of the same command run by the script.  The window
// is shown beforehand: showing it is a transition, whose finish waits for
// the plug-in's repaint.
TEST(PluginGames, ChoicesAndTextShowWhileAnExecPluginRuns) {
    const std::string setup =
        "*define\ngame\n*start\ntextspeed 0\nrubyon\n"
        "setcursor 0,\":c/3,100,1;>24,8,#ff0000#00ff00#0000ff\",4,0\n"
        "mov $1,\"abc\"\nmov $2,\"def\"\nmov $3,\"(漢/かん)字@\"\nあ\ntextspeed 20\n";
    for (const char* command : {"selnum %0,$1,$2", "puttext $3"}) {
        SCOPED_TRACE(command);
        Frame frames[2];
        for (int plugin = 0; plugin < 2; plugin++) {
            std::string run = plugin ? "exec_dll \"exec_example.dll/exec " + std::string(command) + "\"\n"
                                     : std::string(command) + "\n";
            RunOptions opt;
            opt.max_ms = 3000;
            FramedRun r = RunFramed(FolderWith(setup + run + "end\n", kExec), opt);
            EXPECT_EQ(r.run.status, 124) << r.run.err;
            frames[plugin] = r.frame;
        }
        ASSERT_EQ(frames[0].w, 640);
        ASSERT_EQ(frames[1].w, 640);
        int differ = 0;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) differ += frames[1].At(x, y) != frames[0].At(x, y);
        EXPECT_EQ(differ, 0);
    }
}

// Draw gets the area being composed as an inclusive rectangle held to the
// screen, so a plug-in that fills it to its right and bottom edges stays
// on the picture (the sanitizer build sees any write past it).  A sprite
// of 10 x 10 at (x, y) makes (x, y)..(x + 11, y + 11) dirty, and the
// composition takes one pixel more on the right and at the bottom.
TEST(PluginGames, LayerDrawGetsTheInclusiveArea) {
    FramedRun r = PlayWith(
        "*define\nsetlayer 0,0,\"layer_a.dll/255 0 0 600 440 100 100\"\ngame\n*start\n"
        "lsp 6,\"*0\"\nprint 1\n"
        "layermessage 0,\"area\"\ngetret $0\nif $0 != \"0 0 639 479\" fail_whole_screen\n"
        "lsp 7,\":c;>10,10,#00ff00\",100,100\nprint 1\n"
        "layermessage 0,\"area\"\ngetret $0\nif $0 != \"100 100 112 112\" fail_dirty_area\n"
        "lsp 8,\":c;>10,10,#00ff00\",635,475\nprint 1\n"
        "layermessage 0,\"area\"\ngetret $0\nif $0 != \"635 475 639 479\" fail_edge_area\n"
        "repaint\n"
        "layermessage 0,\"area\"\ngetret $0\nif $0 != \"0 0 639 479\" fail_repaint\n"
        "end\n",
        {{LAYER_EXAMPLE_PATH, "layer_a.so"}});
    ExpectQuiet(r.run);
    ASSERT_EQ(r.frame.w, 640);
    EXPECT_EQ(r.frame.At(600, 440), kRed);
    EXPECT_EQ(r.frame.At(639, 479), kRed);
    EXPECT_EQ(r.frame.At(599, 479), kBlack);
    EXPECT_EQ(r.frame.At(639, 439), kBlack);
    EXPECT_EQ(r.frame.At(0, 0), kBlack);
}

// Effect kind 99: the plug-in gets the area, the duration (halved at the
// fast effect speed, an eighth while skipping) and its parameters, and
// draws into the window's picture; the new picture stands afterwards.
TEST(PluginGames, EffectPluginRunsKind99) {
    FramedRun r = PlayWith(
        "*define\ngame\n*start\n"
        "bg white,99,800,\"effect_example.dll/record 100\"\n"
        "if %100 != 800 fail_duration\nif %101 != 0 fail_left\nif %102 != 0 fail_top\n"
        "if %103 != 639 fail_right\nif %104 != 479 fail_bottom\nif %105 != 0 fail_window_picture\n"
        "if $100 != \"record 100\" fail_parameters\n"
        "exec_dll \"exec_example.dll/system skip\"\nseteffectspeed 1\n"
        "bg black,99,800,\"effect_example.dll/record 100\"\n"
        "if %100 != 50 fail_sixteenth\nif %105 != 255 fail_window_shows_white\n"
        "exec_dll \"exec_example.dll/system skipoff\"\nseteffectspeed 0\n"
        "bg \"#ff0000\",99,300,\"effect_example.dll\"\nend\n",
        {{EFFECT_EXAMPLE_PATH, "effect_example.so"}, {EXEC_EXAMPLE_PATH, "exec_example.so"}});
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(320, 240), kRed);
}

// The fatal texts that need a loaded plug-in (the others are tested
// in-process).
TEST(PluginGames, FatalErrors) {
    struct Case {
        std::string story, box;
    } cases[] = {
        {"exec_dll \"layer_a.dll\"\n", "エラー: exec_dllへのDLL指定が不正です"},
        {"exec_dll \"exec_example.dll/system nothing\"\n", "エラー: システムコールの文字列が不正です。"},
    };
    for (const Case& c : cases) {
        FramedRun r = PlayWith("*define\ngame\n*start\n" + c.story + "end\n",
                               {{LAYER_EXAMPLE_PATH, "layer_a.so"}, {EXEC_EXAMPLE_PATH, "exec_example.so"}});
        EXPECT_EQ(r.run.status, 1) << c.story << "\n" << r.run.err;
        EXPECT_EQ(FirstBox(r.run), c.box) << c.story;
    }
}

}  // namespace
