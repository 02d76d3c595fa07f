// slot_commands.cpp - the script's save commands: saving, loading and
// savepoints, their switches, the save folder and the slot queries.
#include "save/slot_commands.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/dispatch.h"
#include "core/error.h"
#include "core/heapstring.h"
#include "core/readers.h"
#include "core/return_value.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/screen.h"
#include "graphics/surface.h"
#include "platform/platform.h"
#include "save/namelog.h"
#include "save/persist.h"
#include "save/save_messages.h"
#include "save/savepoint.h"

void Cmd_savegame() { SaveGame(ReadIntExpr()); }

void Cmd_savegame2() {
    int32_t slot = ReadIntExpr();
    ExpectComma();
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    SaveGameWithName(slot, name);
}

void Cmd_loadgame() {
    LoadGame(ReadIntExpr());
    GameLoaded = 1;
}

void Cmd_saveon() { SaveOn = 1; }
void Cmd_saveoff() { SaveOn = 0; }
void Cmd_autosaveoff() { NoCommandSavepoints = 1; }
void Cmd_savepoint() { TakeSavepoint(); }
void Cmd_errorsave() { ErrorSave = 1; }

void Cmd_loadgosub() {
    ReadLabelOperand(LoadGosubLabel);
    LoadGosubOn = 1;
}

void Cmd_savedir() {
    char dir[StrValueSize];
    ReadStrExpr(dir, sizeof dir);
    if (std::strlen(dir) > 255) ScriptError(CapError, MsgSaveDirTooLong);
    SaveDirectory = dir;
    std::string flog = SaveDirectory + "\\Orvaflog.dat", llog = SaveDirectory + "\\Orvallog.dat";
    SetNameLogPath(&FileLog, flog.c_str());
    SetNameLogPath(&LabelLog, llog.c_str());
    if (!SaveDirectory.empty() && SaveDirectory.back() == '\\') SaveDirectory.pop_back();
}

static bool SlotExists(int slot) {
    std::string file = SlotFileName(slot, "dat");
    return PlatFileSize(file.c_str()) >= 0;
}

void Cmd_savefileexist() {
    if (SkipBlanks() != '%') ScriptError(CapError, MsgSaveFileExistArg);
    ReadPosition++;
    int var = ReadIntVarNumber();
    ExpectComma();
    IntVariables[var] = SlotExists(ReadIntExpr()) ? 1 : 0;
}

void Cmd_getsavestr() {
    ReturnValue = 0;
    int var = ReadStrTarget("getsavestr", SufFirstStr, TargetNumberExpr, CapSyntax);
    ExpectComma();
    int32_t slot = ReadIntExpr();
    std::vector<uint8_t> bytes;
    std::string file = SlotFileName(slot, "dat");
    std::string name;
    bool ok = PlatReadFile(file.c_str(), false, &bytes) && bytes.size() >= 3 && bytes.back() == '*';
    if (ok) {
        // The name stands between the last two double quotes before the '*'.
        size_t close = bytes.size() - 2, open = close;
        ok = bytes[close] == '"';
        while (ok && open > 0 && bytes[open - 1] != '"') open--;
        ok = ok && open > 0;
        if (ok) name.assign(bytes.begin() + long(open), bytes.begin() + long(close));
    }
    AssignString(&StrVariables[var], ok ? name.c_str() : "");
    if (!ok) ReturnValue = 1;
}

// savetime and savetime2: slot, then count variables.
static void SaveTime(const char* command, int count) {
    int32_t slot = ReadIntExpr();
    int vars[5];
    for (int i = 0; i < count; i++) {
        ExpectComma();
        vars[i] = ReadIntTarget(command, SufSecondInt, 0, CapSyntax);
    }
    std::string file = PlatResolve(SlotFileName(slot, "dat").c_str());
    struct stat st;
    int month = count == 5 ? 1 : 0;
    if (stat(file.c_str(), &st) != 0) {
        IntVariables[vars[month]] = 0;
        return;
    }
    struct tm t;
    localtime_r(&st.st_mtime, &t);
    int k = 0;
    if (count == 5) IntVariables[vars[k++]] = t.tm_year;
    IntVariables[vars[k++]] = t.tm_mon + 1;
    IntVariables[vars[k++]] = t.tm_mday;
    IntVariables[vars[k++]] = t.tm_hour;
    IntVariables[vars[k++]] = t.tm_min;
}

void Cmd_savetime() { SaveTime("savetime", 4); }
void Cmd_savetime2() { SaveTime("savetime2", 5); }

// The screenshot: the shown picture stretched (nearest pixel) to a size of
// the script's choosing, then written as a BMP file.
static Surface ScreenshotSurface;

void Cmd_getscreenshot() {
    int32_t w = ReadIntExpr();
    ExpectComma();
    int32_t h = ReadIntExpr();
    if (w <= 0 || h <= 0 || !CreateSurface(&ScreenshotSurface, w, h)) return;
    const Dib& src = DestSurface.dib;
    Dib& dst = ScreenshotSurface.dib;
    if (!HasPicture(&DestSurface) || src.infoHeader.bitCount != 24 || dst.infoHeader.bitCount != 24)
        return;
    for (int32_t y = 0; y < h; y++) {
        const uint8_t* in = DibRow(&src, int32_t(int64_t(y) * src.height / h));
        uint8_t* out = DibRow(&dst, y);
        for (int32_t x = 0; x < w; x++)
            std::memcpy(out + 3 * x, in + 3 * (int64_t(x) * src.width / w), 3);
    }
}

static void WriteScreenshot(bool release) {
    char file[StrValueSize];
    ReadStrExpr(file, sizeof file);
    if (HasPicture(&ScreenshotSurface)) SaveSurfaceBmp(&ScreenshotSurface, file);
    if (release) ReleaseSurface(&ScreenshotSurface);
}

void Cmd_savescreenshot() { WriteScreenshot(true); }
void Cmd_savescreenshot2() { WriteScreenshot(false); }
void Cmd_deletescreenshot() { ReleaseSurface(&ScreenshotSurface); }
