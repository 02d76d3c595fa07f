// persist_commands.h - script commands (not built yet: see persist_commands.cpp).
#pragma once

void Cmd_globalon();
void Cmd_kidokumode();
void Cmd_kidokuskip();
void Cmd_filelog();
void Cmd_labellog();
