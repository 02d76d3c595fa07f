// file_commands.h - filecreate, fileremove and readfile: files named by the
// script (CP932, resolved by the platform layer), the archives standing in
// for a file readfile does not find in the folder.
#pragma once
#include <cstdint>

void Cmd_filecreate();
void Cmd_fileremove();
void Cmd_readfile();

// Size in bytes of a file, 0 when it cannot be opened.
int32_t FileSizeOf(const char* name);

enum { ReadfileMaxBytes = 8191 };
