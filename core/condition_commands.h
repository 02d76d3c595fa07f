// condition_commands.h - if and notif: the rest of the line runs when the
// condition is met (for notif: when its terms are false).  Every mode.
#pragma once

void Cmd_if();
void Cmd_notif();
