// dialogs.cpp - the input dialog and the settings dialogs of the window
// menu: text speed, auto-mode speed, volumes and the CD drive.  The
// platform runs each as a modal panel that keeps the timers and painting
// going.
#include "ui/dialogs.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "platform/platform.h"
#include "sound/cd.h"
#include "sound/cd_disc.h"
#include "sound/channels.h"
#include "sound/music.h"
#include "sound/ogg_plugin.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "text/clickwait.h"
#include "text/display.h"
#include "text/textwindow.h"
#include "ui/gui_messages.h"

char CdDrive[CdDriveSize];
char InputText[InputTextSize];
std::string InputDefault;
int32_t InputMaxLength, InputFullWidthOnly, InputSizeSet;
int32_t InputDialogWidth, InputDialogHeight, InputEditWidth, InputEditHeight;

// ---- the input dialog --------------------------------------------------------------

bool AllFullWidth(const std::string& s) {
    for (size_t i = 0; i < s.size(); i += 2)
        if (!IsSjisLead((unsigned char)s[i])) return false;
    return true;
}

static bool IsNumberAnswer(const std::string& s) {
    for (size_t i = 0; i < s.size(); i++)
        if (!(s[i] >= '0' && s[i] <= '9') && !(i == 0 && s[i] == '-')) return false;
    return true;
}

const char* CheckInputAnswer(const std::string& answer, bool numeric, int32_t max_length, bool full_width) {
    if (numeric) return IsNumberAnswer(answer) ? nullptr : MsgEnterNumber;
    if (answer.empty()) return MsgEnterString;
    if (max_length >= 0 && answer.size() > (size_t)max_length) return MsgStringTooLong;
    if (full_width && !AllFullWidth(answer)) return MsgFullWidthOnly;
    return nullptr;
}

// Points to pixels at 96 dots an inch.
static int Pixels(int32_t points) { return (int)((int64_t)points * 96 / 72); }

void RunInputDialog() {
    bool numeric = InputMaxLength == -1;
    const char* caption = numeric ? CapInputNumber : CapInputString;
    std::string prompt = InputText;
    PlatDialogSize size;
    if (InputSizeSet) {
        size.dialog_w = Pixels(InputDialogWidth);
        size.dialog_h = Pixels(InputDialogHeight);
        size.edit_w = Pixels(InputEditWidth);
        size.edit_h = Pixels(InputEditHeight);
    }
    std::string text = InputDefault;
    for (;;) {
        // With an empty default there is nothing to answer a cancel with:
        // Esc does nothing and what was typed stays.
        int r = PlatInputDialog(caption, prompt.c_str(), TxtDecide, &text, InputTextSize - 1,
                                InputSizeSet ? &size : nullptr, !InputDefault.empty());
        if (r != IDOK) {
            if (InputDefault.empty()) continue;
            snprintf(InputText, sizeof InputText, "%s", InputDefault.c_str());
            return;
        }
        text.resize(SjisCutLength(text.data(), text.size(), InputTextSize - 1));
        if (const char* refusal = CheckInputAnswer(text, numeric, InputMaxLength, InputFullWidthOnly != 0)) {
            PlatMessageBox(refusal, caption, MB_OK | MB_ICONERROR, true);
            continue;
        }
        memcpy(InputText, text.data(), text.size());
        InputText[text.size()] = 0;
        return;
    }
}

// A decimal answer as a 32-bit number (beyond it: the nearest bound).
static int32_t AnswerNumber(const char* s) {
    long long v = strtoll(s, nullptr, 10);
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v;
}

void RunVariableEditor() {
    InputDefault.clear();
    InputMaxLength = -1;
    InputFullWidthOnly = 0;
    InputSizeSet = 0;
    RunInputDialog();
    int32_t n = AnswerNumber(InputText);
    if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgVarRange);
    RunInputDialog();
    IntVariables[n] = AnswerNumber(InputText);
}

// ---- speed dialogs ---------------------------------------------------------------------

static int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

static int32_t RunSpeedSlider(const char* caption, const char* label, int32_t lo, int32_t hi, int32_t value) {
    if (hi < lo) hi = lo;
    PlatSlider s;
    s.label = label;
    s.min_label = TxtFaster;  // the left end is the shortest delay
    s.max_label = TxtSlower;
    s.min = lo;
    s.max = hi;
    s.value = Clamp(value, lo, hi);
    PlatSliderDialog(caption, &s, 1, 0, nullptr, nullptr);
    return s.value;
}

void RunTextSpeedDialog() {
    TextSpeed = RunSpeedSlider(CapTextSpeedDialog, TxtTextSpeed, TextSpeedDialogMin, TextSpeedDialogMax, TextSpeed);
    TextSpeeds[0] = TextSpeed;
}

void RunAutoSpeedDialog() {
    AutoModeWait = RunSpeedSlider(CapAutoSpeedDialog, TxtAutoSpeed, AutoSpeedDialogMin, AutoSpeedDialogMax, AutoModeWait);
}

// ---- volumes -------------------------------------------------------------------------------

static void TakeVolumes(const PlatSlider* s) {
    VoiceVolume = s[0].value;
    SeVolume = s[1].value;
    BgmVolume = s[2].value;
}

// Each movement: the music channels, the voice and effect channels (through
// the Ogg plug-in where it carries them, its channel 99 then taking the
// music's volume), and the music unless the music plays mv voices without
// a movie.
static void VolumesMoved(const PlatSlider* s, int, void*) {
    TakeVolumes(s);
    SetChannelVolume(BgmVolume, 198);
    SetChannelVolume(BgmVolume, 199);
    for (int c = 0; c < 198; c++) {
        int32_t a = c == 0 ? VoiceVolume : SeVolume;
        if (c == 99 && OggCarries(c)) a = BgmVolume;
        ApplyChannelVolume(a, c);
    }
    if (!(Mp3VoiceMode && !MovieGraphActive)) {
        BgmBaseVolume = s[2].value;
        SetBgmVolume(s[2].value);
    }
}

void RunVolumeDialog() {
    PlatSlider s[3];
    const char* labels[3] = {TxtVoice, TxtSe, TxtBgm};
    int32_t values[3] = {VoiceVolume, SeVolume, BgmVolume};
    for (int i = 0; i < 3; i++) {
        s[i].label = labels[i];
        s[i].min = 0;
        s[i].max = 100;
        s[i].value = Clamp(values[i], 0, 100);
        s[i].vertical = true;
    }
    s[2].disabled = DelBgmVolume != 0;
    PlatSliderDialog(CapVolumeDialog, s, 3, DelBgmVolume ? 140 : 0, VolumesMoved, nullptr);
    // Closing applies the positions, moved or not.
    TakeVolumes(s);
    for (int c = 0; c < 198; c++) ApplyChannelVolume(c == 0 ? VoiceVolume : SeVolume, c);
    SetChannelVolume(BgmVolume, 198);
    SetChannelVolume(BgmVolume, 199);
    SetBgmVolume(s[2].value);
    BgmBaseVolume = s[2].value;
}

// ---- the CD drive ---------------------------------------------------------------------------

// The path of a /proc/mounts field: "\040" and the other octal escapes undone.
static std::string MountField(const char* f) {
    std::string out;
    for (; *f; f++) {
        bool octal = f[0] == '\\' && f[1] >= '0' && f[1] <= '3' && f[2] >= '0' && f[2] <= '7' &&
                     f[3] >= '0' && f[3] <= '7';
        if (octal) {
            out += (char)((f[1] - '0') * 64 + (f[2] - '0') * 8 + (f[3] - '0'));
            f += 3;
        } else {
            out += *f;
        }
    }
    return out;
}

// Mounted media: disc file systems (ISO 9660, UDF) wherever they are, and
// whatever is mounted under /media, /run/media or /mnt.
static std::vector<std::string> MountedMedia() {
    std::vector<std::string> out;
    FILE* f = fopen("/proc/mounts", "r");
    if (!f) return out;
    char dev[512], dir[512], type[64];
    while (fscanf(f, "%511s %511s %63s %*[^\n]", dev, dir, type) == 3) {
        std::string d = MountField(dir);
        bool disc = !strcmp(type, "iso9660") || !strcmp(type, "udf");
        bool media = d.rfind("/media/", 0) == 0 || d.rfind("/run/media/", 0) == 0 || d.rfind("/mnt/", 0) == 0;
        if (disc || media) out.push_back(d + "/");
    }
    fclose(f);
    return out;
}

// The sub-folders of the game folder that hold track files ("cd/" ...).
static std::vector<std::string> TrackFolders() {
    std::vector<std::string> out;
    DIR* game = opendir(PlatGameDir().c_str());
    if (!game) return out;
    while (dirent* e = readdir(game)) {
        if (e->d_name[0] == '.') continue;
        DIR* sub = opendir((PlatGameDir() + "/" + e->d_name).c_str());
        if (!sub) continue;
        while (dirent* t = readdir(sub))
            if (CdTrackNumberOf(t->d_name) > 0) {
                out.push_back(std::string(e->d_name) + "/");
                break;
            }
        closedir(sub);
    }
    closedir(game);
    std::sort(out.begin(), out.end());
    return out;
}

// Each once, none longer than CdDrive holds.
std::vector<std::string> CdDriveChoices() {
    std::vector<std::string> found = CdDiscDrives();
    for (const std::string& n : CdImageNames(PlatGameDir(), false)) found.push_back(n);
    for (const std::string& n : TrackFolders()) found.push_back(n);
    for (const std::string& n : MountedMedia()) found.push_back(n);
    std::vector<std::string> out;
    for (const std::string& u : found) {
        std::string c = Utf8ToCp932(u);
        if (c.size() < CdDriveSize && std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
    }
    return out;
}

// The entries are the choices; a path may be typed as well.  The setting
// in force is selected, added when it is none of them.
void RunCdDriveDialog() {
    std::vector<std::string> choices = CdDriveChoices();
    if (CdDrive[0] && std::find(choices.begin(), choices.end(), CdDrive) == choices.end())
        choices.push_back(CdDrive);
    std::vector<const char*> items;
    items.push_back(MnDefault);
    int selected = 0;
    for (const std::string& d : choices) {
        if (CdDrive[0] && d == CdDrive) selected = (int)items.size();
        items.push_back(d.c_str());
    }
    std::string typed;
    int count = (int)items.size();
    int chosen = PlatComboDialog(CapCdDriveDialog, items.data(), count, selected, &typed, CdDriveSize - 1,
                                 TxtOk, TxtCancel);
    if (chosen < 0) return;
    const char* now = chosen == 0 ? "" : chosen < count ? items[(size_t)chosen] : typed.c_str();
    snprintf(CdDrive, sizeof CdDrive, "%s", now);
    // A track playing starts again from the new disc, looping as it did.
    int32_t track = CdTrack;
    if (track > 0) CdTrack = 0;
    CloseCdAudio();
    if (track > 0) {
        CdTrack = track;
        PlayCdTrackFromMenu();
    }
}
