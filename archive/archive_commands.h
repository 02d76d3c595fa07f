// archive_commands.h - the script commands of the archive subsystem.  Each
// reads its operands at ReadPosition.
#pragma once

void Cmd_ova();        // ova archives on
void Cmd_ov2();        // ova archives on, each with 1 prefix byte
void Cmd_ov3();        // ova archives on, each with 2 prefix bytes
void Cmd_ovadir();     // folder of arc.ova to arc9.ova
void Cmd_addovadir();  // folder of the added arc.ova
void Cmd_arc();        // registers "archive|library"
void Cmd_fileexist();  // %N := 1 when the file is in the folder, ov2 or ova archives
