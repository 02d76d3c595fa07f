// script_fixture.cpp - see script_fixture.h.
#include "tests/core/script_fixture.h"

#include <cstring>

#include "core/aliases.h"
#include "core/callstack.h"
#include "core/debug.h"
#include "core/dispatch.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "save/readlog.h"
#include "save/savepoint.h"
#include "text/textline.h"
#include "ui/input_state.h"
#include "ui/traps.h"

void ScriptTest::SetUp() {
    StartHeadlessForTests();
    ClearCapturedBoxes();
    saved_dir_ = PlatGameDir();
    saved_variable_count_ = VariableCount;
    saved_global_border_ = GlobalBorder;
    saved_label_max_ = LabelMax;
    VariableCount = 100;
    GlobalBorder = 50;
    LabelMax = 100;
    AllocateVariableTables(VariableCount);
    AllocateLabelTable(LabelMax);
    ArrayCount = 0;
    ClearAliasTables();
    ClearDefsubNames();
    CallStackDepth = 0;
    DefineEnded = 0;
    RestartRequested = 0;
    DefineRunning = 0;
    Clicked = RightClicked = SkipMode = 0;
    ResetRequested = QuitRequested = MenuResetRequested = 0;
    Traps = TrapSettings();
    TagModeOn = TagHandled = ZenkakkoOn = LuaTextHooksOn = TextGosubOn = 0;
    PageTagMode = LinePageOn = LinePage2On = NewPageBeforeText = EnglishMode = 0;
    PreTextGosubLabel[0] = 0;
    TextColumns = 23;
    TextRows = 16;
    ClickstrLines = 0;
    TextCursorColumn = TextCursorLine = 0;
    SaveOn = 1;
    NoCommandSavepoints = 0;
    ErrorSave = 0;
    ReadFlags = nullptr;
    ReadFlagsSize = 0;
    KidokuMode = 1;
    CloseDebugWindow();
    DebugStepChecked = 0;
    DebugLogOn = 0;
    ExecAreaSavedPosition = 0;
    SetScript("");
}

void ScriptTest::TearDown() {
    FreeScript();
    FreeLabelTable();
    FreeVariableTables();
    VariableCount = saved_variable_count_;
    GlobalBorder = saved_global_border_;
    LabelMax = saved_label_max_;
    CloseDebugWindow();
    PlatSetGameDir(saved_dir_.c_str());
}

void ScriptTest::SetScript(const std::string& cp932) { UseScriptText(cp932.data(), cp932.size()); }

std::string ScriptTest::Rest() const { return std::string(ScriptBuffer + ReadPosition); }

std::string ScriptTest::EnterGameFolder() {
    std::string dir = MakeGameFolder();
    EXPECT_TRUE(PlatSetGameDir(dir.c_str()));
    return dir;
}

std::string ScriptTest::LastBoxText() const {
    const auto& boxes = HeadlessBoxes();
    if (boxes.empty()) return "<no box>";
    return Utf8(boxes.back().text);
}

std::string ScriptTest::LastFatal() const {
    if (HeadlessBoxes().empty()) return "<no box>";
    return LastBoxCut(true);
}
