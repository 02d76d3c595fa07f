// exbtn_commands.h - the extended-button commands.
#pragma once

void Cmd_exbtn();
void Cmd_textexbtn();
void Cmd_cellcheckexbtn();
void Cmd_spstr();
void Cmd_exbtn_d();
