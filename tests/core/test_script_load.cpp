// The script's three sources, the first-line settings and positions.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/script.h"
#include "core/variables.h"
#include "ext/optional.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

namespace {

void ResetSettings() {
    ScreenWidth = 640;
    ScreenHeight = 480;
    VariableCount = 4096;
    GlobalBorder = 200;
    LabelMax = 10000;
}

struct FirstLineCase {
    const char* line;
    bool lua_form;
    int w, h, v, g, l;
    const char* box;  // expected message box text (UTF-8), null when none
};

// Shown as the line itself in test names and failure messages.
void PrintTo(const FirstLineCase& c, std::ostream* os) {
    *os << '"';
    for (const char* p = c.line; *p; p++) *os << (*p == '\n' ? "\\n" : *p == '\r' ? "\\r" : std::string(1, *p));
    *os << '"';
}

const char* const kBorder = "エラー: グローバル変数設定に与える数字が大きすぎます。";
const char* const kBad = "エラー: 一行目の設定が間違っています。";

const FirstLineCase kFirstLines[] = {
    {";mode800,value300", false, 800, 600, 4096, 300, 10000, nullptr},
    {";value300", false, 640, 480, 4096, 300, 10000, nullptr},
    {";mode400", false, 400, 300, 4096, 200, 10000, nullptr},
    {";mode320,value50", false, 320, 240, 4096, 50, 10000, nullptr},
    {";$V8000G7000S1024,768", false, 1024, 768, 8000, 7000, 10000, nullptr},
    {";$v5000g300l20000", false, 640, 480, 5000, 300, 20000, nullptr},
    {"\n\r\n  ;mode800", false, 800, 600, 4096, 200, 10000, nullptr},
    {";\nmode800", false, 800, 600, 4096, 200, 10000, nullptr},
    {"; value300", false, 640, 480, 4096, 300, 10000, nullptr},  // read after the blanks
    {"*define", false, 640, 480, 4096, 200, 10000, nullptr},
    {";$V10G8", false, 640, 480, 10, 8, 10000, nullptr},
    {"--$V5000S800,600", true, 800, 600, 5000, 200, 10000, nullptr},
    {";$V5000", true, 640, 480, 4096, 200, 10000, nullptr},  // Lua form needs "--"
    {";$G7000V8000", false, 0, 0, 0, 0, 0, kBorder},  // G is checked against the V in force
    {";$V10G9", false, 0, 0, 0, 0, 0, kBorder},
    {";value5000", false, 0, 0, 0, 0, 0, kBorder},
    {";$V-99999999999G5", false, 0, 0, 0, 0, 0, kBorder},  // no overflow on V - 2
    {";$V100", false, 0, 0, 0, 0, 0, kBorder},  // the default border of 200 no longer fits
    {";$V8000G7000V100", false, 0, 0, 0, 0, 0, kBorder},  // checked again at the end
    {";$S1024", false, 0, 0, 0, 0, 0, kBad},
    {";$S1024x768", false, 0, 0, 0, 0, 0, kBad},
    {";$V0", false, 0, 0, 0, 0, 0, kBad},
    {";$V99999999999", false, 0, 0, 0, 0, 0, kBad},
    {";$L0", false, 0, 0, 0, 0, 0, kBad},
    {";$S0,0", false, 0, 0, 0, 0, 0, kBad},
    {";$S100000,100", false, 0, 0, 0, 0, 0, kBad},
    {";$S-640,480", false, 0, 0, 0, 0, 0, kBad},
    {";$G-1", false, 0, 0, 0, 0, 0, kBad},
    // Bounds, letters in either case, the list's end at CR, the Lua form.
    {";value4094", false, 640, 480, 4096, 4094, 10000, nullptr},
    {";value4095", false, 0, 0, 0, 0, 0, kBorder},
    {";$V2G0L1", false, 640, 480, 2, 0, 1, nullptr},
    {";$V1", false, 0, 0, 0, 0, 0, kBad},
    {";$s8192,8192", false, 8192, 8192, 4096, 200, 10000, nullptr},
    {";$S8193,600", false, 0, 0, 0, 0, 0, kBad},
    {";$V5000\rG300", false, 640, 480, 5000, 200, 10000, nullptr},
    {"-- value300", true, 640, 480, 4096, 300, 10000, nullptr},
    {"--mode400,value100", true, 400, 300, 4096, 100, 10000, nullptr},
};

class FirstLine : public testing::TestWithParam<FirstLineCase> {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        ClearCapturedBoxes();
        ResetSettings();
    }
};

TEST_P(FirstLine, SettingsOrError) {
    const FirstLineCase& c = GetParam();
    int code = ExitCodeOf([&] { ApplyFirstLine(c.line, (int)strlen(c.line), c.lua_form); });
    if (c.box) {
        EXPECT_EQ(code, -1);
        ASSERT_EQ(CapturedBoxes().size(), 1u);
        EXPECT_EQ(CapturedBoxes()[0], c.box);
        return;
    }
    EXPECT_EQ(code, -1000);
    EXPECT_TRUE(CapturedBoxes().empty());
    EXPECT_EQ(ScreenWidth, c.w);
    EXPECT_EQ(ScreenHeight, c.h);
    EXPECT_EQ(VariableCount, c.v);
    EXPECT_EQ(GlobalBorder, c.g);
    EXPECT_EQ(LabelMax, c.l);
}

INSTANTIATE_TEST_SUITE_P(Table, FirstLine, testing::ValuesIn(kFirstLines),
                         [](const testing::TestParamInfo<FirstLineCase>& info) {
                             // The row and the line's letters and digits:
                             // "Row3_V8000G7000S1024_768".
                             std::string name = "Row" + std::to_string(info.index) + "_";
                             for (const char* p = info.param.line; *p && name.size() < 40; p++) {
                                 char c = *p;
                                 bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                             (c >= '0' && c <= '9');
                                 if (word) name += c;
                                 else if (name.back() != '_') name += '_';
                             }
                             while (name.back() == '_') name.pop_back();
                             return name;
                         });

TEST(FirstLineBounds, TextIsNotReadPastItsLength) {
    StartHeadlessForTests();
    ResetSettings();
    // The digits after the given length must not be taken.
    const char line[] = ";value30099";
    ApplyFirstLine(line, 9, false);
    EXPECT_EQ(GlobalBorder, 300);
}

class ScriptSources : public testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        StartHeadlessForTests();
        ClearCapturedBoxes();
        ResetSettings();
        dir = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    }
    std::string Text() const { return std::string(ScriptBuffer, ScriptLength); }
    static std::string Scramble(std::string s, uint8_t key) {
        for (char& c : s) c = (char)(c ^ key);
        return s;
    }
};

TEST_F(ScriptSources, NumberedTextFilesWithSeparators) {
    WriteGameFile(dir, "0.txt", "a\r\nb\r\n");
    WriteGameFile(dir, "2.txt", "c\rd");     // a lone CR is kept
    WriteGameFile(dir, "010.txt", "never");  // numbers from 10 have no zero form
    WriteGameFile(dir, "10.txt", "e");
    LoadScript();
    EXPECT_EQ(TextFileMode, 1);
    std::string expect = "a\nb\n\n\nc\rd\n" + std::string(7, '\n') + "e" + std::string(90, '\n');
    EXPECT_EQ(Text(), expect);
    EXPECT_EQ(ScriptFileEnds[0], 4);
    EXPECT_EQ(ScriptFileEnds[1], 5);
    EXPECT_EQ(ScriptFileEnds[2], 9);
    EXPECT_EQ(ScriptFileEnds[10], 18);
    EXPECT_EQ(ScriptFileEnds[99], (int)expect.size() - 1);
    EXPECT_EQ(ScriptBuffer[ScriptLength], 0);
    // The sizes are measured before text-mode reading drops the CRs.
    EXPECT_EQ(ExecAreaOffset, 6 + 3 + 1 + 512);
    EXPECT_GE(ScriptCapacity, ExecAreaOffset + 512);
}

TEST_F(ScriptSources, ZeroPaddedNameOnlyWhenThePlainOneIsMissing) {
    WriteGameFile(dir, "00.txt", "zero");
    WriteGameFile(dir, "01.txt", "one");
    WriteGameFile(dir, "1.txt", "ONE");
    LoadScript();
    EXPECT_EQ(Text().substr(0, 9), "zero\nONE\n");
}

TEST_F(ScriptSources, TextFilesWinOverScrambledScripts) {
    WriteGameFile(dir, "orvascript.dat", Scramble("dat", 0x5B));
    WriteGameFile(dir, "00.txt", "text");
    LoadScript();
    EXPECT_EQ(Text().substr(0, 5), "text\n");
}

TEST_F(ScriptSources, ScrambledDatWithParts) {
    WriteGameFile(dir, "orvascript.dat", Scramble(";$V300\nmain", 0x5B));
    WriteGameFile(dir, "00.np", Scramble("p0", 0x5B));
    WriteGameFile(dir, "03.np", Scramble("p3\r\n", 0x5B));  // no text-mode translation
    LoadScript();
    EXPECT_EQ(TextFileMode, 0);
    EXPECT_EQ(Text(), ";$V300\nmain\np0\np3\r\n\n");
    EXPECT_EQ(VariableCount, 300);
    EXPECT_EQ(ExecAreaOffset, 11 + 2 + 2 + 4 + 2 + 512);
    EXPECT_EQ(ScriptFileEnds[0], 0);
    EXPECT_EQ(ScriptFileEnds[99], 0xFFFFFF);
}

TEST_F(ScriptSources, ZatWinsOverDatAndUsesItsOwnKey) {
    WriteGameFile(dir, "orvascript.zat", Scramble("zat", 0xD3));
    WriteGameFile(dir, "orvascript.dat", Scramble("dat", 0x5B));
    LoadScript();
    EXPECT_EQ(Text(), "zat\n");
}

TEST_F(ScriptSources, TablesFollowTheFirstLine) {
    WriteGameFile(dir, "0.txt", ";$V300G100L50\n*define\n");
    LoadScript();
    EXPECT_EQ(VariableCount, 300);
    EXPECT_EQ(GlobalBorder, 100);
    EXPECT_EQ(IntLimitMax[299], -1);
    EXPECT_EQ(IntLimitMin[0], -1);
    EXPECT_STREQ(StrVariables[301].text, "");
    IntVariables[301] = 7;  // the two spare entries exist
}

TEST(PositionToLine, AcrossFilesAndMissingOnes) {
    StartHeadlessForTests();
    ResetSettings();
    std::string dir = MakeGameFolder();
    ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    WriteGameFile(dir, "0.txt", "l1\nl2\nl3");
    WriteGameFile(dir, "2.txt", "m1\nm2");
    LoadScript();
    struct { int pos, file, line; } cases[] = {
        {0, 0, 1}, {3, 0, 2}, {6, 0, 3}, {8, 0, 3},  // 8 is the separator of file 0
        // The file index moves one step per byte walked, so the byte after a
        // file's end still counts to it, and the first byte of a file after
        // a missing one still counts to the missing one.
        {9, 0, 4}, {10, 1, 2}, {11, 2, 1}, {13, 2, 2}, {15, 2, 2},
    };
    for (auto c : cases) {
        int f, l;
        PositionToLine(c.pos, &f, &l);
        EXPECT_EQ(f, c.file) << "position " << c.pos;
        EXPECT_EQ(l, c.line) << "position " << c.pos;
    }
    char name[32];
    ScriptFileName(2, name, sizeof name);
    EXPECT_STREQ(name, "2.txt");
    ScriptFileName(1, name, sizeof name);
    EXPECT_STREQ(name, "01.txt");  // no "1.txt": the zero form is named
    ScriptFileName(99, name, sizeof name);
    EXPECT_STREQ(name, "099.txt");  // as a scrambled script's positions are named
}

TEST(PositionToLine, ScrambledScriptsStopAtFile99) {
    StartHeadlessForTests();
    ResetSettings();
    std::string dir = MakeGameFolder();
    ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    std::string text(300, 'x');
    text[200] = '\n';
    for (char& c : text) c = (char)(c ^ 0x5B);
    WriteGameFile(dir, "orvascript.dat", text);
    LoadScript();
    int f, l;
    PositionToLine(250, &f, &l);
    EXPECT_EQ(f, 99);
    EXPECT_EQ(l, 2);
}

}  // namespace

namespace {

TEST(LuaOnly, NoScriptWithTheBridgeRunsTheBuiltInScript) {
    StartHeadlessForTests();
    ResetSettings();
    std::string dir = MakeGameFolder();
    ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    // The folder's file loses every CR, so the list goes on after one.
    WriteGameFile(dir, "system.lua", "\r\n--$V5000\rG300\r\nfunction main() end\n");
    LuaBridgeLoaded = true;
    LoadScript();
    LuaBridgeLoaded = false;
    EXPECT_EQ(LuaOnlyMode, 1);
    EXPECT_EQ(ScriptLength, 49);
    EXPECT_STREQ(ScriptBuffer, "*define\ndeletemenu\nluasub main\ngame\n*start\nmain\n");
    EXPECT_EQ(ExecAreaOffset, 49 + 512);
    EXPECT_EQ(VariableCount, 5000);
    EXPECT_EQ(GlobalBorder, 300);
    EXPECT_EQ(TextFileMode, 0);
}

TEST(LuaOnly, WithoutTheBridgeAMissingScriptIsFatal) {
    StartHeadlessForTests();
    ClearCapturedBoxes();
    ResetSettings();
    std::string dir = MakeGameFolder();
    ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    WriteGameFile(dir, "system.lua", "--$V5000\n");
    WriteGameFile(dir, "0.txt", "");  // an empty file is no script either
    int code = ExitCodeOf([] { LoadScript(); });
    EXPECT_EQ(code, 1);
    ASSERT_FALSE(CapturedBoxes().empty());
    EXPECT_EQ(CapturedBoxes()[0].rfind("エラー: スクリプトファイルが見つかりません。", 0), 0u);
}

}  // namespace

#include "archive/archives.h"
#include "archive/ov2.h"
#include "archive/ova.h"
#include "tests/archive/arcpack.h"

namespace {

using namespace arcpack;

// In Lua-only mode the settings line of "system.lua" may come from an
// archive: ova while ova archives are on, else ov2; read as stored.
TEST(LuaOnly, SettingsLineFromArchives) {
    StartHeadlessForTests();
    struct Case {
        bool ova;
        int type;
        const char* text;
        int expect_v, expect_g;
    } cases[] = {
        {true, Stored, "--$V5000\nfunction main() end\n", 5000, 200},
        // packed bytes are not unpacked: no settings
        {true, Lzss, "--$V5000\nfunction main() end\n", 4096, 200},
        {false, Stored, "--$V6000\n", 6000, 200},
        // as stored: a CR ends the list (only the folder's file loses its CRs)
        {false, Stored, "--$V6000\rG300\n", 6000, 200},
        {true, Stored, "--$V6000\rG300\n", 6000, 200},
    };
    for (const Case& c : cases) {
        ResetSettings();
        ForgetArchiveState();
        std::string dir = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
        if (c.ova) {
            WriteGameFile(dir, "arc.ova",
                          PackOva({{"other.txt", Stored, "x"}, {"system.lua", c.type, c.text}}));
            OvaMode = 1;
        } else {
            WriteGameFile(dir, "00.ov2", PackOv2({{"system.lua", c.text}}));
            LoadOv2Indexes();
            Ov2Mode = 1;
        }
        LuaBridgeLoaded = true;
        LoadScript();
        LuaBridgeLoaded = false;
        EXPECT_EQ(LuaOnlyMode, 1);
        EXPECT_EQ(VariableCount, c.expect_v) << "ova " << c.ova << " type " << c.type;
        EXPECT_EQ(GlobalBorder, c.expect_g) << c.text;
    }
    ForgetArchiveState();
}

}  // namespace

namespace {

// The position rule as a plain walk over the bytes, to hold the indexed
// look-up against.
void WalkPosition(const char* text, const int* ends, int position, int* file, int* line) {
    int f = 0, n = 0, s = 0;
    for (int j = 0; j < position; j++) {
        if (f < 99 && j > ends[f]) {
            f++;
            s = n;
        }
        if (text[j] == '\n') n++;
    }
    *file = f;
    *line = n - s + 1;
}

// Every position of the script in memory against the walk.
void ExpectSameAsWalk(const char* what) {
    for (int p = 0; p <= ScriptLength; p++) {
        int f, l, wf, wl;
        PositionToLine(p, &f, &l);
        WalkPosition(ScriptBuffer, ScriptFileEnds, p, &wf, &wl);
        ASSERT_EQ(f, wf) << what << " at " << p;
        ASSERT_EQ(l, wl) << what << " at " << p;
    }
}

TEST(PositionToLine, SameAsTheByteWalkOnRandomScripts) {
    StartHeadlessForTests();
    uint32_t seed = 12345;
    auto next = [&](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int round = 0; round < 300; round++) {
        FreeScript();
        int len = (int)next(600);
        ScriptCapacity = len + 2048;
        ScriptBuffer = new char[ScriptCapacity]();
        int nl_odds = 1 + (int)next(8);  // from nearly all newlines to few
        for (int i = 0; i < len; i++) ScriptBuffer[i] = next(nl_odds) == 0 ? '\n' : 'x';
        ScriptLength = len;
        // File ends as each source leaves them: rising (text files, some
        // equal for missing files), all zero (scrambled), or anything.
        int kind = round % 3, at = 0;
        for (int k = 0; k < 100; k++) {
            if (kind == 0) at += (int)next(12), ScriptFileEnds[k] = at;
            else if (kind == 1) ScriptFileEnds[k] = 0;
            else ScriptFileEnds[k] = (int)next(700) - 50;
        }
        if (kind == 1) ScriptFileEnds[99] = 0xFFFFFF;
        ExpectSameAsWalk("random script");
        // The index follows a new text of the same length put in by hand.
        for (int i = 0; i < len; i++) ScriptBuffer[i] = ScriptBuffer[i] == '\n' ? 'y' : '\n';
        ScriptTextReplaced();
        ExpectSameAsWalk("replaced text");
    }
    FreeScript();
}

TEST(PositionToLine, SameAsTheByteWalkOnLoadedScripts) {
    StartHeadlessForTests();
    ClearCapturedBoxes();
    ResetSettings();
    struct Source {
        std::vector<std::pair<const char*, std::string>> files;
    } sources[] = {
        {{{"0.txt", "a\r\nbb\r\n\r\n"}, {"3.txt", "\n\nc"}, {"07.txt", "d\ne\n"},
          {"12.txt", ""}, {"99.txt", "last\nline"}}},
        {{{"00.txt", "\n"}, {"1.txt", "x"}, {"2.txt", "y"}, {"3.txt", "\n"}}},
        {{{"orvascript.dat", std::string(150, 'q') + "\n" + std::string(60, '\n')},
          {"05.np", "r\ns"}}},
        {{{"orvascript.zat", "one\ntwo\n\nthree"}}},
    };
    for (const Source& s : sources) {
        std::string dir = MakeGameFolder();
        for (const auto& f : s.files) {
            std::string bytes = f.second;
            std::string name = f.first;
            uint8_t key = name.find(".zat") != std::string::npos ? 0xD3
                          : name.find(".dat") != std::string::npos ||
                                  name.find(".np") != std::string::npos
                              ? 0x5B
                              : 0;
            for (char& c : bytes) c = (char)(c ^ key);
            WriteGameFile(dir, name, bytes);
        }
        ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
        LoadScript();
        ExpectSameAsWalk(s.files[0].first);
        // A second load of a script of the same length is indexed afresh.
        LoadScript();
        ExpectSameAsWalk(s.files[0].first);
    }
    FreeScript();
}

TEST(PositionToLine, NoScriptAndPositionsOutsideTheText) {
    StartHeadlessForTests();
    FreeScript();
    memset(ScriptFileEnds, 0, sizeof ScriptFileEnds);
    ScriptFileEnds[99] = 0xFFFFFF;
    int f = -1, l = -1;
    PositionToLine(0, &f, &l);  // a missing script reads as empty
    EXPECT_EQ(f, 0);
    EXPECT_EQ(l, 1);
    PositionToLine(40, &f, &l);
    EXPECT_EQ(f, 0);
    EXPECT_EQ(l, 1);
    PositionToLine(-5, &f, &l);
    EXPECT_EQ(f, 0);
    EXPECT_EQ(l, 1);
}

}  // namespace
