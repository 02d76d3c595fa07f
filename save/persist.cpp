// persist.cpp - writing the persistent data together, the save folder, and
// reporting files that could not be written.
#include "save/persist.h"

#include <strings.h>

#include <cctype>
#include <cstdio>
#include <set>

#include "core/core_messages.h"
#include "core/startup.h"
#include "core/sjis.h"
#include "graphics/loader_links.h"
#include "platform/platform.h"
#include "save/envdata.h"
#include "save/globals.h"
#include "save/namelog.h"
#include "save/persist_messages.h"
#include "save/readlog.h"
#include "save/safe_write.h"
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
    // While the define block runs (closed by a signal, ended by a fatal
    // error), the player's settings and the name logs have not been read
    // yet: writing them would put the defaults over them.
    if (DefineRunning) return;
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

// The files written through a temporary file, in any case: the persistent
// files, the name logs and the slots "save%d.dat".
static bool IsSaveFileName(const char* name) {
    static const char* const fixed[] = {"envdata", "gloval.sav", "kidoku.dat", "Orvaflog.dat",
                                        "Orvallog.dat"};
    for (const char* f : fixed)
        if (strcasecmp(name, f) == 0) return true;
    if (strncasecmp(name, "save", 4) != 0) return false;
    const char* p = name + 4;
    if (*p == '-') p++;
    if (!isdigit((unsigned char)*p)) return false;
    while (isdigit((unsigned char)*p)) p++;
    return strcasecmp(p, ".dat") == 0;
}

// The folder part of a CP932 file name ("" for none); a trail byte is no
// separator.
static std::string FolderOf(const std::string& file) {
    size_t cut = std::string::npos;
    for (size_t i = 0; i < file.size(); i++) {
        if (IsSjisLead((unsigned char)file[i]) && i + 1 < file.size())
            i++;
        else if (file[i] == '\\' || file[i] == '/')
            cut = i;
    }
    return cut == std::string::npos ? std::string() : file.substr(0, cut);
}

void RemoveStaleSaveTemps() {
    std::set<std::string> done;
    for (const std::string& folder :
         {std::string(), SaveDirectory, FolderOf(FileLog.file), FolderOf(LabelLog.file)}) {
        std::string real = folder.empty() ? std::string(".") : PlatResolve(folder.c_str());
        if (done.insert(real).second) RemoveStaleTempFiles(folder.c_str(), IsSaveFileName);
    }
}
