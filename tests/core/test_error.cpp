// ScriptError: the box text with the file and line and the excerpt marked
// '|' and '>', the OVExec form, long texts cut, and the re-entry guard.
#include <cstring>
#include <string>

#include "core/error.h"
#include "core/script.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/core/script_fixture.h"

namespace {

class FatalError : public ScriptTest {};

std::string Format(const std::string& msg_utf8) {
    static char out[20000];
    FormatErrorText(Cp932(msg_utf8).c_str(), out, sizeof out);
    return Utf8(out);
}

TEST_F(FatalError, BoxShowsFileLineAndExcerpt) {
    std::string dir = EnterGameFolder();
    WriteGameFile(dir, "0.txt", "");
    SetScript("one\ntwo\nthree\nfour\nfive six\n");
    ReadPosition = (int)std::string("one\ntwo\nthree\nfour\nfive").size();
    int code = ExitCodeOf([] { ScriptError("\x83\x47\x83\x89\x81\x5b", "msg"); });  // エラー
    EXPECT_EQ(code, 1);  // the window's orderly 0 becomes 1 after a fault
    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    const HeadlessBox& box = HeadlessBoxes()[0];
    EXPECT_EQ(Utf8(box.caption), "エラー");
    EXPECT_TRUE(box.owned);
    EXPECT_EQ(box.text, "msg\n\n0.txt line:5\n\n|three\n|four\n>five");
}

TEST_F(FatalError, ZeroPaddedNameWhenTheFileIsStoredSo) {
    std::string dir = EnterGameFolder();  // no "3.txt": the name is "03.txt"
    // Files 0 to 2 end at the first three newlines.
    SetScript("a\nb\nc\nx\ny\n");
    ScriptFileEnds[0] = 1;
    ScriptFileEnds[1] = 3;
    ScriptFileEnds[2] = 5;
    ReadPosition = 8;  // "y": line 2 of file 3
    EXPECT_EQ(Format("m").substr(0, 19), "m\n\n03.txt line:2\n\n|");
    WriteGameFile(dir, "3.txt", "");
    EXPECT_EQ(Format("m").substr(0, 18), "m\n\n3.txt line:2\n\n|");
}

TEST_F(FatalError, ExcerptNearTheStart) {
    EnterGameFolder();
    SetScript("first line\nsecond\nthird\n");
    ReadPosition = 3;
    EXPECT_EQ(Format("m"), "m\n\n00.txt line:1\nfir");
    ReadPosition = 14;
    EXPECT_EQ(Format("m"), "m\n\n00.txt line:2\nfirst line\n>sec");
    ReadPosition = 18;  // start of line 3: two lines before it, the first unmarked
    EXPECT_EQ(Format("m"), "m\n\n00.txt line:3\nfirst line\n|second\n>");
}

TEST_F(FatalError, OvExecForm) {
    SetScript("*start\nabc\n");
    strcpy(ScriptBuffer + ExecAreaOffset, "mov %0,1");
    ExecAreaSavedPosition = 5;
    EXPECT_EQ(Format("メッセージ"), "メッセージ\n\nOVExec呼び出し:mov %0,1");
}

TEST_F(FatalError, LongTextsAreCut) {
    EnterGameFolder();
    // A message far beyond the box's copy, and lines far beyond the excerpt.
    std::string longline(10000, 'x');
    SetScript("a\n" + longline + "\n" + Cp932(std::string(3000, 'y') + "あ") + longline + "\n");
    ReadPosition = ScriptLength - 1;
    std::string msg;
    for (int i = 0; i < 3000; i++) msg += "あ";
    ExitCodeOf([&] { ScriptError("c", Cp932(msg).c_str()); });
    std::string text = HeadlessBoxes().back().text;
    EXPECT_LT(text.size(), 4000u);
    std::string shown = Utf8(text);  // whole characters only
    EXPECT_EQ(shown.find('\xEF'), std::string::npos);
    EXPECT_NE(shown.find("\n|xxx"), std::string::npos);
    EXPECT_NE(shown.find("\n>...xxx"), std::string::npos);
}

// The message is kept to 2047 bytes, cut before a character that would not
// fit whole: a lead byte is never left without its trail.
TEST_F(FatalError, LongMessageCutOnACharacterBoundary) {
    EnterGameFolder();
    SetScript("\n");
    struct Case {
        const char* head;  // before the run of "あ" (two bytes each)
        int kept;          // whole "あ" kept of 3000
    } cases[] = {
        {"", 1023},     // 2046 bytes; the next would need 2048
        {"x", 1023},    // 2047 bytes exactly
        {"xy", 1022},   // a lead byte at 2047 would lose its trail
        {"ｱｲ", 1022},   // half-width katakana are single bytes
        {"xyz", 1022},
    };
    std::string run;
    for (int i = 0; i < 3000; i++) run += "あ";
    for (const Case& c : cases) {
        for (bool formatted : {false, true}) {
            std::string msg = Cp932(c.head + run);
            HeadlessClearBoxes();
            if (formatted)
                ExitCodeOf([&] { ScriptErrorF("c", "%s", msg.c_str()); });
            else
                ExitCodeOf([&] { ScriptError("c", msg.c_str()); });
            ASSERT_FALSE(HeadlessBoxes().empty());
            std::string text = HeadlessBoxes().back().text;
            std::string want = Cp932(c.head);
            for (int i = 0; i < c.kept; i++) want += Cp932("あ");
            EXPECT_EQ(text.substr(0, text.find("\n\n")), want)
                << c.head << (formatted ? " (formatted)" : "");
        }
    }
}

TEST_F(FatalError, FormattedMessage) {
    SetScript("\n");
    EXPECT_EQ(FatalOf([] { ScriptErrorF("c", "n=%d s=%s", 5, "t"); }), "c: n=5 s=t");
}

// A fault while the first is reported (here: during the window's destruction,
// which the exit hook stands for) ends the process at once, without a box.
int ExitCalls = 0;
void NestedFaultHook(int code) {
    if (++ExitCalls == 1) ScriptError("second", "second fault");
    throw TestExit{code};
}
void ThrowHook(int code) { throw TestExit{code}; }

TEST_F(FatalError, SecondFaultExitsAtOnce) {
    SetScript("\n");
    ExitCalls = 0;
    PlatSetExitHook(NestedFaultHook);
    int code = ExitCodeOf([] { ScriptError("first", "first fault"); });
    PlatSetExitHook(ThrowHook);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(ExitCalls, 2);
    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    EXPECT_EQ(HeadlessBoxes()[0].caption, "first");
    // The guard is free again for the next fault.
    EXPECT_EQ(FatalOf([] { ScriptError("third", "x"); }), "third: x");
}

TEST_F(FatalError, NoScriptLoadedYet) {
    EnterGameFolder();
    FreeScript();
    char out[256];
    FormatErrorText("m", out, sizeof out);
    EXPECT_STREQ(out, "m\n\n00.txt line:1\n");
}

}  // namespace
