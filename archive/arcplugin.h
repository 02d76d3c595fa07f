// arcplugin.h - the entry points of archive plug-in libraries registered by
// `arc`, as this engine calls them.
//
// GetFileInfo(archive, 0, name, 0x80, info) returns 0 when the archive holds
// `name` and fills the ArcFileInfoSize-byte record; the engine reads only
// the unsigned 32-bit position at ArcFileInfoPosition (0 counts as not
// found).  GetFile(archive, position, folder, 0, null, 0) returns 0 when it
// has written the entry into `folder` (which ends in '/') under a name of
// its own choosing.  `archive` is a real (UTF-8) path; `name` is the CP932
// name with '\' separators.
#pragma once
#include <cstdint>

enum { ArcFileInfoSize = 440, ArcFileInfoPosition = 8, ArcInfoFlags = 0x80 };

typedef int (*ArcGetFileInfoProc)(const char* archive, long length, const char* name,
                                  unsigned int flags, void* info);
typedef int (*ArcGetFileProc)(const char* archive, long position, const char* folder,
                              unsigned int flags, void* progress, long data);
