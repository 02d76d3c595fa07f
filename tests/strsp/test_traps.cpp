// Traps through whole games on the virtual clock: each script checks its own
// results and names a failed check as a command that does not exist
// ("fail_..."), so a quiet end means every check held.  The click trap fires
// after the statement that was running (a delay a click ends, a wait it does
// not), once; stop and resume; off; the right-click forms; the skip trap; the
// timer trap and its mode; lr_trap_value.  The operand errors run
// in-process.
#include <gtest/gtest.h>

#include <string>

#include "core/script.h"
#include "core/variables.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "ui/trap_commands.h"
#include "ui/traps.h"
#include "ui/window_links.h"

namespace {

// Start-up takes virtual time of its own: the script starts its timer after
// a click at 1000 ms, and the events are given from there.
void ExpectQuietEnd(const std::string& script, const std::string& events) {
    std::string shifted = "1000 click 1 1\n";
    for (size_t p = 0; p < events.size();) {
        size_t e = events.find('\n', p);
        std::string line = events.substr(p, e - p);
        size_t sp = line.find(' ');
        shifted += std::to_string(1000 + std::stoi(line.substr(0, sp))) + line.substr(sp) + "\n";
        p = e + 1;
    }
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ngame\n*start\nclick\nresettimer\n" + script + "end\n");
    RunOptions opt;
    opt.events = shifted;
    opt.max_ms = 20000;
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

// "gettimer %0" and the bounds it must lie in.
std::string TimeBetween(int lo, int hi, const char* what) {
    return "gettimer %0\nif %0 < " + std::to_string(lo) + " fail_" + what + "_early\nif %0 > " +
           std::to_string(hi) + " fail_" + what + "_late\n";
}

TEST(TrapGames, ClickTrapFiresBetweenStatementsOnce) {
    ExpectQuietEnd(
        // A click ends the delay; the jump follows it.
        "trap *t1\ndelay 1000\nfail_delay_not_trapped\n*t1\n" + TimeBetween(100, 110, "t1") +
            // A wait is one statement a click does not end: the jump waits for it.
            "trap *t2\nwait 300\nfail_wait_not_trapped\n*t2\nadd %5,1\nif %5 > 1 fail_t2_twice\n" +
            TimeBetween(400, 420, "t2") +
            // Fired once: the next click is an ordinary click.
            "click\n" +
            // Stopped, the hit is kept for resume.
            "trap *t3\ntrap stop\ndelay 300\nmov %2,1\ntrap resume\nfail_resume_no_jump\n*t3\n"
            "if %2 != 1 fail_stopped_trap_jumped\n"
            // Resume without a hit does nothing.
            "trap *t4\ntrap STOP\ntrap resume\nmov %3,1\n"
            // Off: a click is only a click.
            "trap off\ndelay 300\nmov %3,2\nclick\n" +
            // r_trap ignores left clicks; a right click fires it after the delay.
            "r_trap *t5\ndelay 300\ndelay 300\nfail_r_trap_not_fired\n*t5\n" +
            TimeBetween(1100, 1120, "t5") +
            // lr_trap fires on either button.
            "lr_trap *t6\ndelay 300\nfail_lr_trap_right\n*t6\nlr_trap *t7\ndelay 300\nfail_lr_trap_left\n*t7\n" +
            TimeBetween(1500, 1510, "t7") +
            // trap2 fires as soon as skip mode comes on ("n").
            "trap2 *t8\ndelay 5000\nfail_trap2_not_fired\n*t8\n" + TimeBetween(1600, 1650, "t8"),
        "100 click 10 10\n"
        "200 click 10 10\n"    // during the wait
        "500 click 10 10\n"    // taken by click
        "600 click 10 10\n"    // while stopped
        "700 click 10 10\n"    // while off
        "750 click 10 10\n"    // taken by click
        "800 click 10 10\n"    // r_trap: ends the first delay, no jump
        "900 rclick 10 10\n"   // r_trap: fires after the second delay
        "1200 rclick 10 10\n"  // lr_trap: fires after its delay
        "1500 click 10 10\n"   // lr_trap: ends the delay and fires
        "1600 key n\n");
}

TEST(TrapGames, TimerTrapItsModeAndLrTrapValue) {
    ExpectQuietEnd(
        // The timer mode makes the click trap wait: the click at 500 is not trapped.
        "trap *clicked\ntimertrap *tt,2000\n*loop\ndelay 100\ngoto *loop\n*clicked\nfail_click_in_timer_mode\n"
        "*tt\n" + TimeBetween(2000, 2110, "tt") +
            // The mode stays after the jump: clicks still go untrapped.
            "delay 200\nmov %1,1\n"
            // Stop and resume.
            "timertrap *tu,50\ntimertrap stop\nwait 300\nmov %2,1\ntimertrap resume\nfail_resume_no_jump\n*tu\n"
            "if %2 != 1 fail_stopped_timer_jumped\n"
            // Off empties the label.
            "timertrap *tv,10\ntimertrap off\nwait 100\n"
            // A click-trap label ends the timer mode.
            "click\ntrap *c2\ndelay 1000\nfail_click_trap_after_timer\n*c2\n" +
            TimeBetween(2700, 2710, "c2") +
            // lr_trap_value: the variable is 0 at once, then takes the next
            // release (-1 right, 1 left) and no later one; off disarms it.
            "mov %5,7\nlr_trap_value %5\nif %5 != 0 fail_not_zeroed\n"
            "wait 200\nif %5 != -1 fail_right\nwait 200\nif %5 != -1 fail_later_click_stored\n"
            "lr_trap_value %6\nwait 200\nif %6 != 1 fail_left\n"
            "lr_trap_value %7\nlr_trap_value off\nwait 200\nif %7 != 0 fail_off\n",
        "500 click 10 10\n"
        "2050 click 10 10\n"
        "2500 click 10 10\n"  // taken by click
        "2700 click 10 10\n"
        "2800 rclick 10 10\n"
        "3000 click 10 10\n"
        "3200 click 10 10\n"
        "3400 click 10 10\n");
}

// ---- in-process: the operand errors ----

class TrapOperands : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        saved_count_ = VariableCount;
        VariableCount = 100;
        AllocateVariableTables(VariableCount);
        Traps = TrapSettings();
        TrapValueVariable = -1;
    }
    void TearDown() override {
        ForgetScriptText();
        FreeVariableTables();
        VariableCount = saved_count_;
        Traps = TrapSettings();
        TrapValueVariable = -1;
    }
    template <class F>
    std::string Fatal(F cmd, const std::string& operand) {
        UseScriptText(&script_, Cp932(operand));
        return FatalBoxOf(cmd, true);
    }
    std::string script_;
    int saved_count_ = 0;
};

TEST_F(TrapOperands, WrongOperandsAreFatal) {
    const std::string trapMsg =
        "エラー: trap命令のパラメータは、offもしくは*ラベル名もしくはstopもしくはresumeです。";
    const std::string timerMsg =
        "エラー: timertrap命令の第一パラメータは、offもしくは*ラベル名もしくはstopもしくはresumeです。";
    struct Case {
        void (*cmd)();
        const char* operand;
        std::string box;
    } cases[] = {
        {Cmd_trap, "on", trapMsg},
        {Cmd_lr_trap, "\"*a\"", trapMsg},
        {Cmd_r_trap, "12", trapMsg},
        {Cmd_trap2, "", trapMsg},
        {Cmd_lr_trap2, "stopp", trapMsg},
        {Cmd_timertrap, "start", timerMsg},
        {Cmd_timertrap, "%1", timerMsg},
        {Cmd_lr_trap_value, "$1", "エラー: lr_trap_valueの引数は数字変数です。"},
        {Cmd_lr_trap_value, "on", "エラー: lr_trap_valueの引数は数字変数です。"},
        {Cmd_lr_trap_value, "%100", "エラー: 変数番号が範囲外をさしています。"},
    };
    for (const Case& c : cases) EXPECT_EQ(Fatal(c.cmd, c.operand), c.box) << c.operand;
}

TEST_F(TrapOperands, ModeFlagsOfEachForm) {
    struct Case {
        void (*cmd)();
        int before, also, skip, only;  // flags set before (all three), then expected
    } cases[] = {
        {Cmd_trap, 1, 0, 0, 0},     {Cmd_lr_trap, 1, 1, 1, 0}, {Cmd_lr_trap, 0, 1, 0, 0},
        {Cmd_r_trap, 1, 0, 1, 1},   {Cmd_r_trap, 0, 0, 0, 1},  {Cmd_trap2, 0, 0, 1, 0},
        {Cmd_trap2, 1, 1, 1, 1},    {Cmd_lr_trap2, 0, 1, 1, 0}, {Cmd_lr_trap2, 1, 1, 1, 0},
    };
    for (const Case& c : cases) {
        Traps.right_click_also = Traps.skip_also = Traps.right_click_only = c.before;
        Traps.timer_armed = 1;
        UseScriptText(&script_, "*here");
        c.cmd();
        EXPECT_EQ(Traps.right_click_also, c.also);
        EXPECT_EQ(Traps.skip_also, c.skip);
        EXPECT_EQ(Traps.right_click_only, c.only);
        EXPECT_STREQ(Traps.label, "here");
        EXPECT_EQ(Traps.timer_armed, 0);  // a label ends the timer mode
    }
}

}  // namespace
