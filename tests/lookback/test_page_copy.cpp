// Shift+C in a button wait copies the page being written, and a newline,
// to the clipboard, once a press, and the wait goes on; C alone copies
// nothing.
#include "tests/lookback/viewer_fixture.h"
#include "ui/buttons.h"

namespace {

class PageCopy : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ClearButtons();
        ResetButtonSwitches();
        ButtonWaitTextMode = ButtonWaitSelectMode = 0;
        PlatSetClipboardText("");
    }
    void TearDown() override {
        ClearButtons();
        ResetButtonSwitches();
        for (int vk : {(int)VK_SHIFT, (int)'C'}) PlatPostMessage(WM_KEYUP, (uintptr_t)vk, 0);
        ViewerTest::TearDown();
    }
};

TEST_F(PageCopy, ShiftCCopiesThePageAndTheWaitGoesOn) {
    std::string page = Cp932("一行目\n二行目(るび/ルビ)");
    BacklogAppend(page.c_str(), (int)page.size());
    int copies = 0;
    std::string last;
    Observer() = [&](uint32_t) {
        if (HeadlessClipboard() != last) {
            last = HeadlessClipboard();
            copies++;
        }
    };
    Event(10, "key c");  // C alone: nothing
    Event(20, "keydown shift");
    Event(30, "keydown c");  // held across many messages: one copy
    Event(40, "move 1 1");
    Event(50, "move 2 2");
    Event(60, "keyup c");
    Event(70, "keyup shift");
    Event(100, "click 5 5");  // the wait ends on the click, not on the key
    EXPECT_EQ(ButtonWait(), 0);
    EXPECT_EQ(HeadlessClipboard(), "一行目\n二行目(るび/ルビ)\n");
    EXPECT_EQ(copies, 1);
}

}  // namespace
