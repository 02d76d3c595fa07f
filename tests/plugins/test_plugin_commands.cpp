// The plug-in commands in-process: their fatal texts (numbers out of range,
// missing libraries and entries, a name too long, a wrong getret operand)
// and getret's three stores.  Loading real plug-ins needs the program's
// exports, so that is left to the game-level tests.
#include <gtest/gtest.h>

#include <string>

#include "core/return_value.h"
#include "core/script.h"
#include "core/variables.h"
#include "ext/effect_plugin.h"
#include "ext/layer_commands.h"
#include "ext/layers.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

namespace {

class PluginCommands : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        saved_count_ = VariableCount;
        VariableCount = 100;
        AllocateVariableTables(VariableCount);
    }
    void TearDown() override {
        ForgetScriptText();
        FreeVariableTables();
        VariableCount = saved_count_;
        for (LayerSlot& slot : LayerSlots) slot = LayerSlot();
    }
    void Operands(const std::string& utf8) { UseScriptText(&script_, Cp932(utf8)); }
    template <class F>
    std::string Fatal(F cmd, const std::string& operands) {
        Operands(operands);
        return FatalBoxOf(cmd, true);
    }
    std::string script_;
    int saved_count_ = 0;
};

TEST_F(PluginCommands, FatalTexts) {
    struct Case {
        void (*cmd)();
        std::string operands, box;
    } cases[] = {
        {Cmd_setlayer, "32,0,\"x.dll\"", "エラー: レイヤ番号が不正です"},
        {Cmd_setlayer, "-1,0,\"x.dll\"", "エラー: レイヤ番号が不正です"},
        {Cmd_layermessage, "32,\"x\"", "エラー: レイヤ番号が不正です"},
        {Cmd_layermessage, "5,\"x\"", "エラー: そのレイヤにはメッセージ関数がありません。"},
        {Cmd_exec_dll, "\"missing.dll/x\"", "エラー: exec_dllへのDLL指定が不正です"},
        {Cmd_exec_dll, "\"" + std::string(256, 'x') + "/x\"", "エラー: DLL名が長すぎます"},
        {Cmd_getret, "5", "構文エラー: getretの第一引数は数字／文字変数／配列です。"},
        {Cmd_getret, "%100", "エラー: 変数番号が範囲外をさしています。"},
        {Cmd_getret, "$100", "エラー: 文字列変数番号が範囲外です。"},
    };
    for (const Case& c : cases) EXPECT_EQ(Fatal(c.cmd, c.operands), c.box) << c.operands;
    EXPECT_EQ(FatalBoxOf([] { RunEffectPlugin("missing.dll/x", nullptr, 100); }, true),
              "エラー: エフェクトに指定したDLLが不正です");
}

// A name of 255 characters is still a name (the library is only missing).
TEST_F(PluginCommands, DllNameLimit) {
    EXPECT_EQ(Fatal(Cmd_exec_dll, "\"" + std::string(255, 'x') + "/x\""),
              "エラー: exec_dllへのDLL指定が不正です");
}

TEST_F(PluginCommands, GetretStoresTheResults) {
    ReturnValue = 1234;
    strcpy(ReturnString, "text");
    Operands("%7");
    Cmd_getret();
    EXPECT_EQ(IntVariables[7], 1234);
    Operands("$8");
    Cmd_getret();
    EXPECT_STREQ(StrVariables[8].text, "text");
}

// setlayer of a library that is not there binds nothing; the parameter is
// the text after the first '/'.
TEST_F(PluginCommands, SetlayerKeepsTheParameter) {
    Operands("3,40,\"missing.dll/a/b c\"");
    Cmd_setlayer();
    EXPECT_EQ(LayerSlots[3].interval, 40);
    EXPECT_STREQ(LayerSlots[3].parameter, "a/b c");
    EXPECT_EQ(LayerSlots[3].Draw, nullptr);
    Operands("3,0,\"missing.dll\"");
    Cmd_setlayer();
    EXPECT_STREQ(LayerSlots[3].parameter, "");
}

}  // namespace
