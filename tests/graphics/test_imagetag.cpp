// Image tags: every option parsed, the tag errors with their texts, and
// loading from the folder, the archives and image plug-ins with the
// missing-picture rules, filters, strips, masks and the jpegmode retry.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "archive/archives.h"
#include "archive/extract.h"
#include "archive/ova.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/bmp.h"
#include "graphics/decode.h"
#include "graphics/pass_defaults.h"
#include "graphics/imagetag.h"
#include "save/namelog.h"
#include "tests/archive/arcpack.h"
#include "tests/graphics/gfx_fixture.h"
#include "tests/graphics/image_encoders.h"
#include "tests/graphics/spb_encoder.h"

using namespace arcpack;

// ---- parsing ----

class ParseTag : public GfxTest {};

TEST_F(ParseTag, OptionsAndCells) {
    struct Case {
        const char* tag;
        bool modeGiven;
        int mode;
        int cells, cellTime, loop;
        const char* file;
    } cases[] = {
        {"bg\\a.bmp", false, 0, 1, 0, 0, "bg\\a.bmp"},
        {":a;a.bmp", true, TransAlpha, 1, 0, 0, "a.bmp"},
        {":c;a.bmp", true, TransCopy, 1, 0, 0, "a.bmp"},
        {":l;a.bmp", true, TransLeftUp, 1, 0, 0, "a.bmp"},
        {":r;a.bmp", true, TransRightUp, 1, 0, 0, "a.bmp"},
        {": \t a;a.bmp", true, TransAlpha, 1, 0, 0, "a.bmp"},
        {":;a.bmp", false, 0, 1, 0, 0, "a.bmp"},
        {":l/3,160,2;cursor0.bmp", true, TransLeftUp, 3, 160, 2, "cursor0.bmp"},
        {":/2,50,0;x.bmp", false, 0, 2, 50, 0, "x.bmp"},
        {":c/4;x.bmp", true, TransCopy, 4, INT_MAX, 3, "x.bmp"},
        {":a/2,50,3;x.bmp", true, TransAlpha, 2, INT_MAX, 3, "x.bmp"},
        {":a/0,50,1;x.bmp", true, TransAlpha, 1, 50, 1, "x.bmp"},
        {":a junk/2,10,1;x.bmp", true, TransAlpha, 2, 10, 1, "x.bmp"},
        {":a/2,10,1/5;x.bmp", true, TransAlpha, 5, INT_MAX, 3, "x.bmp"},
    };
    for (const Case& c : cases) {
        ImageTag t;
        ParseImageTag(c.tag, &t);
        EXPECT_EQ(t.modeGiven, c.modeGiven) << c.tag;
        if (c.modeGiven) {
            EXPECT_EQ(t.transMode, c.mode) << c.tag;
        }
        EXPECT_EQ(t.cellCount, c.cells) << c.tag;
        EXPECT_EQ(t.cellTimeGiven ? t.cellTime : 0, c.cellTime) << c.tag;
        EXPECT_EQ(t.loopMode, c.loop) << c.tag;
        EXPECT_EQ(t.file, c.file) << c.tag;
    }
}

TEST_F(ParseTag, KeysMaskTimesFiltersLayer) {
    ImageTag t;
    ParseImageTag(":#FF8001;k.bmp", &t);
    EXPECT_EQ(t.transMode, TransColorKey);
    EXPECT_TRUE(t.keyColorGiven);
    EXPECT_EQ(t.keyRed, 255);
    EXPECT_EQ(t.keyGreen, 128);
    EXPECT_EQ(t.keyBlue, 1);
    ParseImageTag(":!12;k.bmp", &t);
    EXPECT_EQ(t.transMode, TransColorKey);
    EXPECT_TRUE(t.keyIndexGiven);
    EXPECT_EQ(t.keyIndex, 12);
    ParseImageTag(":mmask.bmp;pic.bmp", &t);
    EXPECT_TRUE(t.hasMask);
    EXPECT_EQ(t.maskTag, "mask.bmp");
    EXPECT_EQ(t.transMode, TransCopy);
    EXPECT_EQ(t.file, "pic.bmp");
    ParseImageTag(":mm.bmp/1,0,0;p.bmp", &t);
    EXPECT_EQ(t.maskTag, "m.bmp");
    EXPECT_EQ(t.cellCount, 1);
    ParseImageTag(":a/2,<100,300>,2;x.bmp", &t);
    EXPECT_EQ(t.cellTime, -1);
    EXPECT_EQ(t.cellTimes, (std::vector<int32_t>{100, 300}));
    EXPECT_EQ(t.loopMode, 2);
    // A later item without times: the list follows the new count.
    ParseImageTag(":a/2,<100,300>,2/3;x.bmp", &t);
    EXPECT_EQ(t.cellCount, 3);
    EXPECT_EQ(t.cellTime, NoAnimation);
    ParseImageTag(":a/2,<100,300>,2/4,50,1;x.bmp", &t);
    EXPECT_EQ(t.cellCount, 4);
    EXPECT_EQ(t.cellTime, 50);
    EXPECT_EQ(t.loopMode, 1);
    ParseImageTag("<b128>x.bmp", &t);
    EXPECT_EQ(t.brightness, 128);
    EXPECT_EQ(t.factorRed, TagFilterUnset);
    EXPECT_EQ(t.file, "x.bmp");
    ParseImageTag("< B50 ,Rgb10,20,30>:c;x.bmp", &t);
    EXPECT_EQ(t.brightness, 50);
    EXPECT_EQ(t.factorRed, 10);
    EXPECT_EQ(t.factorGreen, 20);
    EXPECT_EQ(t.factorBlue, 30);
    EXPECT_EQ(t.transMode, TransCopy);
    ParseImageTag("*3", &t);
    EXPECT_TRUE(t.layer);
}

TEST_F(ParseTag, StringSprites) {
    ImageTag t;
    ParseImageTag(":s#ff0000#00ff00Hello", &t);
    EXPECT_TRUE(t.stringSprite);
    EXPECT_EQ(t.transMode, TransAlpha);
    EXPECT_FALSE(t.sizeGiven);
    EXPECT_EQ(t.colors, (std::vector<int32_t>{0xff0000, 0x00ff00}));
    EXPECT_EQ(t.text, "Hello");
    ParseImageTag(":s/24,24,2;#ffffff$5", &t);
    EXPECT_TRUE(t.sizeGiven);
    EXPECT_EQ(t.spriteWidth, 24);
    EXPECT_EQ(t.spriteHeight, 24);
    EXPECT_EQ(t.spritePitch, 2);
    EXPECT_FALSE(t.styleGiven);
    EXPECT_TRUE(t.textIsVariable);
    EXPECT_EQ(t.textVariable, 5);
    ParseImageTag(":s/20,-22,-3,1;#000001x/y;z", &t);
    EXPECT_EQ(t.spriteHeight, -22);
    EXPECT_EQ(t.spritePitch, -3);
    EXPECT_TRUE(t.styleGiven);
    EXPECT_EQ(t.style, 1);
    EXPECT_EQ(t.text, "x/y;z");
    // A twelfth colour starts the text.
    std::string tag = ":s";
    for (int i = 0; i < 12; i++) tag += "#0000" + std::string(i < 10 ? "0" : "") + std::to_string(i);
    ParseImageTag(tag.c_str(), &t);
    EXPECT_EQ(t.colors.size(), 11u);
    EXPECT_EQ(t.text, "#000011");
}

TEST_F(ParseTag, SolidStrips) {
    int32_t w, h;
    std::vector<int32_t> colors;
    ParseSolidStrips(">90,4,#ff0000#00ff00#0000ff", &w, &h, &colors);
    EXPECT_EQ(w, 90);
    EXPECT_EQ(h, 4);
    EXPECT_EQ(colors, (std::vector<int32_t>{0xff0000, 0x00ff00, 0x0000ff}));
}

// Fields are found by searching forward for ',' and ';', so blanks or stray
// characters between them read as the tag's author meant.
TEST_F(ParseTag, FieldsAreFoundBySearching) {
    const int32_t list = -1;
    struct Case {
        const char* tag;
        int cells, cellTime, loop;
        const char* file;
    } cases[] = {
        {":a/4 ;x.bmp", 4, NoAnimation, 3, "x.bmp"},   // a ';' before any ','
        {":a/4x;x.bmp", 4, NoAnimation, 3, "x.bmp"},
        {":a/4 ,100,2;x.bmp", 4, 100, 2, "x.bmp"},
        {":a/4x,100,2;x.bmp", 4, 100, 2, "x.bmp"},
        {":a/4, 100 ,2;x.bmp", 4, 100, 2, "x.bmp"},
        {":a/4,100 , 2;x.bmp", 4, 100, 2, "x.bmp"},
        {":a/2, <100 ,300> ,1;x.bmp", 2, list, 1, "x.bmp"},
        {":a/3,100,3;x.bmp", 3, NoAnimation, 3, "x.bmp"},
        {":a/3,-1,0;x.bmp", 3, NoAnimation, 0, "x.bmp"},  // no list behind a written -1
    };
    for (const Case& c : cases) {
        ImageTag t;
        ParseImageTag(c.tag, &t);
        EXPECT_EQ(t.cellCount, c.cells) << c.tag;
        EXPECT_EQ(t.cellTime, c.cellTime) << c.tag;
        EXPECT_EQ(t.loopMode, c.loop) << c.tag;
        EXPECT_EQ(t.file, c.file) << c.tag;
        if (c.cellTime == list) {
            EXPECT_EQ(t.cellTimes, (std::vector<int32_t>{100, 300})) << c.tag;
        }
    }
    struct Size {
        const char* tag;
        int w, h, pitch;
        bool styled;
        const char* text;
    } sizes[] = {
        {":s/24 ,24, 2;#ffffffhi", 24, 24, 2, false, "hi"},
        {":s/24,24,2 ;#ffffffhi", 24, 24, 2, false, "hi"},
        {":s/24,24,2, 1 ;#ffffffhi", 24, 24, 2, true, "hi"},
        {":s/-4 x,8,0;#ffffffhi", -4, 8, 0, false, "hi"},
    };
    for (const Size& c : sizes) {
        ImageTag t;
        ParseImageTag(c.tag, &t);
        EXPECT_TRUE(t.sizeGiven) << c.tag;
        EXPECT_EQ(t.spriteWidth, c.w) << c.tag;
        EXPECT_EQ(t.spriteHeight, c.h) << c.tag;
        EXPECT_EQ(t.spritePitch, c.pitch) << c.tag;
        EXPECT_EQ(t.styleGiven, c.styled) << c.tag;
        EXPECT_EQ(t.text, c.text) << c.tag;
    }
    // What stays an error: a ',' missing before M, a list ended early, a
    // missing '>', and a size part without its ',' or ';'.
    const std::string bad = "タグエラー: タグの指定がおかしいです。";
    for (const char* tag : {":a/4,100;x.bmp", ":a/4,100 2;x.bmp", ":a/2,<100>,1;x", ":a/2,<100;x",
                            ":a/2,<100,300,1;x", ":a/2,100", ":s/24;#ffffff", ":s/24,24;#ffffff",
                            ":s/24,24,2#ffffff", ":s/24,24,2,1#ffffff"}) {
        ImageTag t;
        EXPECT_EQ(FatalText([&] { ParseImageTag(tag, &t); }), bad) << tag;
    }
}

// A strip picture with a zero side parses; it makes no picture, which the
// load reports as it reports any empty picture.
TEST_F(ParseTag, SolidStripsWithAZeroSide) {
    for (const char* file : {">0,4,#ff0000", ">90,0,#ff0000#00ff00"}) {
        int32_t w = -1, h = -1;
        std::vector<int32_t> colors;
        ParseSolidStrips(file, &w, &h, &colors);
        EXPECT_TRUE(w == 0 || h == 0) << file;
        Surface s;
        InitSurface(&s);
        EXPECT_EQ(FatalText([&] { LoadSurface(&s, file); }), "エラー: ロード失敗!") << file;
        EXPECT_FALSE(HasPicture(&s)) << file;
        DestroySurface(&s);
    }
}

class TagErrors : public GfxTest {};

TEST_F(TagErrors, TextsAndCaptions) {
    const std::string bad = "タグエラー: タグの指定がおかしいです。";
    struct Case { const char* tag; std::string want; } cases[] = {
        {"<x>a.bmp", bad},
        {"<b5", bad},
        {"<rg1,2,3>a", bad},
        {"<rgb1,2>a", bad},
        {"<rgb1;2,3>a", bad},
        {"<rgb-5,7,8>a", bad},  // the sign is read but not skipped
        {":a/2,100;x", bad},
        {":a/2,<100>,1;x", bad},
        {":a/2,<100,200,1;x", bad},
        {":a/2,<100,200>1;x", bad},
        {":ax.bmp", bad},
        {":a/99999;x", bad},
        {":s/24,24;#ffffffx", bad},
        {":s/1,2,3#ff0000x", bad},
        {":shello", "エラー: 画像タグ:sの次は色指定#rrggbbです。"},
        {":s/1,2,3;hello", "エラー: 画像タグ:sの次は色指定#rrggbbです。"},
        {":#12zz00;x", "構文エラー: カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）で指定してください。"},
        {":#12", "構文エラー: カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）で指定してください。"},
    };
    for (const Case& c : cases) {
        ImageTag t;
        std::string tag = Cp932(c.tag);
        EXPECT_EQ(FatalText([&] { ParseImageTag(tag.c_str(), &t); }), c.want) << c.tag;
    }
    struct Strip { const char* file; std::string want; } strips[] = {
        {">90#ff0000", "エラー: グラフィックファイルのタグ指定>が間違っています。"},
        {">90,4#ff0000", "エラー: グラフィックファイルのタグ指定>が間違っています。"},
        {">90,4,ff0000", "エラー: グラフィックファイルのタグ指定>が間違っています。"},
        {">90,-4,#ff0000", "エラー: グラフィックファイルのタグ指定>が間違っています。"},
        {">99999,4,#ff0000", "エラー: グラフィックファイルのタグ指定>が間違っています。"},
    };
    for (const Strip& c : strips) {
        int32_t w, h;
        std::vector<int32_t> colors;
        EXPECT_EQ(FatalText([&] { ParseSolidStrips(c.file, &w, &h, &colors); }), c.want) << c.file;
    }
    std::string many = ">90,4,";
    for (int i = 0; i < 33; i++) many += "#123456";
    int32_t w, h;
    std::vector<int32_t> colors;
    EXPECT_EQ(FatalText([&] { ParseSolidStrips(many.c_str(), &w, &h, &colors); }),
              "エラー: 矩形塗りつぶしの数は32個までです");
    many.resize(many.size() - 7);
    ParseSolidStrips(many.c_str(), &w, &h, &colors);
    EXPECT_EQ(colors.size(), 32u);
}

// ---- loading ----

namespace {

std::string Bmp24(int w, int h, Bgr (*f)(int, int)) {
    Surface s;
    InitSurface(&s);
    CreateSurface(&s, w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) SetPixel(&s, x, y, f(x, y));
    std::vector<uint8_t> out;
    EncodeBmp(&s.dib, &out);
    DestroySurface(&s);
    return ToBytes(out);
}
Bgr Grad(int x, int y) { return Bgr{(uint8_t)(x * 10), (uint8_t)(y * 20), 200}; }
Bgr Bright(int x, int) { return Bgr{200, 255, (uint8_t)(x * 10)}; }
Bgr Mask(int x, int y) { return Bgr{(uint8_t)(x * 30 + y), 1, 2}; }

struct Loaded {
    Surface s;
    Loaded() { InitSurface(&s); }
    ~Loaded() { DestroySurface(&s); }
};

}  // namespace

class LoadTag : public GfxTest {};

TEST_F(LoadTag, BmpFromTheFolderWithOptions) {
    Write("bg/Pic.bmp", Bmp24(6, 2, Grad));
    Loaded l;
    LoadSurface(&l.s, ":c;BG\\pic.BMP");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_STREQ(l.s.tag, ":c;BG\\pic.BMP");
    EXPECT_EQ(l.s.transMode, TransCopy);
    EXPECT_EQ(PixelAt(l.s, 5, 1), Grad(5, 1));
    // The default mode applies to a tag without an option.
    Loaded d;
    DefaultTransMode = TransCopy;
    LoadSurface(&d.s, "bg/pic.bmp");
    EXPECT_EQ(d.s.transMode, TransCopy);
    DefaultTransMode = TransLeftUp;
    EXPECT_EQ(FatalText([&] { LoadSurface(&d.s, "bg/pic.bmp?"); }),  // another tag: reloaded
              "ロードエラー: ファイルbg/pic.bmp?を開けません。");
}

TEST_F(LoadTag, SameTagOnlyRewinds) {
    Write("p.bmp", Bmp24(4, 1, Grad));
    Loaded l;
    LoadSurface(&l.s, ":l/2,100,0;p.bmp");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_EQ(l.s.cellCount, 2);
    EXPECT_EQ(l.s.cellTime, 100);
    l.s.cell = 1;
    l.s.alpha = 77;
    Write("p.bmp", Bmp24(4, 1, Bright));
    LoadSurface(&l.s, ":l/2,100,0;p.bmp");
    EXPECT_EQ(l.s.cell, 0);
    EXPECT_EQ(l.s.alpha, 77);
    EXPECT_EQ(PixelAt(l.s, 1, 0), Grad(1, 0));
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, ":l/2,100,0; p.bmp"); }),  // not the same tag
              "ロードエラー: ファイル p.bmpを開けません。");
}

TEST_F(LoadTag, CellTimesAndAnimationFields) {
    Write("p.bmp", Bmp24(4, 1, Grad));
    Loaded l;
    uint32_t before = PlatTicks();
    LoadSurface(&l.s, ":a/2,<100,300>,2;p.bmp");
    EXPECT_EQ(l.s.cellTime, -1);
    ASSERT_NE(l.s.cellTimes, nullptr);
    EXPECT_EQ(l.s.cellTimes[0], 100);
    EXPECT_EQ(l.s.cellTimes[1], 300);
    EXPECT_EQ(l.s.loopMode, 2);
    EXPECT_GE(l.s.animClock, before);
    Loaded n;
    LoadSurface(&n.s, ":c/4;p.bmp");
    EXPECT_EQ(n.s.cellCount, 4);
    EXPECT_EQ(n.s.cellTime, INT_MAX);
    EXPECT_EQ(n.s.loopMode, 3);
}

TEST_F(LoadTag, FiltersTouchOnlyTheFirstCell) {
    Write("p.bmp", Bmp24(8, 1, Bright));
    Loaded l;
    LoadSurface(&l.s, "<b128>:c/4;p.bmp");
    EXPECT_EQ(PixelAt(l.s, 0, 0), (Bgr{100, 128, 0}));
    EXPECT_EQ(PixelAt(l.s, 1, 0), (Bgr{100, 128, 5}));
    EXPECT_EQ(PixelAt(l.s, 2, 0), Bright(2, 0));
    Loaded c;
    LoadSurface(&c.s, "<rgb255,128,510>:c;p.bmp");
    EXPECT_EQ(PixelAt(c.s, 7, 0), (Bgr{255, 128, 70}));  // blue x2 capped, green halved
    // Factors on a palettised picture are an error.
    Surface p8;
    Make8(&p8, 2, 2, {Bgr{1, 2, 3}}, [](int, int) { return 0; });
    SaveSurfaceBmp(&p8, "p8.bmp");
    DestroySurface(&p8);
    Loaded e;
    EXPECT_EQ(FatalText([&] { LoadSurface(&e.s, "<rgb1,1,1>p8.bmp"); }),
              "エラー: フルカラー画像以外ではフィルタはかけられません");
}

TEST_F(LoadTag, SolidStrips) {
    Loaded l;
    LoadSurface(&l.s, ">90,3,#ff0000#00FF00#0000ff");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_STREQ(l.s.tag, "");  // filled pictures keep no tag
    EXPECT_EQ(PixelAt(l.s, 29, 2), (Bgr{0, 0, 255}));
    EXPECT_EQ(PixelAt(l.s, 30, 0), (Bgr{0, 255, 0}));
    EXPECT_EQ(PixelAt(l.s, 89, 1), (Bgr{255, 0, 0}));
    LoadSurface(&l.s, ">100,1,#ff0000#00FF00#0000ff");
    EXPECT_EQ(PixelAt(l.s, 98, 0), (Bgr{255, 0, 0}));
    EXPECT_EQ(PixelAt(l.s, 99, 0), (Bgr{0, 0, 0}));  // the column left over
}

TEST_F(LoadTag, LayerSprite) {
    Loaded l;
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, ":a;*2"); }),  // '*' must come first
              "ロードエラー: ファイル*2を開けません。");
    Loaded k;
    LoadSurface(&k.s, "*2");
    EXPECT_EQ(k.s.dib.width, 1);
    EXPECT_EQ(k.s.dib.height, 1);
    EXPECT_EQ(k.s.transMode, TransLeftUp);
    EXPECT_STREQ(k.s.tag, "*2");
}

TEST_F(LoadTag, MaskMerge) {
    Write("p.bmp", Bmp24(3, 2, Grad));
    Write("m.bmp", Bmp24(2, 1, Mask));  // smaller than the picture
    Loaded l;
    LoadSurface(&l.s, ":mm.bmp;p.bmp");
    ASSERT_EQ(l.s.dib.width, 6);
    EXPECT_EQ(l.s.dib.height, 2);
    EXPECT_EQ(l.s.transMode, TransAlpha);
    EXPECT_STREQ(l.s.tag, "");
    EXPECT_EQ(PixelAt(l.s, 2, 1), Grad(2, 1));
    EXPECT_EQ(PixelAt(l.s, 3, 0), Mask(0, 0));
    EXPECT_EQ(PixelAt(l.s, 4, 0), Mask(1, 0));
    EXPECT_EQ(PixelAt(l.s, 5, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(PixelAt(l.s, 3, 1), (Bgr{0, 0, 0}));
    Loaded e;
    EXPECT_EQ(FatalText([&] { LoadSurface(&e.s, ":mm.bmp/2,0,0;p.bmp"); }),
              "エラー: 画像指定タグ:mファイル名のときは複数セル画像はサポートしていません。");
}

TEST_F(LoadTag, MissingPictures) {
    Loaded l;
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, ":a;none.bmp"); }), "ロードエラー: ファイルnone.bmpを開けません。");
    NoLoadError = 1;
    LoadSurface(&l.s, ":a;none2.bmp");
    EXPECT_FALSE(HasPicture(&l.s));
    NoLoadError = 0;
    BlankIfMissing = 1;
    LoadSurface(&l.s, "none3.bmp");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_EQ(l.s.dib.width, 2);
    EXPECT_EQ(PixelAt(l.s, 1, 1), (Bgr{0, 0, 0}));
    BlankIfMissing = 0;
    // A gif is no tag format without a plug-in.
    Write("a.gif", "GIF89a");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "a.gif"); }), "ロードエラー: ファイルa.gifを開けません。");
    // A file that is there but bad.
    Write("bad.bmp", "BMxxxx");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "bad.bmp"); }), "エラー: ロード失敗!");
    Write("bad.spb", "\x00\x01");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "bad.spb"); }), "エラー: ロード失敗!");
}

TEST_F(LoadTag, JpegModeRetriesWithAJpgName) {
    JpegMode = 1;
    std::vector<uint8_t> rgb(4 * 2 * 3, 128);
    Write("pic.jpg", EncodeJpegRgb(4, 2, rgb));
    Loaded l;
    LoadSurface(&l.s, ":c;pic.bmp");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_EQ(l.s.dib.width, 4);
    EXPECT_STREQ(l.s.tag, ":c;pic.jpg");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, ":c;none.bmp"); }), "ロードエラー(JPEGMODE): :c;none.jpg");
    EXPECT_EQ(JpegModeName("a.bmp"), "a.jpg");
    EXPECT_EQ(JpegModeName("a.BMP"), "a.BMP");
    EXPECT_EQ(JpegModeName("a.bxp"), "a.jxp");
    EXPECT_EQ(JpegModeName("a.bmx"), "a.jpx");
    EXPECT_EQ(JpegModeName("xbmp"), "xjpg");  // no '.': the rewrite starts after position 0
    EXPECT_EQ(JpegModeName("bmp"), "bmp");
    EXPECT_EQ(JpegModeName("dir.b/x.png"), "dir.b/x.png");
}

TEST_F(LoadTag, JpegFromTheFolder) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 16 * 8; i++) { rgb.push_back(250); rgb.push_back(20); rgb.push_back(10); }
    Write("c.jpg", EncodeJpegRgb(16, 8, rgb));
    Write("g.jpeg", EncodeJpegRgb(16, 8, rgb, 90, true));
    Loaded l;
    LoadSurface(&l.s, "c.jpg");
    ASSERT_EQ(l.s.dib.width, 16);
    Bgr p = PixelAt(l.s, 3, 3);
    EXPECT_NEAR(p[2], 250, 6);
    EXPECT_NEAR(p[1], 20, 6);
    EXPECT_NEAR(p[0], 10, 6);
    LoadSurface(&l.s, "g.jpeg");
    p = PixelAt(l.s, 3, 3);
    EXPECT_NEAR(p[0], 250, 3);
    EXPECT_EQ(p[0], p[2]);
    Write("bad.jpg", "\xFF\xD8\xFF\xE0 not a jpeg");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "bad.jpg"); }), "エラー: JPEGがロード出来ません。OLEが使えません");
}

TEST_F(LoadTag, PngNeedsTheLibrary) {
    std::vector<uint8_t> rgba = {10, 20, 30, 255, 40, 50, 60, 0, 70, 80, 90, 128, 1, 2, 3, 4};
    Write("p.png", EncodePng(4, 1, rgba, 4));
    Loaded l;
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "p.png"); }), "ロードエラー: ファイルp.pngを開けません。");
    PngLibraryLoaded = true;
    LoadSurface(&l.s, ":c;p.png");
    ASSERT_EQ(l.s.dib.width, 4);
    EXPECT_EQ(PixelAt(l.s, 1, 0), (Bgr{60, 50, 40}));  // alpha ignored
    // Alpha mode: twice as wide, colour and mask 255 - alpha per cell.
    LoadSurface(&l.s, ":a/2,0,0;p.png");
    ASSERT_EQ(l.s.dib.width, 8);
    EXPECT_EQ(PixelAt(l.s, 0, 0), (Bgr{30, 20, 10}));
    EXPECT_EQ(PixelAt(l.s, 1, 0), (Bgr{60, 50, 40}));
    EXPECT_EQ(PixelAt(l.s, 2, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(PixelAt(l.s, 3, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(PixelAt(l.s, 4, 0), (Bgr{90, 80, 70}));
    EXPECT_EQ(PixelAt(l.s, 6, 0), (Bgr{127, 127, 127}));
    EXPECT_EQ(PixelAt(l.s, 7, 0), (Bgr{251, 251, 251}));
    EXPECT_EQ(GetCellWidth(&l.s), 2);
    Write("bad.png", "\x89PNG\r\n\x1a\n broken");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "bad.png"); }), "エラー: ロード失敗!");
}

TEST_F(LoadTag, SpbFromTheFolder) {
    std::vector<uint8_t> px(3 * 3 * 3);
    for (size_t i = 0; i < px.size(); i++) px[i] = (uint8_t)(i * 7);
    Write("s.spb", EncodeSpb(3, 3, px));
    Loaded l;
    LoadSurface(&l.s, ":c;s.spb");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_EQ(PixelAt(l.s, 2, 1), (Bgr{px[15], px[16], px[17]}));
}

TEST_F(LoadTag, FileLog) {
    Write("p.bmp", Bmp24(2, 2, Grad));
    Loaded l;
    LoadSurface(&l.s, ":c;p.bmp");
    EXPECT_FALSE(FindInNameLog(&FileLog, "p.bmp"));
    FileLogOn = 1;
    LoadSurface(&l.s, "<b5>:a;p.bmp");
    EXPECT_TRUE(FindInNameLog(&FileLog, "P.BMP"));
    FileLogOn = 0;
}

TEST_F(LoadTag, StringSpriteFields) {
    VariableCount = 10;
    AllocateVariableTables(10);
    AssignString(&StrVariables[5], "abc");
    Loaded l;
    LoadSurface(&l.s, ":s/24,24,2;#ffffff#000000$5");
    EXPECT_EQ(l.s.isStringSprite, 1);
    EXPECT_EQ(l.s.transMode, TransAlpha);
    EXPECT_EQ(l.s.cellCount, 2);
    EXPECT_EQ(l.s.cellTime, StringSpriteCellTime);
    EXPECT_EQ(l.s.loopMode, 3);
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, ":s#ffffff$10"); }), "エラー: 文字列変数番号が範囲外です。");
}

// ---- archives ----

TEST_F(LoadTag, OvaEntries) {
    std::vector<uint8_t> px(4 * 2 * 3);
    for (size_t i = 0; i < px.size(); i++) px[i] = (uint8_t)(i * 11);
    std::string bmp = Bmp24(3, 2, Grad);
    std::vector<OvaItem> items = {
        {"pic.bmp", Spb, EncodeSpb(4, 2, px), 0},
        {"lz.bmp", Lzss, bmp},
        {"raw.bmp", Stored, bmp},
        {"x.xyz", Stored, "XY"},
    };
    Write("arc.ova", PackOva(items));
    OvaMode = 1;
    LoadArchiveIndexes();
    Loaded l;
    LoadSurface(&l.s, ":c;PIC.bmp");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_EQ(PixelAt(l.s, 3, 1), (Bgr{px[21], px[22], px[23]}));
    LoadSurface(&l.s, ":c;lz.bmp");
    EXPECT_EQ(PixelAt(l.s, 2, 1), Grad(2, 1));
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "raw.bmp"); }), "エラー: BMPが圧縮されていません");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "gone.bmp"); }), "エラー: OVAアーカイブからファイルgone.bmpがみつかりません");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "x.xyz"); }), "ロードエラー: ファイルx.xyzを開けません。");
    // Under noloaderror an archive miss still reaches the final check.
    NoLoadError = 1;
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "gone2.bmp"); }), "エラー: ロード失敗!");
    NoLoadError = 0;
    BlankIfMissing = 1;
    LoadSurface(&l.s, "gone3.bmp");
    EXPECT_EQ(l.s.dib.width, 2);
    // For jpg the two switches are tested the other way round.
    NoLoadError = 1;
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "gone.jpg"); }), "エラー: ロード失敗!");
}

TEST_F(LoadTag, Ov2Entries) {
    std::string bmp = Bmp24(3, 2, Grad);
    Write("00.ov2", PackOv2({{"pic.bmp", bmp}, {"anim.gif", "GIF89a"}, {"bad.jpg", "nojpeg"}}));
    LoadArchiveIndexes();
    Loaded l;
    LoadSurface(&l.s, ":c;Pic.BMP");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_EQ(PixelAt(l.s, 1, 1), Grad(1, 1));
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "anim.gif"); }), "エラー: OV2形式はBMP,JPEG,PNG以外には対応していません。");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "bad.jpg"); }), "エラー: JPEGのロードに失敗しました。");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "gone.bmp"); }), "エラー: OVAアーカイブからファイルgone.bmpがみつかりません");
}

TEST_F(LoadTag, JpegAndJpegInOv2) {
    std::vector<uint8_t> rgb(4 * 2 * 3, 200);
    std::string jpg = EncodeJpegRgb(4, 2, rgb);
    Write("00.ov2", PackOv2({{"a.jpg", jpg}, {"b.jpeg", jpg}}));
    LoadArchiveIndexes();
    for (const char* tag : {":c;A.JPG", ":c;b.JPEG"}) {
        Loaded l;
        LoadSurface(&l.s, tag);
        ASSERT_TRUE(HasPicture(&l.s)) << tag;
        EXPECT_EQ(l.s.dib.width, 4) << tag;
        EXPECT_NEAR(PixelAt(l.s, 1, 1)[1], 200, 3) << tag;
    }
}

TEST_F(LoadTag, RegisteredArchivesComeLast) {
    // Found nowhere else, a picture comes from an `arc` registration through
    // a temporary copy, which is gone once the picture is loaded.
    Write("pics.arc", PackArc({{"cg\\p.bmp", Bmp24(3, 2, Grad)}, {"cg\\bad.bmp", "BMxx"}}));
    ASSERT_TRUE(AddArcArchive("pics.arc|zelunarc.dll"));
    auto temporaries = [] {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(PlatTempDir()))
            if (e.path().filename().string().rfind("orva-", 0) == 0) n++;
        return n;
    };
    int before = temporaries();
    Loaded l;
    LoadSurface(&l.s, ":c;CG/P.bmp");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_EQ(PixelAt(l.s, 2, 1), Grad(2, 1));
    EXPECT_STREQ(l.s.tag, ":c;CG/P.bmp");
    EXPECT_EQ(temporaries(), before);
    // The folder wins over the registration.
    Write("cg/p.bmp", Bmp24(3, 2, Bright));
    Loaded f;
    LoadSurface(&f.s, ":c;cg/p.bmp");
    EXPECT_EQ(PixelAt(f.s, 2, 1), Bright(2, 1));
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "cg/bad.bmp"); }), "エラー: ロード失敗!");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "cg/none.bmp"); }), "ロードエラー: ファイルcg/none.bmpを開けません。");
}

// ---- image plug-ins ----

TEST_F(LoadTag, ImagePlugins) {
    std::ifstream in(IMAGE_TEST_PLUGIN, std::ios::binary);
    std::string lib((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(lib.empty());
    Write("gfxtestspi.so", lib);
    AssignString(&ImagePlugins[0], "other.dll|abc");
    AssignString(&ImagePlugins[1], "gfxtestspi.dll|xyz");
    AssignString(&ImagePlugins[2], "later.dll|xyz");
    ImagePluginCount = 3;
    EXPECT_STREQ(FindImagePlugin("xyz"), "gfxtestspi.dll");
    EXPECT_EQ(FindImagePlugin("png"), nullptr);
    std::string pic = std::string("XY\x02\x01", 4) + std::string("\x01\x02\x03\x04\x05\x06", 6);
    Write("p.xyz", pic);
    Loaded l;
    LoadSurface(&l.s, ":c;p.xyz");
    ASSERT_TRUE(HasPicture(&l.s));
    EXPECT_EQ(PixelAt(l.s, 1, 0), (Bgr{4, 5, 6}));
    Write("f.xyz", "XN");
    EXPECT_EQ(FatalText([&] { LoadSurface(&l.s, "f.xyz"); }), "エラー: ロード失敗!");
    // From an ova archive, the memory form.
    Write("arc.ova", PackOva({{"in.xyz", Stored, pic}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    Loaded a;
    LoadSurface(&a.s, ":c;in.xyz");
    ASSERT_TRUE(HasPicture(&a.s));
    EXPECT_EQ(PixelAt(a.s, 0, 0), (Bgr{1, 2, 3}));
}

TEST(DibFromPlugin, ChecksSizesAndTurnsTopDown) {
    uint8_t info[40 + 8] = {};
    uint8_t bits[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    int32_t v = 40; memcpy(info, &v, 4);
    v = 1; memcpy(info + 4, &v, 4);
    v = -2; memcpy(info + 8, &v, 4);
    info[14] = 24;
    Dib d = {};
    ASSERT_TRUE(DibFromPluginBlocks(&d, info, bits));
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(d.bits[GetRowOffset(&d, 0)], 1);
    EXPECT_EQ(d.bits[GetRowOffset(&d, 1)], 4);
    v = 0; memcpy(info + 4, &v, 4);
    EXPECT_FALSE(DibFromPluginBlocks(&d, info, bits));
    v = 1; memcpy(info + 4, &v, 4);
    info[14] = 8;
    v = 300; memcpy(info + 32, &v, 4);
    EXPECT_FALSE(DibFromPluginBlocks(&d, info, bits));
    FreeDib(&d);
}

// ---- commands ----

class GfxCommands : public GfxTest {
protected:
    std::string script;
    void TearDown() override {
        ForgetScriptText();
        GfxTest::TearDown();
    }
    void At(const std::string& utf8) { UseScriptText(&script, Cp932(utf8)); }
};

TEST_F(GfxCommands, SpiAppendsLowerCasedUpTo50) {
    VariableCount = 10;
    AllocateVariableTables(10);
    for (int i = 0; i < ImagePluginMax; i++) {
        At("\"Lib" + std::to_string(i) + ".DLL|XYZ\"\n");
        Cmd_spi();
        EXPECT_EQ(script[ReadPosition], '\n');
    }
    EXPECT_EQ(ImagePluginCount, 50);
    EXPECT_STREQ(StringText(ImagePlugins[49]), "lib49.dll|xyz");
    EXPECT_STREQ(FindImagePlugin("xyz"), "lib0.dll");
    At("\"one|more\"\n");
    EXPECT_EQ(FatalText([&] { Cmd_spi(); }), "エラー: SPI設定が多すぎます。");
}

TEST_F(GfxCommands, Switches) {
    Cmd_jpegmode();
    EXPECT_EQ(JpegMode, 1);
    Cmd_noloaderror();
    EXPECT_EQ(NoLoadError, 1);
}

TEST_F(GfxCommands, PassDefaults) {
    BlankIfMissing = 1;
    DefaultTransMode = TransAlpha;
    AssignString(&ImagePlugins[7], "x.dll|y");
    ImagePluginCount = 8;
    SetGraphicsPassDefaults();
    EXPECT_EQ(BlankIfMissing, 0);
    SetGraphicsLoadDefaults();
    EXPECT_EQ(DefaultTransMode, TransLeftUp);
    ClearImagePlugins();
    EXPECT_EQ(ImagePluginCount, 0);
    EXPECT_STREQ(StringText(ImagePlugins[7]), "");
    EXPECT_EQ(FindImagePlugin("y"), nullptr);
}
