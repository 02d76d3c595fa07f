// The label table: where a label continues, case, duplicates, the limit and
// jumps to missing labels.
#include <string>

#include "core/labels.h"
#include "core/script.h"
#include "save/namelog.h"
#include "tests/core/script_fixture.h"

namespace {

class LabelTable : public ScriptTest {};

TEST_F(LabelTable, OffsetsAndLookups) {
    SetScript("*define\ngame\n  *Alone  \nline\n*inline  text here\n\t*TAB\n x *notalabel\n*a *b\n");
    ScanLabels();
    ASSERT_EQ(LabelCount, 6);
    const char* names[] = {"define", "alone", "inline", "tab", "a", "b"};
    for (int i = 0; i < 6; i++) EXPECT_STREQ(Labels[i].name, names[i]);
    auto at = [&](const char* name) {
        JumpToLabel(name);
        return Rest().substr(0, Rest().find('\n'));
    };
    EXPECT_EQ(at("define"), "game");          // alone on its line: the next line
    EXPECT_EQ(at("ALONE"), "line");           // blanks after the name, then the newline
    EXPECT_EQ(at("inline"), "text here");     // something follows on the line
    EXPECT_EQ(at("Tab"), " x *notalabel");
    EXPECT_EQ(at("a"), "*b");                 // the scan went on there: *b is one too
    EXPECT_EQ(at("b"), "");
    EXPECT_EQ(FindLabel("notalabel"), -1);
    // Jumps are logged.
    EXPECT_TRUE(FindInNameLog(&LabelLog, "ALONE"));
}

TEST_F(LabelTable, MissingLabelNamesItAsPassed) {
    SetScript("*start\n");
    ScanLabels();
    EXPECT_EQ(FatalOf([] { JumpToLabel("NoSuch"); }), "ラベルエラー: ラベル*NoSuchは存在しません");
}

TEST_F(LabelTable, DuplicateDefinition) {
    SetScript("*one\n*two\n*ONE\n");
    EXPECT_EQ(FatalOf([] { ScanLabels(); }), "エラー: ラベル*oneの多重定義です。");
}

TEST_F(LabelTable, ExactlyLabelMaxLoads) {
    std::string text;
    for (int i = 0; i < LabelMax; i++) text += "*l" + std::to_string(i) + "\n";
    SetScript(text);
    ScanLabels();
    EXPECT_EQ(LabelCount, LabelMax);
    JumpToLabel("l99");
    SetScript(text + "*extra\n");
    EXPECT_EQ(FatalOf([] { ScanLabels(); }), "エラー: ラベルが最大数を超えました。");
}

TEST_F(LabelTable, RescanReplacesTheTable) {
    SetScript("*a\n*b\n");
    ScanLabels();
    SetScript("*c\n");
    LabelCount = 0;
    ScanLabels();
    EXPECT_EQ(LabelCount, 1);
    EXPECT_EQ(FindLabel("a"), -1);
    EXPECT_EQ(FindLabel("c"), 0);
}

TEST_F(LabelTable, NulEndsTheScan) {
    SetScript(std::string("*a\nxx\0*b\n", 9));
    ScanLabels();
    EXPECT_EQ(LabelCount, 1);
}

}  // namespace
