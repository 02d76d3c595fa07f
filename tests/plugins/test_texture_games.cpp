// The texture functions from Lua in games played by the headless runner:
// fill texts and PNG files loaded, every blit mode, the library
// functions of OVDDLL / OVDCall, texture to sprite, the off-screen mode with
// OVDCopyToBg, presenting, and every error text (collected through pcall
// into a file, one line each).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/graphics/compose_fixture.h"
#include "tests/graphics/image_encoders.h"
#include "tests/support/game_folder.h"

namespace fs = std::filesystem;

namespace {

FramedRun PlayTextures(const std::string& lua, std::string* dir_out,
                       const std::vector<std::pair<std::string, std::string>>& files = {}) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\nluasub setup\nluasub draw\ngame\n*start\nsetup\nprint 1\ndraw\nend\n");
    WriteGameFile(dir, "ovlua.dll", "");
    WriteGameFile(dir, "system.lua",
                  Cp932("local function check(c, name) if not c then OVExec('fail_' .. name) end end\n" +
                        lua));
    for (const auto& f : files) WriteGameFile(dir, f.first, f.second);
    fs::copy_file(EXEC_EXAMPLE_PATH, fs::path(dir) / "exec_example.so");
    *dir_out = dir;
    return RunFramed(dir, RunOptions());
}

TEST(TextureGames, ControlChecksFail) {
    std::string dir;
    FramedRun r = PlayTextures("function OVCOM_setup() check(false, 'control') end\n"
                               "function OVCOM_draw() end\n",
                               &dir);
    EXPECT_EQ(FirstBox(r.run), "構文エラー: 不正な命令\"fail_control\"です。");
}

TEST(TextureGames, EveryBlitModeDrawsIntoItsTarget) {
    // A 2 x 2 PNG: opaque white, half-transparent red, transparent, green.
    std::vector<uint8_t> rgba = {255, 255, 255, 255, 255, 0, 0, 128, 0, 0, 0, 0, 0, 255, 0, 255};
    std::string dir;
    FramedRun r = PlayTextures(
        "function OVCOM_setup()\n"
        // Off-screen: the fill goes to the compose buffer, which becomes the
        // background; a transition with a kind alone shows it.
        "  OVDOffMode(true)\n"
        "  OVDFill(0, 0, 640, 480, 0, 0, 64)\n"
        "  OVDCopyToBg()\n"
        "  OVDOffMode(false)\n"
        "  OVDTransition(1)\n"
        "  OVDTransitionF(1, 0)\n"
        "  OVDLoad(0, '*4,4,255,0,0,255')\n"
        "  OVDSetSprite(5, 0)\n"
        "  OVSpMove(5, 300, 300, 255)\n"
        "end\n"
        "function OVCOM_draw()\n"
        "  OVDLoad(1, '*64,32')\n"
        "  local w, h = OVDGetSize(1)\n"
        "  check(w == 64 and h == 32, 'size')\n"
        "  OVDSp(0, 10, 10, 4, 4, 0, 0, 255)\n"
        "  OVDSp(1, 12, 12, 20, 20, 0, 0, 255)\n"  // transparent: no change
        "  OVDFill(100, 100, 110, 110, 0, 255, 0)\n"
        "  OVDBlt(0, 200, 200, 4, 4, 0, 0)\n"
        "  local invert = OVDDLL('exec_example.dll', 'Invert')\n"
        "  local paint = OVDDLL('exec_example.dll', 'Paint')\n"
        "  check(invert == 0 and paint == 1, 'procnums')\n"
        "  OVDCall(0, '', invert)\n"
        "  OVDSp(0, 20, 20, 4, 4, 0, 0, 255)\n"
        "  OVDCall(2, '*8,8', paint, 'FF0000FF')\n"
        "  OVDSp(2, 30, 30, 8, 8, 0, 0, 128)\n"
        "  OVDLoad(4, '*2,2,0,100,0,255')\n"
        "  OVDSpAdd(4, 600, 10, 2, 2, 0, 0, 255)\n"
        "  OVDSpAdd(4, 600, 10, 2, 2, 0, 0, 255)\n"
        "  OVDSp2(4, 400, 100, 0, 0, 2, 2, 3, 3, 0, 255)\n"
        "  OVDSp2Add(4, 400, 150, 0, 0, 2, 2, 3, 3, 45, 255)\n"
        "  OVDSp3(0, 500, 50, 520, 50, 500, 70, 520, 70, 0, 0, 4, 4, 255)\n"
        "  OVDSp3Add(4, 500, 100, 520, 100, 500, 120, 520, 120, 0, 0, 2, 2, 255)\n"
        "  OVDLoad(6, 'pic.png')\n"
        "  w, h = OVDGetSize(6)\n"
        "  check(w == 2 and h == 2, 'png_size')\n"
        "  OVDSp(6, 50, 50, 2, 2, 0, 0, 255)\n"
        // Grabbed in off-screen mode: the displayed picture, not the white
        // filled into the compose buffer.
        "  OVDOffMode(true)\n"
        "  OVDFill(0, 0, 50, 50, 255, 255, 255)\n"
        "  OVDGetScreen(7)\n"
        "  OVDOffMode(false)\n"
        "  OVDBlt(7, 600, 400, 4, 4, 10, 10)\n"
        "  OVDGetScreen(3)\n"
        "  w, h = OVDGetSize(3)\n"
        "  check(w == 640 and h == 480, 'screen_size')\n"
        "  OVDDelete(4)\n"
        "  check(not pcall(OVDGetSize, 4), 'deleted')\n"
        "  OVDPresent()\n"
        "end\n",
        &dir, {{"ovpng.dll", ""}, {"pic.png", EncodePng(2, 2, rgba, 4)}});
    ExpectQuiet(r.run);
    ASSERT_EQ(r.frame.w, 640);
    const Bgr bg{64, 0, 0};
    EXPECT_EQ(r.frame.At(5, 5), bg);
    EXPECT_EQ(r.frame.At(11, 11), kRed);
    EXPECT_EQ(r.frame.At(14, 14), bg);
    EXPECT_EQ(r.frame.At(105, 105), kGreen);
    EXPECT_EQ(r.frame.At(201, 201), kRed);
    EXPECT_EQ(r.frame.At(21, 21), (Bgr{255, 255, 0}));   // inverted red: cyan
    EXPECT_EQ(r.frame.At(31, 31), (Bgr{159, 0, 0}));     // 64 + (255 - 64) * 128 / 255
    EXPECT_EQ(r.frame.At(600, 10), (Bgr{64, 200, 0}));   // added twice
    EXPECT_EQ(r.frame.At(400, 100), (Bgr{0, 100, 0}));   // rotated blend, scale 3
    EXPECT_EQ(r.frame.At(400, 150), (Bgr{64, 100, 0}));  // rotated add
    EXPECT_EQ(r.frame.At(510, 60), (Bgr{255, 255, 0}));  // quad blend (texture 0 inverted by now)
    EXPECT_EQ(r.frame.At(301, 301), kRed);               // the sprite made from texture 0
    EXPECT_EQ(r.frame.At(50, 50), kWhite);                // the PNG
    EXPECT_EQ(r.frame.At(51, 50), (Bgr{32, 0, 128}));     // 64 + (0 - 64) * 128 / 255, 255 * 128 / 255
    EXPECT_EQ(r.frame.At(50, 51), bg);
    EXPECT_EQ(r.frame.At(51, 51), kGreen);
    EXPECT_EQ(r.frame.At(601, 401), kRed);               // the grabbed screen, copied
}

TEST(TextureGames, ErrorTexts) {
    std::string dir;
    FramedRun r = PlayTextures(
        "local out = {}\n"
        "local function try(f, ...) local ok, msg = pcall(f, ...) out[#out + 1] = ok and 'ok' or msg end\n"
        "function OVCOM_setup()\n"
        "  try(OVDLoad, 64, '*4,4')\n"
        "  try(OVDLoad, 0)\n"
        "  try(OVDSp, 5, 0, 0, 1, 1, 0, 0, 255)\n"
        "  try(OVDSp3Add, 5, 0)\n"
        "  try(OVDLoad, 0, '*123456789012345678901234567890123,4')\n"
        "  try(OVDLoad, 0, '*0,4')\n"
        "  try(OVDLoad, 0, '*4,4,256,0,0,255')\n"
        "  try(OVDLoad, 0, '*4,4,1,2')\n"
        "  try(OVDLoad, 0, '*4,4,1,2,3')\n"
        "  try(OVDGetSize, 3)\n"
        "  try(OVDDLL, 'exec_example.dll', 'Nope')\n"
        "  try(OVDCall, 0, '*2,2', 7)\n"
        "  try(OVDCall, 0)\n"
        "  try(OVDSetSprite, 1000, 0)\n"
        "  try(OVDSetSprite, 1, 9)\n"
        "  try(OVDOffMode, 1)\n"
        "  try(OVDTransition)\n"
        "  OVDOffMode(true)\n"
        "  try(OVDPresent)\n"
        "  try(OVDPresentRect, 0, 0, 10, 10)\n"
        "  OVDOffMode(false)\n"
        "  try(OVDPresentRect, 0, 0, 10, 10)\n"
        "  local f = io.open('errors.txt', 'wb') f:write(table.concat(out, '\\n')) f:close()\n"
        "end\n"
        "function OVCOM_draw() end\n",
        &dir);
    ExpectQuiet(r.run);
    std::string bytes;
    ASSERT_TRUE(ReadGameFileBytes(dir, "errors.txt", &bytes));
    std::vector<std::string> lines;
    std::stringstream ss(Utf8(bytes));
    for (std::string line; std::getline(ss, line);) lines.push_back(line);
    std::vector<std::string> want = {
        "OVD系命令のテクスチャ番号64が範囲外です(0～63)",
        "OVDLoadの引数が間違っています。OVDLoad(num,filename)",
        "ロードされていないテクスチャ番号5を使いました。",
        "OVDSp3Addの引数が間違っています。OVDSp3Add(num,d00x,d00y,d10x,d10y,d01x,d01y,d11x,d11y,sx,sy,w,h,alpha)",
        "OVDCallのファイル名が間違っています。*123456789012345678901234567890123,4",
        "OVDCallのファイル名が間違っています。*0,4",
        "ファイル名の色指定が間違っています。色の範囲は0～255です。\r",
        "> \"*4,4,256,0,0,255\"",
        "ファイル名の色指定が間違っています。\"*幅,高さ,r,g,b,α\"です:\r",
        "> \"*4,4,1,2\"",
        "OVDCallのファイル名の色指定が間違っています。\"*幅,高さ,r,g,b,α\"です:\r",
        "> \"*4,4,1,2,3\"",
        "OVDGetSize:存在しないテクスチャ3の幅と高さを得ようとしました。",
        "OVDDLLに指定されたDLL関数(exec_example.dll/Nope)が見つかりません。",
        "OVDDLLで登録されていない番号7でOVDCALLを呼び出しました。",
        "OVDCallの引数が間違っています。OVDCall(texnum,filename,procnum(,param))\r",
        "filenameは\"*幅,高さ(,r,g,b,α)\"で塗りつぶしも可能",
        "OVDSetSpriteのスプライト番号が範囲外です。1000",
        "ロードされていないテクスチャ番号9を使いました。",
        "OVDOffModeの引数が間違っています。OVDOffMode(mode)",
        "OVDTransitionの引数が間違っています。OVDTransition(effectnum(,effecttime(,rulename)))",
        "オフスクリーン描画モードの時にOVDPresentを使ってはいけません。",
        "オフスクリーン描画モードの時にOVDPresentRectを使ってはいけません。",
        "ok",
    };
    EXPECT_EQ(lines, want);
}

// OVDCopyToBg leaves the background without a picture tag, as bgcpy
// does: a later bg of the picture it had loads that picture again.
TEST(TextureGames, CopyToBgForgetsTheBackgroundsPicture) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\nluasub copy\ngame\n*start\nbg \"pic.bmp\",1\ncopy\n"
                     "bg \"pic.bmp\",1\nend\n");
    WriteGameFile(dir, "ovlua.dll", "");
    WriteGameFile(dir, "system.lua",
                  "function OVCOM_copy()\n  OVDOffMode(true)\n  OVDFill(0, 0, 640, 480, 0, 0, 255)\n"
                  "  OVDCopyToBg()\n  OVDOffMode(false)\nend\n");
    WriteGameFile(dir, "pic.bmp", SolidBmp(640, 480, kRed));
    FramedRun r = RunFramed(dir, RunOptions());
    ExpectQuiet(r.run);
    ASSERT_EQ(r.frame.w, 640);
    EXPECT_EQ(r.frame.At(320, 240), kRed);
}

// The fatal loading errors, each ending the game with its box.
TEST(TextureGames, LoadingFailuresAreFatal) {
    struct Case {
        std::string call;
        bool png_library;
        std::string box;
    } cases[] = {
        {"OVDLoad(0, 'a.png')", false, "ロードエラー: ovpng.dllが存在しないか、最新版ではありません。"},
        {"OVDLoad(0, 'a.bmp')", true, "ロードエラー: OVDLoad命令はPNGファイルしか読み込めません。"},
        {"OVDLoad(0, 'missing.png')", true, "エラー: テクスチャに読み込もうとしたファイル\"missing.png\"がありません。"},
        {"OVDDirectX()", true, "エラー: ovdx.dllがありません。"},
    };
    for (const Case& c : cases) {
        std::string dir;
        std::vector<std::pair<std::string, std::string>> files;
        if (c.png_library) files.push_back({"ovpng.dll", ""});
        FramedRun r = PlayTextures("function OVCOM_setup() " + c.call + " end\nfunction OVCOM_draw() end\n",
                                   &dir, files);
        EXPECT_EQ(r.run.status, 1) << c.call << "\n" << r.run.err;
        EXPECT_EQ(FirstBox(r.run), c.box) << c.call;
    }
}

}  // namespace
