// aviwrite_commands.h - the AVI capture commands (stubs until built).
#pragma once

void Cmd_aviwriteopen();
void Cmd_aviwrite();
void Cmd_aviwriteclose();
