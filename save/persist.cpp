// persist.cpp - writing the persistent data together, the save folder, and
// reporting files that could not be written.
#include "save/persist.h"

#include <cstdio>
#include <set>

#include "core/core_messages.h"
#include "graphics/loader_links.h"
#include "platform/platform.h"
#include "save/envdata.h"
#include "save/globals.h"
#include "save/namelog.h"
#include "save/persist_messages.h"
#include "save/readlog.h"
#include "save/savepoint.h"
#include "save/slot_menu.h"

std::string SaveDirectory;
int32_t GlobalOn;

static int AtExit;  // no boxes once the window is gone

std::string PersistPath(const char* name) {
    if (SaveDirectory.empty()) return name;
    return SaveDirectory + "\\" + name;
}

void ReportWriteFailure(const char* cp932_name, const std::string& why) {
    static std::set<std::string> reported;
    fprintf(stderr, "orva: cannot write %s (%s)\n", Cp932ToUtf8(cp932_name).c_str(), why.c_str());
    if (AtExit || !reported.insert(cp932_name).second) return;
    std::string text = std::string(MsgCannotWrite) + "\n" + cp932_name;
    PlatMessageBox(text.c_str(), CapError, MB_OK | MB_ICONERROR, true);
}

void LoadNameLogs() {
    if (FileLogOn) LoadNameLog(&FileLog);
    if (LabelLogOn) LoadNameLog(&LabelLog);
}

void SavePersistentData() {
    WriteReadFlags();
    if (GlobalOn) WriteGlobalVariables();
    WriteEnvData();
    if (FileLogOn) SaveNameLog(&FileLog);
    if (LabelLogOn) SaveNameLog(&LabelLog);
}

void SaveReadFlags() {
    AtExit = 1;
    WriteReadFlags();
    FreeReadFlags();
    AtExit = 0;
}

void SetSavePassDefaults() {
    KidokuMode = 1;
    SaveOn = 0;  // the *define block takes no savepoints; a reset sets it
    GameLoaded = 0;
    SetSlotMenuPassDefaults();
}

bool NameLogsRequested() { return FileLogOn || LabelLogOn; }
