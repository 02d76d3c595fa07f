// Picture tools: the files they write, byte for byte (24-bit BMP files as
// the engine writes them, "out.txt"), the alpha pictures' masks and
// trimming, tiles, strips, the histogram, GIF into the background, colour
// gradients, and the pictures each tool refuses before writing anything.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <cstring>
#include <functional>
#include <string>

#include "core/script.h"
#include "graphics/compose.h"
#include "graphics/gfx_messages.h"
#include "graphics/picture_tools.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "tests/archive/arcpack.h"
#include "tests/graphics/compose_fixture.h"
#include "tests/graphics/gfx_fixture.h"
#include "text/textwindow.h"

namespace {

// A BMP file as the engine writes it: the image size field is 0.
std::string Written(int w, int h, const std::function<Bgr(int, int)>& f) {
    std::string b = Bmp24(w, h, f);
    memset(&b[34], 0, 4);
    return b;
}

class PictureToolsTest : public GfxTest {
protected:
    std::string script;

    void TearDown() override {
        ForgetScriptText();
        GfxTest::TearDown();
    }
    std::string Read(const std::string& rel) {
        std::string bytes;
        return ReadGameFileBytes(dir, rel, &bytes) ? bytes : "<none>";
    }
    template <class F>
    bool Run(F cmd, const std::string& operands) {
        UseScriptText(&script, Cp932(operands) + "\n");
        cmd();
        return ScriptBuffer[ReadPosition] == '\n';
    }
};

// Renderings of a 6 x 4 picture: columns 0 and 5 and row 0 fully
// transparent; (2, 2) half (black 10s, white 100s); (3, 2) brighter on black
// than on white; the rest opaque grey 50.
Bgr OnBlack(int x, int y) {
    if (x == 0 || x == 5 || y == 0) return kBlack;
    if (x == 2 && y == 2) return Bgr{10, 10, 10};
    if (x == 3 && y == 2) return Bgr{200, 200, 200};
    return Bgr{50, 60, 70};
}
Bgr OnWhite(int x, int y) {
    if (x == 0 || x == 5 || y == 0) return kWhite;
    if ((x == 2 || x == 3) && y == 2) return Bgr{100, 100, 100};
    return Bgr{50, 60, 70};
}
uint8_t MaskOf(int x, int y) {
    if (x == 0 || x == 5 || y == 0) return 255;
    if (x == 2 && y == 2) return 90;  // (300 - 30) / 3
    return 0;  // (3, 2): negative, held at 0 (opaque)
}

TEST_F(PictureToolsTest, AlphaPictureFromBlackAndWhite) {
    Write("a_b.bmp", Bmp24(6, 4, OnBlack));
    Write("a_w.bmp", Bmp24(6, 4, OnWhite));
    EXPECT_TRUE(Run(Cmd_bw2a, "\"a\""));
    // One column pair and one top row trimmed: 2 x 4 wide, 3 high.
    EXPECT_EQ(Read("out/a.bmp"), Written(8, 3, [](int x, int y) {
                  if (x < 4) return OnBlack(x + 1, y + 1);
                  uint8_t m = MaskOf(x - 4 + 1, y + 1);
                  return Bgr{m, m, m};
              }));
}

TEST_F(PictureToolsTest, AlphaPictureOnWhiteOnly) {
    Write("p_b.bmp", Bmp24(3, 2, [](int x, int) { return x == 1 ? kWhite : Bgr{30, 30, 30}; }));
    EXPECT_TRUE(Run(Cmd_bw2a2, "\"p\""));
    // White pixels equal the white picture: mask 0; others (765 - 90) / 3.
    EXPECT_EQ(Read("out/p.bmp"), Written(6, 2, [](int x, int) {
                  if (x < 3) return x == 1 ? kWhite : Bgr{30, 30, 30};
                  uint8_t m = x == 4 ? 0 : 225;
                  return Bgr{m, m, m};
              }));
}

TEST_F(PictureToolsTest, TrimmingTakesColumnPairsAndTopRowsOnly) {
    // Transparent: 3 columns left, 5 right, 2 rows at the top and 1 at the
    // bottom of a 20 x 8 picture.
    auto clear = [](int x, int y) { return x < 3 || x >= 15 || y < 2 || y == 7; };
    Write("t_b.bmp", Bmp24(20, 8, [&](int x, int y) { return clear(x, y) ? kBlack : kRed; }));
    Write("t_w.bmp", Bmp24(20, 8, [&](int x, int y) { return clear(x, y) ? kWhite : kRed; }));
    EXPECT_TRUE(Run(Cmd_bw2a, "\"t\""));
    std::string out = Read("out/t.bmp");
    ASSERT_GT(out.size(), 54u);
    int32_t w, h;
    memcpy(&w, &out[18], 4);
    memcpy(&h, &out[22], 4);
    EXPECT_EQ(w, 2 * 14);  // 3 columns off each side
    EXPECT_EQ(h, 6);       // the bottom row stays
}

TEST_F(PictureToolsTest, AlphaPictureFromFolders) {
    Write("b/x.bmp", Bmp24(6, 4, OnBlack));
    Write("w/x.bmp", Bmp24(6, 4, OnWhite));
    EXPECT_TRUE(Run(Cmd_bw2a3, "\"x.bmp\""));
    EXPECT_EQ(Read("out/x.bmp"), Written(12, 4, [](int x, int y) {
                  if (x < 6) return OnBlack(x, y);
                  uint8_t m = MaskOf(x - 6, y);
                  return Bgr{m, m, m};
              }));
}

TEST_F(PictureToolsTest, AlphaPicturesRefused) {
    Write("s_b.bmp", Bmp24(6, 4, OnBlack));
    Write("s_w.bmp", Bmp24(6, 5, OnWhite));   // another size
    Write("c_b.bmp", SolidBmp(4, 4, kBlack));
    Write("c_w.bmp", SolidBmp(4, 4, kWhite));  // wholly transparent
    Write("b/y.bmp", Bmp24(6, 4, OnBlack));
    Write("bad_b.bmp", "BM not a picture");
    for (const char* operands : {"\"s\"", "\"m\"", "\"c\"", "\"bad\""})
        EXPECT_TRUE(Run(Cmd_bw2a, operands));
    EXPECT_TRUE(Run(Cmd_bw2a2, "\"none\""));
    EXPECT_TRUE(Run(Cmd_bw2a3, "\"y.bmp\""));  // no w/y.bmp
    for (const char* f : {"out/s.bmp", "out/m.bmp", "out/c.bmp", "out/bad.bmp", "out/none.bmp",
                          "out/y.bmp"})
        EXPECT_EQ(Read(f), "<none>") << f;
}

TEST_F(PictureToolsTest, EightBitRenderingsAreWorkedIn24Bits) {
    // An 8-bit rendering on black with a 24-bit one on white.
    Surface pal;
    Make8(&pal, 2, 1, {kBlack, kRed}, [](int x, int) { return x; });
    SaveSurfaceBmp(&pal, "e_b.bmp");
    DestroySurface(&pal);
    Write("e_w.bmp", Bmp24(2, 1, [](int x, int) { return x ? kRed : kWhite; }));
    EXPECT_TRUE(Run(Cmd_bw2a, "\"e\""));
    // Column 0 is clear but its pair, column 1, is not: nothing trimmed.
    EXPECT_EQ(Read("out/e.bmp"), Written(4, 1, [](int x, int) {
                  return x == 0 ? kBlack : x == 1 ? kRed : x == 2 ? kWhite : kBlack;
              }));
}

TEST_F(PictureToolsTest, Tiles) {
    Write("q.bmp", Bmp24(8, 4, [](int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 9}; }));
    EXPECT_TRUE(Run(Cmd_bmpcut, "\"q.bmp\", 2, 2"));
    for (int c = 0; c < 2; c++)
        for (int r = 0; r < 2; r++) {
            std::string name = "_q.bmp" + std::to_string(c) + std::to_string(r) + ".bmp";
            EXPECT_EQ(Read(name), Written(4, 2, [&](int x, int y) {
                          return Bgr{(uint8_t)(4 * c + x), (uint8_t)(2 * r + y), 9};
                      })) << name;
        }
    // Three columns of 8 / 3 = 2 pixels: the last two columns are left out.
    EXPECT_TRUE(Run(Cmd_bmpcut, "\"q.bmp\", 3, 1"));
    EXPECT_EQ(Read("_q.bmp20.bmp"),
              Written(2, 4, [](int x, int y) { return Bgr{(uint8_t)(4 + x), (uint8_t)y, 9}; }));
}

TEST_F(PictureToolsTest, TilesRefused) {
    Write("q.bmp", SolidBmp(8, 4, kRed));
    for (const char* operands : {"\"q.bmp\", 0, 2", "\"q.bmp\", 2, 0", "\"q.bmp\", -1, 1",
                                 "\"q.bmp\", 9, 1", "\"q.bmp\", 1, 5"})
        EXPECT_TRUE(Run(Cmd_bmpcut, operands)) << operands;
    for (const char* f : {"_q.bmp00.bmp", "_q.bmp01.bmp", "_q.bmp10.bmp"})
        EXPECT_EQ(Read(f), "<none>") << f;
}

TEST_F(PictureToolsTest, Strips) {
    Write("a.bmp", SolidBmp(100, 6, kRed));
    Write("b.bmp", SolidBmp(50, 4, kGreen));
    Write("c.bmp", SolidBmp(30, 5, kBlue));
    EXPECT_TRUE(Run(Cmd_chainbmp, "\"a.bmp\""));
    EXPECT_EQ(Read("out.bmp"), Written(100, 6, [](int, int) { return kRed; }));
    EXPECT_TRUE(Run(Cmd_chainbmp, "\"b.bmp\""));
    EXPECT_TRUE(Run(Cmd_chainbmp, "\"c.bmp\""));
    // 180 wide and as high as the last; parts of the old strip below it are
    // cut, and where the old strip was lower the new one is black.
    EXPECT_EQ(Read("out.bmp"), Written(180, 5, [](int x, int y) {
                  if (x >= 150) return kBlue;
                  return y >= 4 ? kBlack : x < 100 ? kRed : kGreen;
              }));
    EXPECT_TRUE(Run(Cmd_chainbmp, "\"missing.bmp\""));
    EXPECT_EQ(Read("out.bmp").size(), Written(180, 5, [](int, int) { return kRed; }).size());
}

TEST_F(PictureToolsTest, DifferenceHistogram) {
    Write("grey.bmp", SolidBmp(640, 480, Bgr{100, 100, 100}));
    EXPECT_TRUE(Run(Cmd_grptest, "\"grey.bmp\""));
    EXPECT_EQ(Utf8(Read("out.txt")), "\"grey.bmp\" 解析結果\n0 = 921597\n100 = 3\n");
    // Channels in memory order, the previous value running on across rows:
    // rows of 10 and 30 in turn from the bottom (blue), green 0, red 255.
    Write("rows.bmp", Bmp24(640, 480, [](int, int y) {
              return Bgr{(uint8_t)((479 - y) % 2 ? 30 : 10), 0, 255};
          }));
    EXPECT_TRUE(Run(Cmd_grptest, "\"rows.bmp\""));
    // Blue: 10 once from 0, then +20 and -20 in turn at the 479 row changes.
    // Green: all 0.  Red: 255 once.
    EXPECT_EQ(Utf8(Read("out.txt")),
              "\"rows.bmp\" 解析結果\n-20 = 239\n0 = 921119\n10 = 1\n20 = 240\n255 = 1\n");
    // Pictures under 640 x 480 are refused.
    Write("small.bmp", SolidBmp(639, 480, kRed));
    EXPECT_TRUE(Run(Cmd_grptest, "\"small.bmp\""));
    EXPECT_EQ(Utf8(Read("out.txt")).substr(0, 10), "\"rows.bmp\"");
}

// A GIF file through giflib's encoder: w x h, the first frame's pixels
// from f (palette indexes), optional transparent index and frame place.
std::string MakeGif(int sw, int sh, int fx, int fy, int fw, int fh,
                    const std::function<int(int, int)>& f, int transparent = -1) {
    GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colors);
    std::string out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, [](GifFileType* g, const GifByteType* b, int n) {
        ((std::string*)g->UserData)->append((const char*)b, n);
        return n;
    }, &err);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, sw, sh, 2, 2, map);  // background: green
    if (transparent >= 0) {
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = transparent;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
    }
    EGifPutImageDesc(gif, fx, fy, fw, fh, false, nullptr);
    std::vector<GifPixelType> line(fw);
    for (int y = 0; y < fh; y++) {
        for (int x = 0; x < fw; x++) line[x] = (GifPixelType)f(x, y);
        EGifPutLine(gif, line.data(), fw);
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return out;
}

TEST_F(PictureToolsTest, GifIntoTheBackground) {
    ScreenWidth = 16, ScreenHeight = 8;
    RebuildScreenSurfaces();
    strcpy(BgSurface.tag, "bg.bmp");
    // A 6 x 4 screen with a 4 x 2 frame at (1, 1): index x, 0 transparent.
    Write("p.gif", MakeGif(6, 4, 1, 1, 4, 2, [](int x, int) { return x; }, 0));
    EXPECT_TRUE(Run(Cmd_convgif, "\"p.gif\""));
    Bgr want[4][6];
    for (auto& row : want)
        for (Bgr& p : row) p = kGreen;  // the background colour
    want[1][2] = want[2][2] = kRed;    // index 1
    want[1][3] = want[2][3] = kGreen;  // index 2
    want[1][4] = want[2][4] = kBlue;   // index 3
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 6; x++) EXPECT_EQ(PixelAt(BgSurface, x, y), want[y][x]) << x << "," << y;
    EXPECT_EQ(PixelAt(BgSurface, 6, 0), kBlack);  // the rest of the background stays
    EXPECT_STREQ(BgSurface.tag, "bg.bmp");
    ScreenWidth = 640, ScreenHeight = 480;
    RebuildScreenSurfaces();
}

TEST_F(PictureToolsTest, GifFailures) {
    Write("bad.gif", "GIF89a nonsense");
    Write("cut.gif", MakeGif(6, 4, 0, 0, 6, 4, [](int, int) { return 1; }).substr(0, 30));
    Write("big.gif", MakeGif(6, 4, 0, 0, 6, 4, [](int, int) { return 1; }));
    std::string huge = Read("big.gif");
    huge[6] = (char)0xFF, huge[7] = (char)0x7F;  // a logical screen 32767 wide
    Write("huge.gif", huge);
    for (const char* operands : {"\"missing.gif\"", "\"bad.gif\"", "\"cut.gif\"", "\"huge.gif\""})
        EXPECT_EQ(FatalText([&] { Run(Cmd_convgif, operands); }),
                  "エラー: JPEGがロード出来ません。OLEが使えません")
            << operands;
}

// Pictures read the way the system picture loader reads them are told apart
// by their bytes: convgif of a BMP, ".jpg" files holding a GIF or a BMP (in
// the folder and in an ova archive), each shown by a game.
TEST(OlePictureGames, DecodedByTheirContent) {
    std::string gif = MakeGif(8, 8, 0, 0, 8, 8, [](int, int) { return 3; });  // blue
    std::string bmp = SolidBmp(8, 8, kRed);
    struct Case {
        const char* name;
        std::string define, story;
        std::vector<std::pair<std::string, std::string>> files;
        Bgr at_4_4;
    } cases[] = {
        {"convgif of a BMP", "", "convgif \"sky.bmp\"\nspresume\nprint 1\n", {{"sky.bmp", bmp}}, kRed},
        {"convgif of a GIF", "", "convgif \"sky.gif\"\nspresume\nprint 1\n", {{"sky.gif", gif}}, kBlue},
        {"GIF named jpg", "", "lsp 1,\":c;p.jpg\",0,0\nprint 1\n", {{"p.jpg", gif}}, kBlue},
        {"BMP named jpg", "", "lsp 1,\":c;p.jpg\",0,0\nprint 1\n", {{"p.jpg", bmp}}, kRed},
        {"BMP named jpg in an archive", "ova\n", "lsp 1,\":c;p.jpg\",0,0\nprint 1\n",
         {{"arc.ova", arcpack::PackOva({{"p.jpg", arcpack::Stored, bmp}})}}, kRed},
    };
    for (const Case& c : cases) {
        FramedRun r = PlayFramed("*define\n" + c.define + "game\n*start\n" + c.story + "end\n", c.files);
        ExpectQuiet(r.run);
        ASSERT_EQ(r.frame.w, 640) << c.name;
        EXPECT_EQ(r.frame.At(4, 4), c.at_4_4) << c.name;
    }
    // Bytes of no such picture still fail as they did.
    FramedRun r = PlayFramed("*define\ngame\n*start\nconvgif \"x.gif\"\nend\n", {{"x.gif", "PNG? no."}});
    EXPECT_EQ(FirstBox(r.run), "エラー: JPEGがロード出来ません。OLEが使えません");
}

class GradationTest : public PictureToolsTest {
protected:
    void TearDown() override {
        ReleaseSurface(&Sprites[2].surface);
        Sprites[2].tag.Edit()[0] = 0;
        ReleaseSurface(&WindowImage);
        PictureToolsTest::TearDown();
    }
};

TEST_F(GradationTest, KeyPixelsAndTheirMasks) {
    const Bgr key{0, 255, 0};
    // Two cells of 4 x 5: key pixels at column 1 of rows 1..3 and at (2, 3).
    Make24(&Sprites[2].surface, 8, 5, [&](int x, int y) {
        return (x == 1 && y >= 1 && y <= 3) || (x == 2 && y == 3) ? key : kWhite;
    });
    Sprites[2].surface.cellCount = 2;
    strcpy(Sprites[2].tag.Edit(), "pic");
    Sprites[2].x = 10, Sprites[2].y = 20, Sprites[2].visible = 1;
    ClearDirtyRect();
    EXPECT_TRUE(Run(Cmd_sp_rgb_gradation, "2, 0,0,0, 200,100,50, 0,255,0, 77"));
    // span 2: rows 1, 2, 3 get 0, half, all of the second colour.
    EXPECT_EQ(PixelAt(Sprites[2].surface, 1, 1), (Bgr{0, 0, 0}));
    EXPECT_EQ(PixelAt(Sprites[2].surface, 1, 2), (Bgr{25, 50, 100}));
    EXPECT_EQ(PixelAt(Sprites[2].surface, 1, 3), (Bgr{50, 100, 200}));
    EXPECT_EQ(PixelAt(Sprites[2].surface, 2, 3), (Bgr{50, 100, 200}));
    EXPECT_EQ(PixelAt(Sprites[2].surface, 5, 2), (Bgr{77, 77, 77}));
    EXPECT_EQ(PixelAt(Sprites[2].surface, 6, 3), (Bgr{77, 77, 77}));
    EXPECT_EQ(PixelAt(Sprites[2].surface, 5, 0), kWhite);
    EXPECT_EQ(PixelAt(Sprites[2].surface, 0, 1), kWhite);
    EXPECT_EQ(DirtyRect.left, 10);
    EXPECT_EQ(DirtyRect.top, 20);

    // One key row: the first colour; a one-cell picture gets no mask
    // written past its right edge.
    Make24(&Sprites[2].surface, 4, 2, [&](int x, int y) { return x == 3 && y == 0 ? key : kRed; });
    Sprites[2].surface.cellCount = 1;
    EXPECT_TRUE(Run(Cmd_sp_rgb_gradation, "2, 9,8,7, 200,100,50, 0,255,0, 77"));
    EXPECT_EQ(PixelAt(Sprites[2].surface, 3, 0), (Bgr{7, 8, 9}));
    EXPECT_EQ(PixelAt(Sprites[2].surface, 0, 1), kRed);
}

TEST_F(GradationTest, WindowPictureAndNumbersOutsideTheTable) {
    Make24(&WindowImage, 4, 4, [](int x, int y) { return x == 0 && y < 2 ? Bgr{1, 2, 3} : kRed; });
    TextWindowLeft = 5, TextWindowTop = 6, TextWindowRight = 30, TextWindowBottom = 40;
    ClearDirtyRect();
    EXPECT_TRUE(Run(Cmd_sp_rgb_gradation, "-1, 10,10,10, 20,20,20, 3,2,1, 0"));
    EXPECT_EQ(PixelAt(WindowImage, 0, 0), (Bgr{10, 10, 10}));
    EXPECT_EQ(PixelAt(WindowImage, 0, 1), (Bgr{20, 20, 20}));
    EXPECT_EQ(DirtyRect.left, 5);
    EXPECT_EQ(DirtyRect.bottom, 40);
    ClearDirtyRect();
    EXPECT_TRUE(Run(Cmd_sp_rgb_gradation, "-2, 10,10,10, 20,20,20, 3,2,1, 0"));
    EXPECT_TRUE(Run(Cmd_sp_rgb_gradation, "1000, 10,10,10, 20,20,20, 3,2,1, 0"));
    EXPECT_TRUE(Run(Cmd_sp_rgb_gradation, "7, 10,10,10, 20,20,20, 3,2,1, 0"));  // no picture
    EXPECT_EQ(DirtyRect.right, 0);
}

}  // namespace

namespace {

TEST(PictureToolGames, ToolsRunInTheDefineBlock) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "a_b.bmp", Bmp24(6, 4, OnBlack));
    WriteGameFile(dir, "a_w.bmp", Bmp24(6, 4, OnWhite));
    WriteGameFile(dir, "n.bmp", SolidBmp(3, 2, kRed));
    WriteScript(dir, "*define\nbw2a \"a\"\nchainbmp \"n.bmp\"\nchainbmp \"n.bmp\"\n"
                     "bmpcut \"n.bmp\",3,1\ngame\n*start\nend\n");
    ExpectQuiet(RunGame(dir));
    std::string bytes;
    EXPECT_TRUE(ReadGameFileBytes(dir, "out/a.bmp", &bytes));
    ASSERT_TRUE(ReadGameFileBytes(dir, "out.bmp", &bytes));
    EXPECT_EQ(bytes, Written(6, 2, [](int, int) { return kRed; }));
    ASSERT_TRUE(ReadGameFileBytes(dir, "_n.bmp20.bmp", &bytes));
    EXPECT_EQ(bytes, Written(1, 2, [](int, int) { return kRed; }));
}

}  // namespace
