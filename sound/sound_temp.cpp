// sound_temp.cpp - unique temporary sound files in the private folder.
#include "sound/sound_temp.h"

#include <stdlib.h>
#include <unistd.h>

#include "archive/extract.h"
#include "platform/platform.h"

std::string MakeSoundTempFile() {
    std::string name = PlatTempDir() + "/Orvatmp-XXXXXX.wav";
    int fd = mkstemps(&name[0], 4);
    if (fd < 0) return "";
    close(fd);
    return Utf8ToCp932(name);
}

void DeleteSoundTempFile(const std::string& path) {
    if (path.empty()) return;
    DeleteExtractedFile(path);
    std::string real = Cp932ToUtf8(path);
    const std::string& dir = PlatTempDir();
    if (real.size() > dir.size() && real.compare(0, dir.size(), dir) == 0 && real[dir.size()] == '/')
        unlink(real.c_str());
}

void DropTempFile(TempFileRecord* record) {
    if (record->set) DeleteSoundTempFile(record->path);
    record->set = false;
    record->path.clear();
}
