// wait_commands.h - the timed waits and the script timer.
#pragma once

void Cmd_delay();
void Cmd_wait();
void Cmd_spwait();
void Cmd_resettimer();
void Cmd_waittimer();
void Cmd_gettimer();
