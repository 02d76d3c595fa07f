// gamefile.cpp - the one lookup of files by name: the folder, the ov2
// archives, the ova archives, the archives registered by `arc`.
#include "archive/gamefile.h"

#include "archive/arcfile.h"
#include "archive/extract.h"
#include "archive/ov2.h"
#include "archive/ova.h"
#include "graphics/spb.h"
#include "platform/platform.h"

bool ReadGameFileRaw(const char* name, std::vector<uint8_t>* out, GameFileInfo* info) {
    *info = GameFileInfo();
    out->clear();
    if (FolderFileExists(name)) {
        info->source = GameFileInFolder;
        return PlatReadFile(name, false, out);
    }
    Ov2Lookup e2;
    if (FindOv2Entry(name, &e2) == 1) {
        info->source = GameFileInOv2;
        return ReadOv2Entry(e2, out);
    }
    OvaLookup e;
    if (OvaMode && FindOvaEntry(name, &e) >= 0) {
        info->source = GameFileInOva;
        info->ovaType = e.type;
        return ReadOvaEntry(e, out);
    }
    if (ReadFromArcArchives(name, out)) {
        info->source = GameFileInArcArchive;
        return true;
    }
    return false;
}

bool ReadGameFile(const char* name, std::vector<uint8_t>* out) {
    GameFileInfo info;
    if (!ReadGameFileRaw(name, out, &info)) return false;
    if (info.source == GameFileInOva && info.ovaType == OvaSpb) {
        std::vector<uint8_t> bmp;
        bool ok = SpbToBmp(out->data(), out->size(), &bmp);
        out->swap(bmp);
        if (!ok) out->clear();
        return ok;
    }
    return true;
}

bool GameFileExists(const char* name) {
    if (FolderFileExists(name)) return true;
    Ov2Lookup e2;
    if (FindOv2Entry(name, &e2) == 1) return true;
    OvaLookup e;
    if (OvaMode && FindOvaEntry(name, &e) >= 0) return true;
    return ArcArchivesHold(name);
}
