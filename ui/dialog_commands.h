// dialog_commands.h - the dialog and message-box commands.
#pragma once

void Cmd_mesbox();
void Cmd_yesnobox();
void Cmd_okcancelbox();
void Cmd_textfield();
void Cmd_inputstr();
void Cmd_input();
void Cmd_inputnum();
