// display_commands.h - script commands.
#pragma once

void Cmd_addkinsoku();
void Cmd_br();
void Cmd_clickskippage();
void Cmd_clickstr();
void Cmd_indent();
void Cmd_ispage();
void Cmd_kinsoku();
void Cmd_linkcolor();
void Cmd_pretextgosub();
void Cmd_puttext();
void Cmd_setkinsoku();
void Cmd_texec();
void Cmd_texec2();
void Cmd_textgosub();
void Cmd_rubyoff();
void Cmd_rubyon();
void Cmd_rubyon2();
