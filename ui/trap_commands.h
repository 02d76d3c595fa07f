// trap_commands.h - the trap commands: arm, stop, resume and switch off the
// click trap and the timer trap; lr_trap_value.
#pragma once

void Cmd_trap();
void Cmd_lr_trap();
void Cmd_r_trap();
void Cmd_trap2();
void Cmd_lr_trap2();
void Cmd_timertrap();
void Cmd_lr_trap_value();
