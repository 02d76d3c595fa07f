// aviwrite_commands.h - the AVI capture commands: aviwriteopen, aviwrite,
// aviwriteclose (sound/aviwrite.h writes the file).
#pragma once

void Cmd_aviwriteopen();
void Cmd_aviwrite();
void Cmd_aviwriteclose();
