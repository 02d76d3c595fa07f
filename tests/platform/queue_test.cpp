// The message queue, timers, accelerators and the pumps.
#include "plat_test.h"

namespace {

std::vector<PlatMsg> Seen;  // what the window procedure received

intptr_t Record(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    PlatMsg m;
    m.message = message;
    m.wparam = wparam;
    m.lparam = lparam;
    Seen.push_back(m);
    return (intptr_t)message + 1;
}

void Fresh() {
    FreshPlatform();
    Seen.clear();
    PlatSetWindowProc(Record);
}

std::vector<uint32_t> Drain() {
    std::vector<uint32_t> out;
    PlatMsg m;
    while (PlatGetMessage(&m)) out.push_back(m.message);
    return out;
}

}  // namespace

TEST(Queue, PostedMessagesComeInOrder) {
    Fresh();
    PlatPostMessage(WM_COMMAND, 40001, 0);
    PlatPostMessage(WM_USER, 1, -5);
    PlatPostMessage(WM_COMMAND, 40002, 0);
    PlatMsg m;
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.message, WM_COMMAND);
    EXPECT_EQ(m.wparam, 40001u);
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_EQ(m.lparam, -5);
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.wparam, 40002u);
    EXPECT_FALSE(PlatGetMessage(&m));
}

TEST(Queue, PeekRemoveTakesOnlyTheFirstOfItsKind) {
    Fresh();
    PlatPostMessage(WM_LBUTTONDOWN, 1, 0);
    PlatPostMessage(WM_LBUTTONUP, 0, MakePointParam(1, 2));
    PlatPostMessage(WM_CHAR, 'a', 0);
    PlatPostMessage(WM_LBUTTONUP, 0, MakePointParam(3, 4));
    PlatMsg m;
    ASSERT_TRUE(PlatPeekRemove(WM_LBUTTONUP, &m));
    EXPECT_EQ(PointParamX(m.lparam), 1);
    EXPECT_EQ(PointParamY(m.lparam), 2);
    EXPECT_FALSE(PlatPeekRemove(WM_RBUTTONUP, &m));
    EXPECT_EQ(Drain(), (std::vector<uint32_t>{WM_LBUTTONDOWN, WM_CHAR, WM_LBUTTONUP}));
    EXPECT_FALSE(PlatPeekRemove(WM_LBUTTONUP, nullptr));
}

TEST(Queue, RemoveAllLeavesTheRestInOrder) {
    Fresh();
    for (int i = 0; i < 200; i++) PlatPostMessage(i % 3 ? WM_MOUSEMOVE : WM_USER + i, 0, 0);
    PlatRemoveAll(WM_MOUSEMOVE);
    std::vector<uint32_t> rest = Drain();
    ASSERT_EQ(rest.size(), 67u);
    for (size_t i = 0; i < rest.size(); i++) EXPECT_EQ(rest[i], WM_USER + 3 * i);
}

TEST(Queue, SendIsDirectPostWaits) {
    Fresh();
    PlatPostMessage(WM_USER + 1, 0, 0);
    EXPECT_EQ(PlatSendMessage(WM_USER + 2, 7, 8), (intptr_t)(WM_USER + 3));
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].message, WM_USER + 2u);
    EXPECT_EQ(Seen[0].wparam, 7u);
    EXPECT_EQ(Seen[0].lparam, 8);
    EXPECT_TRUE(PumpMessage());
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[1].message, WM_USER + 1u);
    EXPECT_FALSE(PumpMessage());
    PlatSetWindowProc(nullptr);
    EXPECT_EQ(PlatSendMessage(WM_USER, 0, 0), 0);
}

TEST(Queue, FullQueueDropsNewMessages) {
    Fresh();
    for (int i = 0; i < 5000; i++) PlatPostMessage(WM_USER, (uintptr_t)i, 0);
    PlatMsg m;
    int n = 0;
    uintptr_t last = 0;
    while (PlatGetMessage(&m)) {
        EXPECT_EQ(m.wparam, (uintptr_t)n);
        last = m.wparam;
        n++;
    }
    EXPECT_EQ(n, 4096);
    EXPECT_EQ(last, 4095u);
}

TEST(Timers, FireWhenDueOnlyWhenTheQueueIsEmpty) {
    Fresh();
    PlatSetTimer(1, 30);
    PlatMsg m;
    HeadlessAdvance(29);
    EXPECT_FALSE(PlatGetMessage(&m));  // 29 ms, and the empty poll adds 1
    PlatPostMessage(WM_USER, 0, 0);
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.message, WM_USER);  // queued messages first
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.message, WM_TIMER);
    EXPECT_EQ(m.wparam, 1u);
    EXPECT_FALSE(PlatGetMessage(&m));  // one message per period
    // A long pause still gives one WM_TIMER, and the next period counts
    // from when it was taken.
    HeadlessAdvance(1000);
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.message, WM_TIMER);
    EXPECT_FALSE(PlatGetMessage(&m));
    HeadlessAdvance(28);
    EXPECT_FALSE(PlatGetMessage(&m));
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.message, WM_TIMER);
}

TEST(Timers, KillRestartAndSeveral) {
    Fresh();
    PlatSetTimer(1, 30);
    PlatSetTimer(7, 50);
    HeadlessAdvance(60);
    std::vector<uint32_t> ids;
    PlatMsg m;
    while (PlatGetMessage(&m)) ids.push_back((uint32_t)m.wparam);
    EXPECT_EQ(ids, (std::vector<uint32_t>{1, 7}));
    PlatKillTimer(1);
    HeadlessAdvance(100);
    ids.clear();
    while (PlatGetMessage(&m)) ids.push_back((uint32_t)m.wparam);
    EXPECT_EQ(ids, (std::vector<uint32_t>{7}));
    // Setting again restarts the count with the new period.
    PlatSetTimer(7, 200);
    HeadlessAdvance(150);
    EXPECT_FALSE(PlatGetMessage(&m));
    HeadlessAdvance(50);
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.wparam, 7u);
    // Periods below 10 ms are 10 ms.
    PlatKillTimer(7);
    PlatSetTimer(2, 0);
    HeadlessAdvance(9);
    EXPECT_FALSE(PlatGetMessage(&m));
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.wparam, 2u);
}

TEST(Timers, SurviveTheClockWrapping) {
    Fresh();
    HeadlessSetTicks(0xFFFFFFF0u);
    PlatSetTimer(1, 30);
    PlatMsg m;
    HeadlessAdvance(29);
    EXPECT_EQ(PlatTicks(), 13u);  // wrapped
    EXPECT_FALSE(PlatGetMessage(&m));
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.message, WM_TIMER);
}

TEST(Pump, AcceleratorsBecomeCommands) {
    Fresh();
    const uint32_t keys[] = {VK_RETURN | ACCEL_ALT, VK_F5, 'S' | ACCEL_CONTROL | ACCEL_SHIFT};
    const uint16_t cmds[] = {40029, 40005, 40100};
    PlatSetAccelerators(keys, cmds, 3);
    struct Case {
        std::vector<const char*> hold;
        int vk;
        uint32_t message;
        uintptr_t wparam;
    } cases[] = {
        {{"alt"}, VK_RETURN, WM_COMMAND, 40029},
        {{}, VK_RETURN, WM_KEYDOWN, VK_RETURN},       // no Alt: a plain key
        {{}, VK_F5, WM_COMMAND, 40005},
        {{"shift"}, VK_F5, WM_KEYDOWN, VK_F5},        // modifiers must match
        {{"ctrl", "shift"}, 'S', WM_COMMAND, 40100},
        {{"ctrl"}, 'S', WM_KEYDOWN, 'S'},
    };
    for (const Case& c : cases) {
        for (const char* k : c.hold) PlatPostMessage(WM_KEYDOWN, (uintptr_t)HeadlessKeyCode(k), 1);
        while (PumpMessage()) {}
        Seen.clear();
        PlatPostMessage(WM_KEYDOWN, (uintptr_t)c.vk, 1);
        EXPECT_TRUE(PumpMessage());
        ASSERT_FALSE(Seen.empty());
        EXPECT_EQ(Seen[0].message, c.message) << c.vk;
        EXPECT_EQ(Seen[0].wparam, c.wparam) << c.vk;
        while (PumpMessage()) {}
        for (const char* k : c.hold) PlatPostMessage(WM_KEYUP, (uintptr_t)HeadlessKeyCode(k), 0);
        while (PumpMessage()) {}
    }
    // No WM_CHAR after an accelerator.
    Seen.clear();
    PlatPostMessage(WM_KEYDOWN, VK_F5, 1);
    while (PumpMessage()) {}
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].message, WM_COMMAND);
    PlatSetAccelerators(nullptr, nullptr, 0);
    Seen.clear();
    PlatPostMessage(WM_KEYDOWN, VK_F5, 1);
    while (PumpMessage()) {}
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].message, WM_KEYDOWN);
}

TEST(Pump, CharacterKeysGiveWmCharNext) {
    Fresh();
    struct Case {
        const char* hold;
        int vk;
        int ch;  // 0: no WM_CHAR
    } cases[] = {
        {nullptr, 'N', 'n'},  {"shift", 'N', 'N'},   {"ctrl", 'A', 1},
        {nullptr, '7', '7'},  {nullptr, VK_SPACE, ' '}, {nullptr, VK_RETURN, 13},
        {nullptr, VK_ESCAPE, 27}, {nullptr, VK_TAB, 9}, {nullptr, VK_BACK, 8},
        {nullptr, VK_F1, 0},  {nullptr, VK_UP, 0},    {nullptr, VK_SHIFT, 0},
        {"alt", 'D', 0},      {"ctrl", '1', 0},
    };
    for (const Case& c : cases) {
        if (c.hold) PlatPostMessage(WM_KEYDOWN, (uintptr_t)HeadlessKeyCode(c.hold), 1);
        while (PumpMessage()) {}
        Seen.clear();
        PlatPostMessage(WM_KEYDOWN, (uintptr_t)c.vk, 1);
        PlatPostMessage(WM_KEYUP, (uintptr_t)c.vk, 0);
        while (PumpMessage()) {}
        std::vector<uint32_t> want = {WM_KEYDOWN, WM_KEYUP};
        if (c.ch) want = {WM_KEYDOWN, WM_CHAR, WM_KEYUP};
        std::vector<uint32_t> got;
        for (const PlatMsg& m : Seen) got.push_back(m.message);
        EXPECT_EQ(got, want) << c.vk;
        if (c.ch && Seen.size() == 3) {
            EXPECT_EQ(Seen[1].wparam, (uintptr_t)c.ch) << c.vk;
        }
        if (c.hold) PlatPostMessage(WM_KEYUP, (uintptr_t)HeadlessKeyCode(c.hold), 0);
        while (PumpMessage()) {}
    }
}

TEST(Pump, OrSleepSleepsFiveMsWhenEmpty) {
    Fresh();
    uint32_t t0 = PlatTicks();
    EXPECT_FALSE(PumpMessageOrSleep());
    EXPECT_EQ(PlatTicks() - t0, 6u);  // 1 for the empty poll, 5 asleep
    PlatPostMessage(WM_USER, 0, 0);
    t0 = PlatTicks();
    EXPECT_TRUE(PumpMessageOrSleep());
    EXPECT_EQ(PlatTicks(), t0);
    ASSERT_EQ(Seen.size(), 1u);
}

TEST(Pump, NestedPumpFromTheWindowProcedure) {
    Fresh();
    static int depth;
    static std::vector<std::pair<uint32_t, int>> order;
    order.clear();
    PlatSetWindowProc([](uint32_t message, uintptr_t, intptr_t) -> intptr_t {
        order.push_back({message, depth});
        if (message == WM_KEYDOWN) {
            depth++;
            while (PumpMessage()) {}
            depth--;
        }
        return 0;
    });
    PlatPostMessage(WM_KEYDOWN, 'X', 1);
    PlatPostMessage(WM_USER, 0, 0);
    while (PumpMessage()) {}
    // The WM_CHAR is queued before the key is dispatched, so a wait inside
    // the key's handling takes it first.
    std::vector<std::pair<uint32_t, int>> want = {{WM_KEYDOWN, 0}, {WM_CHAR, 1}, {WM_USER, 1}};
    EXPECT_EQ(order, want);
}

// The blocking wait, headless: the virtual clock moves to the deadline, to
// a due timer or to the next event of the events file, whichever comes
// first, and not at all while a message waits or the deadline has passed.
TEST(WaitEvent, MovesTheVirtualClockToTheFirstThingDue) {
    struct Case {
        const char* what;
        uint32_t deadline_in;  // ms from now
        int timer_period;      // 0: none
        int event_in;          // ms from now of a click; -1: none
        bool queued;           // a message waits already
        uint32_t moved;        // ms the clock moves
        uint32_t then;         // the message taken next, 0 for none
    } cases[] = {
        {"the deadline", 250, 0, -1, false, 250, 0},
        {"a timer due first", 250, 30, -1, false, 30, WM_TIMER},
        {"the deadline before the timer", 20, 30, -1, false, 20, 0},
        {"an event first", 250, 0, 40, false, 40, WM_USER},
        {"an event after the deadline", 250, 0, 400, false, 250, 0},
        {"a waiting message", 250, 30, -1, true, 0, WM_USER},
        {"a deadline passed", (uint32_t)-5, 0, -1, false, 0, 0},
    };
    for (const Case& c : cases) {
        Fresh();
        if (c.timer_period) PlatSetTimer(1, (uint32_t)c.timer_period);
        if (c.event_in >= 0) HeadlessInjectAt(HeadlessElapsed() + (uint64_t)c.event_in, WM_USER, 0, 0);
        if (c.queued) PlatPostMessage(WM_USER, 0, 0);
        uint32_t t0 = PlatTicks();
        PlatWaitEvent(t0 + c.deadline_in);
        EXPECT_EQ(PlatTicks() - t0, c.moved) << c.what;
        PlatMsg m;
        EXPECT_EQ(PlatGetMessage(&m) ? m.message : 0u, c.then) << c.what;
    }
}
