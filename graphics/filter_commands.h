// filter_commands.h - script commands (not built yet: see filter_commands.cpp).
#pragma once

void Cmd_bar();
void Cmd_barclear();
void Cmd_monocro();
void Cmd_nega();
void Cmd_prnum();
void Cmd_prnumclear();
