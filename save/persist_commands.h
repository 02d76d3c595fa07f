// persist_commands.h - script commands.
#pragma once

void Cmd_globalon();
void Cmd_kidokumode();
void Cmd_kidokuskip();
void Cmd_filelog();
void Cmd_labellog();
