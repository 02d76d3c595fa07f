// startup.cpp - WinMain, StartEngine and the start-up loop: the single
// instance, the work buffers, the once-only bindings, and the passes that
// load the script, run *define and then the story until definereset.
#include "core/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/archives.h"
#include "core/csv.h"
#include "core/aliases.h"
#include "core/debug.h"
#include "core/dispatch.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/random.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/variables.h"
#include "ext/dllcache.h"
#include "ext/optional.h"
#include "graphics/pass_defaults.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "save/persist.h"
#include "sound/sound.h"
#include "ui/mainwindow.h"
#include "text/pass_defaults.h"

char* ScratchText;
uint8_t* SavepointBuffer;
uint8_t* GlobalSaveBuffer;
int DebugMode;
int CdFadeOff;
int RestartRequested;
uint8_t DefineRunning;
uint8_t* GlyphLayer;
static int GlyphLayerSize;

static const char kStartCaption[] = "\x8bN\x93\xae\x83G\x83\x89\x81[";  // 起動エラー
static const char kSecondCopy[] =  // 同時に二つ実行しないでください
    "\x93\xaf\x8e\x9e\x82\xc9\x93\xf1\x82\xc2\x8e\xc0\x8ds\x82\xb5\x82\xc8\x82\xa2\x82\xc5"
    "\x82\xad\x82\xbe\x82\xb3\x82\xa2";
static const char kLowColour[] =  // このプログラムの実行にはハイカラー以上の環境が必要です。
    "\x82\xb1\x82\xcc\x83v\x83\x8d\x83O\x83\x89\x83\x80\x82\xcc\x8e\xc0\x8ds\x82\xc9\x82\xcd"
    "\x83n\x83" "C\x83J\x83\x89\x81[\x88\xc8\x8f\xe3\x82\xcc\x8a\xc2\x8b\xab\x82\xaa\x95K"
    "\x97v\x82\xc5\x82\xb7\x81" "B";

// At-exit clean-up, run from the exit list after the window's destruction
// has saved the persistent data and shut sound down.
static void FreeTables() {
    PlatReleaseInstanceLock();
    FreeVariableTables();
    FreeLabelTable();
    free(ScratchText);
    free(SavepointBuffer);
    free(GlobalSaveBuffer);
    ScratchText = nullptr;
    SavepointBuffer = GlobalSaveBuffer = nullptr;
    delete[] GlyphLayer;
    GlyphLayer = nullptr;
}
static void FreeScriptAtExit() {
    FreeScript();
    RestoreCdVolumeAtExit();
}
static void SaveReadFlagsAtExit() { SaveReadFlags(); }
static void FreeLibrariesAtExit() { FreeDllCache(); }

void WinMain() {
    if (!PlatAcquireInstanceLock()) {
        PlatMessageBox(kSecondCopy, kStartCaption, MB_OK | MB_ICONERROR, false);
        PlatExit(0);
    }
    int bits = PlatDisplayBitsPerPixel();
    if (bits == 1 || bits == 4 || bits == 8) {
        PlatMessageBox(kLowColour, kStartCaption, MB_OK, false);
        PlatReleaseInstanceLock();
        PlatExit(0);
    }
    ScratchText = (char*)calloc(WorkBufferSize, 1);
    SavepointBuffer = (uint8_t*)calloc(WorkBufferSize, 1);
    GlobalSaveBuffer = (uint8_t*)calloc(WorkBufferSize, 1);
    if (!ScratchText || !SavepointBuffer || !GlobalSaveBuffer) abort();
    // The exit list runs in reverse: libraries last, read flags first.
    PlatAtExit(FreeLibrariesAtExit);
    PlatAtExit(FreeTables);
    PlatAtExit(FreeScriptAtExit);
    PlatAtExit(SaveReadFlagsAtExit);
    SeedRandom(PlatTicks());
    SetTempDirectory();
    CreateMainWindow();  // ends in StartEngine
    PlatExit(0);
}

void ReadConfigFile() {
    FILE* f = PlatOpen("config.txt", "r");
    if (!f) return;
    char line[256];
    while (fgets(line, sizeof line, f))
        if (strncmp(line, "cdfadeoff", 9) == 0) CdFadeOff = 1;
    fclose(f);
}

// The text layers follow the screen size of every load, so a restart that
// enlarges the screen never outgrows them.
static void AllocateTextLayers() {
    int size = ScreenWidth * ScreenHeight;
    if (GlyphLayer && size == GlyphLayerSize) return;
    delete[] GlyphLayer;
    GlyphLayer = new uint8_t[size]();
    GlyphLayerSize = size;
}

// One pass: load, *define, then story runs until definereset.
static void RunPass() {
    SetDefaultLineBreakTables();
    ClearTextPassFlags();
    ClearDebugLogFlag();
    if (PlatExists("envdata")) ReadEnvSaveDirectory();
    ClearDefsubNames();
    SetTextPassDefaults();
    SetSoundPassDefaults();
    SetSavePassDefaults();
    SetGraphicsPassDefaults();
    ResetArchiveSettings();
    ArrayCount = 0;
    LabelCount = 0;
    SeedRandom(PlatTicks());
    StopAllSound(true);
    SetMenuPassDefaults();

    LoadScript();
    AllocateTextLayers();
    // LoadScript allocated the limit tables with every limit at -1 (none).
    SetStandingPictureDefaults();
    SetTextLoadDefaults();
    SetGraphicsLoadDefaults();
    SetSoundLoadDefaults();
    RebuildScreenSurfaces();
    ResetLocalVariables();
    ReadGlobalVariables();
    RebuildTextColorSurface();
    ClearImagePlugins();
    ClearSoundPressPlugins();
    ResetEffectTable();
    ClearAliasTables();
    UpdateMenuForPass(RestartRequested == 1);
    RestartRequested = 0;
    ScanLabels();

    DefineRunning = 1;
    RunInterpreter(1);

    if (!DefineRebuiltMenu()) EnumerateFontsForMenu();
    if (NameLogsRequested()) LoadNameLogs();
    LoadLookbackArrows();
    ApplyEnvData();
    // Once per process, with the save folder the first define block sets:
    // the game folder's lock (WinMain) is held from the start, so no other
    // copy writes there, and a later pass finds only this one's files.
    static bool staleTempsRemoved = false;
    if (!staleTempsRemoved) {
        staleTempsRemoved = true;
        RemoveStaleSaveTemps();
    }
    SetArrowCursor();
    PlatShowWindow(true);
    PlatSleep(500);
    PlatSetTimer(1, 30);

    do {
        ResetToStart();
        PlatSleep(5);
        DefineRunning = 0;
        RunInterpreter(0);
    } while (RestartRequested != 1);
    FreeScript();
}

void StartEngine() {
    StartDirectSound();
    BindOptionalLibraries();
    ClearDwaveSetting();
    FindCdMixerControls();
    ReadConfigFile();
    if (PlatExists("debug.872")) DebugMode = 1;
    RestartRequested = 0;
    ClearCsvOpenFlag();
    for (;;) RunPass();
}
