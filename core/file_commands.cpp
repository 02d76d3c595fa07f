// file_commands.cpp - filecreate, fileremove, readfile.
#include "core/file_commands.h"

#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "archive/extract.h"
#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/variables.h"
#include "platform/platform.h"

int32_t FileSizeOf(const char* name) {
    long long size = PlatFileSize(name);
    if (size < 0) return 0;
    return size > INT_MAX ? INT_MAX : (int32_t)size;
}

// filecreate name: a new empty file, or the file emptied.  A name that
// cannot be created, or lies outside the game folder, is passed over.
void Cmd_filecreate() {
    StrScratch name;
    ReadStrExpr(name.p, StrValueSize);
    FILE* f = PlatOpen(name.p, "w");
    if (f) fclose(f);
}

// fileremove name: failures, and names outside the game folder, are
// passed over.
void Cmd_fileremove() {
    StrScratch name;
    ReadStrExpr(name.p, StrValueSize);
    std::string path = PlatResolve(name.p);
    if (!path.empty() && PlatWriteAllowed(name.p)) unlink(path.c_str());
}

// readfile $N, name: the file's bytes as they are (CR LF kept; a NUL ends
// the text), at most 8191 of them.  A file that is neither in the folder nor
// in an archive leaves $N as it was.
void Cmd_readfile() {
    int n = ReadStrTarget("readfile", SufFirstStr);
    ExpectComma();
    StrScratch name;
    ReadStrExpr(name.p, StrValueSize);
    std::string path = name.p;
    bool extracted = false;
    if (!PlatExists(path.c_str())) {
        if (!ExtractToTemp(&path)) return;
        extracted = true;
    }
    int32_t size = FileSizeOf(path.c_str());
    if (size > ReadfileMaxBytes) {
        if (extracted) DeleteExtractedFile(path);
        ScriptError(CapError, MsgFileTooLarge);
    }
    std::vector<uint8_t> bytes;
    bool ok = PlatReadFile(path.c_str(), false, &bytes);
    if (extracted) DeleteExtractedFile(path);
    if (!ok) bytes.clear();
    std::string text(bytes.begin(), bytes.end());
    AssignString(&StrVariables[n], text.c_str());  // a NUL ends it
}
