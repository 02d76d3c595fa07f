// The reset to *start: a new game's state (local variables, the call stack,
// the text and input defaults that exist), what survives it (global
// variables, arrays, aliases, user-defined commands, limits), the missing
// *start label, and the system-menu reset carried out by the next command.
#include <cstring>
#include <string>

#include "core/aliases.h"
#include "save/savepoint.h"
#include "tests/core/flow_fixture.h"
#include "text/textline.h"
#include "ui/input_state.h"
#include "ui/traps.h"

namespace {

class Reset : public FlowTest {};

TEST_F(Reset, RestoresANewGameAndKeepsTheRest) {
    EXPECT_EQ(Play("*define\nnumalias n,4\ndefsub mycmd\ndim ?0[2]\nintlimit 70,0,10\ngame\n*start\n"
                   "mov %1,1\nmov $1,\"x\"\nmov %60,6\nmov $60,\"g\"\nmov ?0[1],3\ngosub *s\n*s\n"
                   "definereset\n"),
              "");
    ASSERT_EQ(CallStackDepth, 1);
    InTextGosub = 1;
    strcpy(Traps.label, "t");
    strcpy(Traps.timer_label, "u");
    SkipMode = 1;
    MenuResetRequested = 1;
    TagHandled = 1;
    TextColumns = 40;
    TextRows = 3;
    TextCursorColumn = 5;
    TextCursorLine = 2;
    SaveOn = 0;
    ResetToStart();
    EXPECT_EQ(Rest(), "mov %1,1\nmov $1,\"x\"\nmov %60,6\nmov $60,\"g\"\nmov ?0[1],3\ngosub *s\n*s\ndefinereset\n");
    EXPECT_EQ(IntVariables[1], 0);
    EXPECT_EQ(Str(1), "");
    EXPECT_EQ(IntVariables[60], 6);  // global (GlobalBorder is 50 here)
    EXPECT_EQ(Str(60), "g");
    EXPECT_EQ(CallStackDepth, 0);
    EXPECT_EQ(InTextGosub, 0);
    EXPECT_STREQ(Traps.label, "");
    EXPECT_STREQ(Traps.timer_label, "");
    EXPECT_EQ(SkipMode, 0);
    EXPECT_EQ(MenuResetRequested, 0);
    EXPECT_EQ(TagHandled, 0);
    EXPECT_EQ(TextColumns, 23);
    EXPECT_EQ(TextRows, 16);
    EXPECT_EQ(TextCursorColumn, 0);
    EXPECT_EQ(TextCursorLine, 0);
    EXPECT_EQ(SaveOn, 1);
    // Kept: what *define made.
    EXPECT_EQ(FindNumAlias("n"), 0);
    EXPECT_TRUE(IsDefsubName("mycmd"));
    ASSERT_EQ(ArrayCount, 1);
    EXPECT_EQ(ArrayVariables[0].data[1], 3);
    EXPECT_EQ(IntLimitMax[70], 10);
}

TEST_F(Reset, ResetCommandKeepsTheGlobalVariables) {
    EXPECT_EQ(Story("mov %1,%1+1\nmov %60,%60+1\nmov $60,$60+\"a\"\nif %60 < 3 reset\nmov %2,%1"), "");
    EXPECT_EQ(IntVariables[60], 3);
    EXPECT_EQ(Str(60), "aaa");
    EXPECT_EQ(IntVariables[2], 1);  // the local counter began anew each time
}

TEST_F(Reset, WithoutAStartLabel) {
    SetScriptUtf8("*define\ngame\n");
    ScanLabels();
    EXPECT_EQ(FatalOf([] { ResetToStart(); }), "ラベルエラー: ラベル*startは存在しません");
}

TEST_F(Reset, SystemMenuResetIsCarriedOutByTheNextCommand) {
    SetScriptUtf8("*start\nmov %1,1\n");
    ScanLabels();
    ReadPosition = 7;
    IntVariables[1] = 5;
    IntVariables[2] = 5;
    MenuResetRequested = 1;
    char w[WordBufferSize];
    ReadWord(w);
    ExecCommand(w, 0);  // the mov does not run: the reset does
    EXPECT_EQ(MenuResetRequested, 0);
    EXPECT_EQ(IntVariables[2], 0);
    EXPECT_EQ(ReadPosition, 7);
    EXPECT_EQ(IntVariables[1], 0);
}

}  // namespace
