// flow_commands.h - jumps and calls: goto, gosub, return, noreturn,
// tablegoto, and the relative moves jumpf, jumpb (to a '~') and skip (by
// lines).  Every mode.
#pragma once

void Cmd_goto();
void Cmd_gosub();
void Cmd_return();
void Cmd_noreturn();
void Cmd_tablegoto();
void Cmd_jumpf();
void Cmd_jumpb();
void Cmd_skip();
