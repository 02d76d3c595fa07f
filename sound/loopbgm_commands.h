// loopbgm_commands.h - script commands (not built yet: see loopbgm_commands.cpp).
#pragma once

void Cmd_loopbgm();
void Cmd_loopbgmstop();
