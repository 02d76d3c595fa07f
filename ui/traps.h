// traps.h - the trap settings: a label the story jumps to when the player
// clicks (or right-clicks, or skips), and the timer trap; the lr_trap_value
// record (TrapValueVariable, ui/window_links.h) lives here too.  The
// commands that arm them are ui/trap_commands.h; the interpreter loop
// tests them between statements.
#pragma once
#include <cstdint>

struct TrapSettings {
    char label[256] = "";        // "" = off
    int state = 0;               // 0 armed, 1 stopped, 2 hit while stopped
    int right_click_also = 0;
    int right_click_only = 0;
    int skip_also = 0;
    int timer_armed = 0;         // timer mode: the click trap is not tested
    char timer_label[256] = "";
    int timer_state = 0;
    uint32_t timer_start = 0;    // PlatTicks() when armed
    uint32_t timer_duration = 0; // ms
};
extern TrapSettings Traps;
