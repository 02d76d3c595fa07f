// var_commands.h - the variable and alias commands: mov and mov3 to mov10
// (every mode), intlimit, numalias and stralias (*define only).
#pragma once

void Cmd_mov();
void Cmd_mov3();
void Cmd_mov4();
void Cmd_mov5();
void Cmd_mov6();
void Cmd_mov7();
void Cmd_mov8();
void Cmd_mov9();
void Cmd_mov10();
void Cmd_intlimit();
void Cmd_numalias();
void Cmd_stralias();
