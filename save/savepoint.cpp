// savepoint.cpp - savepoints, save slots and loading.
#include "save/savepoint.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <string>

#include "core/callstack.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/return_value.h"
#include "core/script.h"
#include "ext/luahooks.h"
#include "ext/optional.h"
#include "graphics/bmp.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/imagetag.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "save/gamestate.h"
#include "save/imagecache.h"
#include "save/journal.h"
#include "save/persist.h"
#include "save/safe_write.h"
#include "save/save_messages.h"
#include "sound/cd.h"
#include "sound/channels.h"
#include "sound/mciwave.h"
#include "sound/midi.h"
#include "sound/music.h"
#include "sound/reset_sound.h"
#include "sound/sound.h"
#include "sound/sound_thread.h"
#include "sound/window_sound.h"
#include "text/backlog.h"
#include "text/clickwait.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/buttons.h"

int SaveOn = 0;
int NoCommandSavepoints = 0;
int ErrorSave = 0;
int GameLoaded = 0;
int LoadGosubOn = 0;
char LoadGosubLabel[256];
int SavepointPosition = 0;

// The image of the last savepoint, in a buffer allocated once, with the
// sprite sections kept apart and joined in when the slot's bytes are asked
// for (save/imagecache.h): it must stay below SaveDataLimit bytes, sections
// and tail included.
static std::vector<uint8_t> SavepointBytes;
static ImageWriter SavepointWriter{nullptr, nullptr};
int SavepointPending = 0;
int SavepointTailWritten = 0;

// The hook runs before the new savepoint replaces the last one, so a save it
// makes (or the error save when it fails) writes the last one's image: that
// image is built before the hook can change anything.
void RunSavepointHook() {
    if (const char* hook = FindLuaHook(":savepoint")) {
        KeepSavepoint();
        if (!CallLuaCommandHook(hook)) ScriptError(CapError, MsgSavepointHookFailed);
    }
}

static void RewindSavepointImage() {
    if (SavepointBytes.empty()) SavepointBytes.resize(SaveDataLimit);
    SavepointWriter = ImageWriter{SavepointBytes.data(), SavepointBytes.data() + SavepointBytes.size()};
}

void TakeSavepoint() {
    TakeCommandSavepoint();
    BuildSavepointImage();
}

// The walk sees the state of the savepoint: what the journal recorded is put
// back for it.  An image too large is an error when a save needs it.
void BuildSavepointImage() {
    if (!SavepointPending) return;
    SavepointPending = 0;
    UndoJournal();
    RewindSavepointImage();
    SpliceGameStateImage(&SavepointWriter);
    RedoJournal();
    ClearJournal();
}

void CountScriptPosition(int position, int32_t* line, int32_t* colons) {
    const char* s = ScriptBuffer;
    if (position > ScriptLength) position = ScriptLength;
    int32_t n = 0;
    for (int i = 0; i < position; i++) n += s[i] == '\n';
    int32_t c = 0;
    for (int i = position; i >= 0 && (i == position || s[i] != '\n'); i--) {
        if (i < ScriptLength && s[i] == ':') c++;
        if (i < position && s[i] == '\n') break;
    }
    *line = n;
    *colons = c;
}

int FindScriptPosition(int32_t line, int32_t colons) {
    const char* s = ScriptBuffer;
    if (line < 0 || colons < 0) return -1;
    int p = 0;
    for (int32_t n = 0; n < line; n++) {
        const void* nl = std::memchr(s + p, '\n', size_t(ScriptLength - p));
        if (!nl) return -1;
        p = int(static_cast<const char*>(nl) - s) + 1;
    }
    for (int32_t c = 0; c < colons; c++) {
        while (p < ScriptLength && s[p] != ':' && s[p] != '\n') p++;
        if (p >= ScriptLength || s[p] == '\n') return -1;
        p++;
    }
    return p;
}

std::vector<uint8_t> SavepointImage() {
    BuildSavepointImage();
    if (SavepointBytes.empty()) RewindSavepointImage();  // no savepoint yet: no state
    ImageWriter* w = &SavepointWriter;
    if (!SavepointTailWritten) {
        SavepointTailWritten = 1;
        int32_t pages = BacklogCommittedCount();  // 40: oldest first
        PutInt(w, pages);
        for (int i = pages; i >= 1; i--) {
            std::string t = BacklogCommittedPage(i);
            PutText(w, t.c_str(), std::strlen(t.c_str()));
        }
        int32_t tags = BacklogCommittedCount();  // 41
        PutInt(w, tags);
        for (int i = tags; i >= 1; i--) {
            std::string t = BacklogCommittedTag(i);
            PutText(w, t.c_str(), std::strlen(t.c_str()));
        }
        int32_t line, colons;  // 42, 43
        CountScriptPosition(SavepointPosition, &line, &colons);
        PutInt(w, line);
        PutInt(w, colons);
    }
    if (w->failed) ScriptError(CapError, MsgSaveTooLarge);
    return JoinSplices(SavepointBytes.data(), w->at);
}

std::string SlotFileName(int slot, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "save%d.%s", slot, extension);
    if (SaveDirectory.empty()) return name;
    return SaveDirectory + "\\" + name;
}

static bool WriteSlot(int slot, const std::vector<uint8_t>& bytes) {
    std::string file = SlotFileName(slot, "dat"), error;
    if (SafeWriteFile(file.c_str(), bytes.data(), bytes.size(), &error)) return true;
    char text[1024];
    std::snprintf(text, sizeof text, MsgSaveWriteFailed, (file + ": " + error).c_str());
    PlatMessageBox(text, CapError, MB_OK, true);
    return false;
}

static void SaveSlot(int slot, const char* name) {
    // A fatal error inside a save (an image too large, a failing hook) saves
    // to slot 999 under errorsave: that save must not start another.
    static int saving = 0;
    if (saving) {
        ReturnValue = 1;
        return;
    }
    saving = 1;
    struct Done {
        ~Done() { saving = 0; }
    } done;
    std::vector<uint8_t> bytes = SavepointImage();
    if (name) {
        bytes.push_back('"');
        bytes.insert(bytes.end(), name, name + std::strlen(name));
        bytes.push_back('"');
        bytes.push_back('*');
    }
    ReturnValue = WriteSlot(slot, bytes) ? 0 : 1;
    std::string ss = SlotFileName(slot, "ss");
    if (std::strcmp(StringText(BgName), "*bgcpy") == 0) {
        WriteBmpFile(&BgSurface.dib, ss.c_str());
    } else if (PlatExists(ss.c_str()) && PlatWriteAllowed(ss.c_str())) {
        std::remove(PlatResolve(ss.c_str()).c_str());
    }
    if (const char* hook = FindLuaHook(":save"))
        if (!CallLuaIntHook(hook, slot)) ScriptError(CapError, MsgSaveHookFailed);
}

void SaveGame(int slot) { SaveSlot(slot, nullptr); }
void SaveGameWithName(int slot, const char* name) { SaveSlot(slot, name); }

// Walks the tail (items 40-43); pages and tags go to out when given.
static bool ReadTail(SaveStream* s, std::vector<std::string>* pages, int* position,
                     std::vector<std::string>* tags = nullptr) {
    for (int list = 0; list < 2; list++) {
        int32_t n = 0;
        SerializeInt(s, &n);
        if (n < 0 || size_t(n) > s->size) return false;
        for (int32_t i = 0; i < n; i++) {
            std::string t;
            SerializeString(s, &t, BacklogPageSize);
            if (s->failed) return false;
            if (list == 0 && pages) pages->push_back(t);
            if (list == 1 && tags) tags->push_back(t);
        }
    }
    int32_t line = 0, colons = 0;
    SerializeInt(s, &line);
    SerializeInt(s, &colons);
    if (s->failed) return false;
    *position = FindScriptPosition(line, colons);
    return *position >= 0;
}

bool CheckSlotImage(const uint8_t* data, size_t size, int* position) {
    SaveStream s;
    OpenSaveReader(&s, data, size);
    if (!ReadGameState(&s, false)) return false;
    return ReadTail(&s, nullptr, position);
}

static void RebuildBackground(int slot) {
    const char* name = StringText(BgName);
    CreateSurface(&BgSurface, ScreenWidth, ScreenHeight);
    if (std::strcmp(name, "*bgcpy") == 0) {
        std::string ss = SlotFileName(slot, "ss");
        ReadBmpFile(ss.c_str(), &BgSurface.dib);
    } else if (name[0] == '#') {
        uint32_t rgb = ParseHexColor(name + 1);
        FillSurfaceRect(&BgSurface, 0, 0, ScreenWidth, ScreenHeight,
                        ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    } else if (strcasecmp(name, "black") == 0 || strcasecmp(name, "white") == 0) {
        FillSurfaceRect(&BgSurface, 0, 0, ScreenWidth, ScreenHeight,
                        strcasecmp(name, "white") == 0 ? 0xFFFFFF : 0);
    } else if (name[0]) {
        LoadSurface(&BgSurface, name);
    }
}

static void RebuildPictures() {
    for (int i = 0; i < HumanCount; i++) {
        if (Humans[i].name[0]) LoadSurface(&Humans[i].surface, Humans[i].name);
        Humans[i].surface.cell = SavepointCells[i];
        Humans[i].surface.alpha = SavepointAlphas[i];
    }
    for (int i = 0; i < SpriteCount; i++) {
        if (Sprites[i].tag[0]) LoadSurface(&Sprites[i].surface, Sprites[i].tag);
        Sprites[i].surface.cell = SavepointCells[HumanCount + i];
        Sprites[i].surface.alpha = SavepointAlphas[HumanCount + i];
    }
    for (int i = 0; i < Sprite2Count; i++) {
        if (!Sprites2[i].tag[0]) continue;
        LoadSurface(&Sprites2[i].surface, Sprites2[i].tag);
        Sprites2[i].surface.alpha = 255;
        Sprites2[i].surface.cell = 0;
    }
}

// The wait cursors from their tags (each one's default picture when its tag
// is ""), the window picture, an empty page with the window off.
static void RestoreTextWindow() {
    LoadWaitCursorPictures();
    if (WindowImageTag[0] && WindowColor == -1) LoadSurface(&WindowImage, WindowImageTag);
    ReloadButtonPicture();
    TextHidden = 0;
    ClearTextPage();
    WaitCursorType = 0;
    TextWindowShown = 0;
    TextWindowComposed = 0;
}

static void RestartMusic() {
    if (CdTrack == 0)
        StopCdPlayback();
    else if (CdTrack > 0 && !IsCdPlaying())
        StartCdTrack(CdTrack);
    if (!MidiName.empty()) PlayMidi(MidiName.c_str(), MidiLooping);
    if (!MciWaveName.empty() && MciWaveLooping) PlayMciWave(MciWaveName.c_str(), 1);
    if (!BgmName.empty())
        PlayBgm(BgmName.c_str(), BgmLooping, BgmLoopPointSet,
                BgmLoopPointSet ? std::atof(BgmLoopPointText.c_str()) : 0.0);
    if (!LoopBgmFiles.intro.empty())
        PlayLoopBgm(LoopBgmFiles.intro.c_str(), LoopBgmFiles.loop.c_str());
}

void LoadGame(int slot) {
    KeepSavepoint();
    std::string file = SlotFileName(slot, "dat");
    if (slot < 0 || !PlatExists(file.c_str())) return;
    std::vector<uint8_t> bytes;
    int position = -1;
    // The whole slot is checked before the game is touched.
    if (!PlatReadFile(file.c_str(), false, &bytes) ||
        !CheckSlotImage(bytes.data(), bytes.size(), &position))
        ScriptError(CapError, MsgSaveBroken);

    StopSoundForLoad();
    ClearBacklog();
    SaveStream s;
    OpenSaveReader(&s, bytes.data(), bytes.size());
    ReadGameState(&s, true);
    std::vector<std::string> pages, tags;
    ReadTail(&s, &pages, &position, &tags);
    for (size_t i = 0; i < pages.size(); i++)
        RestoreBacklogPage(pages[i].c_str(), i < tags.size() ? tags[i].c_str() : "");
    ReadPosition = position;

    RestoreTextWindow();
    RebuildBackground(slot);
    RebuildPictures();
    RestartMusic();
    ComposeScreen(nullptr);
    RunEffect(nullptr, 1, 0, nullptr);
    TakeSavepoint();
    if (const char* hook = FindLuaHook(":load"))
        if (!CallLuaIntHook(hook, slot)) ScriptError(CapError, MsgLoadHookFailed);
    if (LoadGosubOn) {
        if (CallStackDepth > 999) ScriptError(CapStack, MsgLoadGosubOverflow);
        CallStack[CallStackDepth++] = ReadPosition;
        JumpToLabel(LoadGosubLabel);
    }
}
