// archives.cpp - start-up and reset steps of the archive subsystem.
#include "archive/archives.h"

#include "archive/arcfile.h"
#include "archive/extract.h"
#include "archive/ov2.h"
#include "archive/ova.h"

void ResetArchiveSettings() {
    OvaDir[0] = 0;
    ClearArcArchiveList();
}

void LoadArchiveIndexes() {
    if (OvaMode) BuildOvaIndex();
    if (FolderFileExists("00.ov2")) {
        Ov2Mode = 1;
        LoadOv2Indexes();
    }
}

void ForgetArchiveState() {
    OvaMode = 0;
    OvaSkipOne = 0;
    OvaSkipTwo = 0;
    OvaDir[0] = 0;
    AddOvaDir[0] = 0;
    ForgetOvaArchives();
    ForgetOv2Archives();
    ClearArcArchiveList();
    ForgetBuiltinArcs();
    ForgetArchiveWarnings();
}
