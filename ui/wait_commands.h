// wait_commands.h - the timed waits and the script timer: delay, wait,
// spwait, resettimer, waittimer, gettimer.
#pragma once
#include <cstdint>

extern uint32_t TimerBase;      // the clock at the last resettimer; 0 before it
extern uint32_t TimerDeadline;  // TimerBase plus the operand of the last waittimer

void Cmd_delay();
void Cmd_wait();
void Cmd_spwait();
void Cmd_resettimer();
void Cmd_waittimer();
void Cmd_gettimer();
