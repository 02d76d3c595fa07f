// loopbgm_commands.h - script commands.
#pragma once

void Cmd_loopbgm();
void Cmd_loopbgmstop();
