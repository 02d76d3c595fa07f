// The slot menu inside the test program: the slot texts with the files'
// times in full-width digits, the layout, hover and choice by mouse and
// keys (wrapping, one move per 125 ms while held), load mode refusing a
// slot without file, cancelling, a reset, at most 20 slots, savename cut to
// its field, and the save/load dialog.
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/readers.h"
#include "save/persist.h"
#include "save/slot_menu.h"
#include "save/slotmenu_commands.h"
#include "tests/lookback/viewer_fixture.h"

namespace {

class SlotMenu : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        old_dir_ = PlatGameDir();
        dir_ = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir_.c_str()));
        SaveDirectory.clear();
        setenv("TZ", "UTC", 1);
        tzset();
        SetSlotMenuPassDefaults();
        SystemMenuActive = 1;
        MenuTintDone = 0;
    }
    void TearDown() override {
        SystemMenuActive = 0;
        MenuTintDone = 0;
        PlatSetGameDir(old_dir_.c_str());
        ForgetScriptText();
        ViewerTest::TearDown();
    }
    // A slot file written at the given UTC time.
    void Slot(int n, int year, int month, int day, int hour, int minute) {
        std::string name = "save" + std::to_string(n) + ".dat";
        WriteGameFile(dir_, name, "x");
        struct tm t = {};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = hour;
        t.tm_min = minute;
        struct utimbuf times;
        times.actime = times.modtime = timegm(&t);
        ASSERT_EQ(utime((dir_ + "/" + name).c_str(), &times), 0);
    }
    static std::string Text(int i) {
        bool exists;
        return Utf8(SaveMenuSlotText(i, &exists));
    }
    // The pointer position of slot i's row with the menu's layout.
    static std::string At(int i) {
        bool exists;
        int len = (int)SaveMenuSlotText(0, &exists).size();
        int count = SaveMenuSlotCount > 20 ? 20 : SaveMenuSlotCount;
        int left = ScreenWidth / 2 - len * MenuCharAdvance / 4;
        int first = ScreenHeight / 2 - (count / 2 - 1) * MenuLineAdvance;
        int top = (first < 1 ? 1 : first) + i * MenuLineAdvance;
        return std::to_string(left + 5) + " " + std::to_string(top + 3);
    }
    static int Run(int mode, std::string* caption) {
        char buffer[SaveMenuCaptionSize];
        int r = RunSaveLoadMenu(mode, buffer);
        *caption = Utf8(buffer);
        return r;
    }
    std::string dir_, old_dir_;
};

TEST_F(SlotMenu, SlotTextsWithFullWidthTimes) {
    Slot(1, 2026, 12, 24, 9, 5);
    Slot(3, 2026, 3, 7, 23, 59);
    EXPECT_EQ(Text(0), "しおり１　１２月２４日　９時０５分");
    EXPECT_EQ(Text(1), "しおり２　－－－－－－－－－－－－");
    EXPECT_EQ(Text(2), "しおり３　　３月　７日２３時５９分");
    // Ten slots or more: one- and two-digit numbers line up.
    SaveMenuSlotCount = 12;
    EXPECT_EQ(Text(0), "しおり　１　１２月２４日　９時０５分");
    EXPECT_EQ(Text(9), "しおり１０　－－－－－－－－－－－－");
    // The save folder holds the slots.
    SaveDirectory = "sub";
    WriteGameFile(dir_, "sub/save2.dat", "x");
    bool exists = false;
    SaveMenuSlotText(1, &exists);
    EXPECT_TRUE(exists);
    SaveMenuSlotText(0, &exists);
    EXPECT_FALSE(exists);
}

TEST_F(SlotMenu, MouseChoosesAndLoadRefusesAnEmptySlot) {
    Slot(1, 2026, 1, 2, 3, 4);
    std::string caption;
    Event(10, "move " + At(1));
    Event(20, "click " + At(1));
    EXPECT_EQ(Run(1, &caption), 1);
    EXPECT_EQ(caption, "しおり２");
    // Load: slot 2 has no file and stays; Enter on slot 1 chooses it.
    Event(10, "move " + At(1));
    Event(20, "click " + At(1));
    Event(40, "move " + At(0));
    Event(50, "key enter");
    uint64_t t0 = HeadlessElapsed();
    EXPECT_EQ(Run(0, &caption), 0);
    EXPECT_GE(HeadlessElapsed() - t0, 50u);
    EXPECT_EQ(caption, "しおり１");
    EXPECT_EQ(Clicked, 0);
}

// The keys come once the menu is drawn (each piece of it shown takes
// virtual time: some 160 ms for nine slots).
TEST_F(SlotMenu, KeysMoveThePointerAndWrap) {
    std::string caption;
    // Up with nothing hovered: the last slot.
    Event(210, "key up");
    Event(230, "key enter");
    EXPECT_EQ(Run(1, &caption), 8);
    EXPECT_EQ(caption, "しおり９");
    // Down from nothing: the first; Up from the first wraps to the last;
    // Down from the last wraps to the first.
    Event(350, "key down");
    Event(500, "key up");
    Event(650, "key down");
    Event(670, "key enter");
    EXPECT_EQ(Run(1, &caption), 0);
    // Up held 300 ms: at once and every 125 ms, three moves from nothing.
    Event(350, "keydown up");
    Event(650, "keyup up");
    Event(670, "key enter");
    EXPECT_EQ(Run(1, &caption), 6);
}

TEST_F(SlotMenu, CancelResetAndEmptyMenu) {
    std::string caption = "x";
    Event(10, "rclick 5 5");
    EXPECT_EQ(Run(1, &caption), -1);
    EXPECT_EQ(caption, "");
    Event(10, "keydown escape");
    Event(40, "keyup escape");
    uint64_t t0 = HeadlessElapsed();
    EXPECT_EQ(Run(0, &caption), -1);
    EXPECT_GE(HeadlessElapsed() - t0, 40u);
    // savenumber 0: only the title; a click leaves nothing to choose.
    SaveMenuSlotCount = 0;
    Event(10, "click 320 240");
    Event(30, "rclick 5 5");
    EXPECT_EQ(Run(1, &caption), -1);
    PlatSetWindowProc([](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
        if (m == WM_COMMAND) {
            ResetRequested = 1;
            return 0;
        }
        return Proc(m, w, l);
    });
    SaveMenuSlotCount = 9;
    HeadlessInjectAt(HeadlessElapsed() + 20, WM_COMMAND, 1, 0);
    EXPECT_EQ(Run(1, &caption), -1);
}

TEST_F(SlotMenu, AtMostTwentySlots) {
    SaveMenuSlotCount = 25;
    std::string caption;
    // Once the twenty slots are drawn (some 330 virtual ms).
    Event(410, "key up");
    Event(430, "key enter");
    EXPECT_EQ(Run(1, &caption), 19);
    EXPECT_EQ(caption, "しおり２０");
    Event(10, "move " + At(4));
    Event(20, "click " + At(4));
    EXPECT_EQ(Run(1, &caption), 4);
    EXPECT_EQ(caption, "しおり　５");
}

TEST_F(SlotMenu, SavenameAndSavenumber) {
    std::string script;
    std::string long_title(300, 'a');
    UseScriptText(&script, Cp932("\"" + long_title + "\",\"ろーど\",\"記録\""));
    Cmd_savename();
    EXPECT_EQ(strlen(SaveMenuTitles[0]), 255u);
    EXPECT_EQ(Utf8(SaveMenuTitles[1]), "ろーど");
    EXPECT_EQ(Text(0), "記録１　－－－－－－－－－－－－");
    // A two-byte character is never cut in half.
    UseScriptText(&script, Cp932("\"" + std::string(200, 'b') + "漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢漢\",\"\",\"\""));
    Cmd_savename();
    EXPECT_EQ(strlen(SaveMenuTitles[0]), 255u - 1);
    UseScriptText(&script, "3+4");
    Cmd_savenumber();
    EXPECT_EQ(SaveMenuSlotCount, 7);
    SetSlotMenuPassDefaults();
    EXPECT_EQ(SaveMenuSlotCount, 9);
    EXPECT_EQ(Utf8(SaveMenuTitles[0]), "＜セーブ＞");
    EXPECT_EQ(Utf8(SaveMenuTitles[1]), "＜ロード＞");
    EXPECT_EQ(Utf8(SaveMenuTitles[2]), "しおり");
}

TEST_F(SlotMenu, TheDialogOnlyCloses) {
    SaveDialogMode = 1;
    EXPECT_EQ(RunSaveLoadDialog(), 0);
    ASSERT_FALSE(HeadlessDialogs().empty());
    EXPECT_EQ(Utf8(HeadlessDialogs().back().caption), "セーブメニュー");
    EXPECT_EQ(Utf8(SaveLoadDialog.ok), "セーブ");
    SaveDialogMode = 0;
    EXPECT_EQ(RunSaveLoadDialog(), 0);
    EXPECT_EQ(Utf8(HeadlessDialogs().back().caption), "ロードメニュー");
    EXPECT_EQ(Utf8(SaveLoadDialog.ok), "ロード");
    // Its procedure: OK and Cancel end it with 0; nothing else is handled.
    SaveLoadDialogProc(DialogInit, 0, 0);
    EXPECT_EQ(SaveLoadDialogProc(WM_MOUSEMOVE, 0, 0), 0);
    EXPECT_FALSE(SaveLoadDialog.ended);
    EXPECT_EQ(SaveLoadDialogProc(WM_COMMAND, 2, 0), 1);
    EXPECT_TRUE(SaveLoadDialog.ended);
    EXPECT_EQ(SaveLoadDialog.result, 0);
}

}  // namespace
