// envdata.cpp - the player's settings: "envdata" written from the settings
// in force, read back before the script loads (the save folder) and after
// *define (the rest, through the window's menu commands).
#include "save/envdata.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "save/persist.h"
#include "save/readlog.h"
#include "save/safe_write.h"
#include "save/stream.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "text/clickwait.h"
#include "text/textwindow.h"
#include "ui/dialogs.h"
#include "ui/mainwindow.h"
#include "ui/window_links.h"

// The fields in file order: an int or a text of EnvData, its name and the
// test of its values.
static bool Any(int32_t) { return true; }
static bool Flag(int32_t v) { return v == 0 || v == 1; }
static bool Speed(int32_t v) { return v >= 0 && v <= 2; }
static bool Volume(int32_t v) { return v >= 0 && v <= 100; }
static const struct EnvField {
    int32_t EnvData::*number;
    std::string EnvData::*text;
    bool (*valid)(int32_t);
    const char* name;
} Fields[EnvFieldCount] = {
    {&EnvData::full_screen, nullptr, Flag, "full screen"},
    {&EnvData::sound_on, nullptr, Flag, "sound on"},
    {&EnvData::text_speed, nullptr, Speed, "text speed"},
    {&EnvData::page_at_a_time, nullptr, Flag, "page at a time"},
    {nullptr, &EnvData::font, nullptr, "font"},
    {&EnvData::cd_on, nullptr, Flag, "CD on"},
    {nullptr, &EnvData::cd_drive, nullptr, "CD drive"},
    {&EnvData::voice_volume, nullptr, Volume, "voice volume"},
    {&EnvData::se_volume, nullptr, Volume, "sound effect volume"},
    {&EnvData::bgm_volume, nullptr, Volume, "music volume"},
    {&EnvData::kidoku_mode, nullptr, Flag, "read-skip mode"},
    {&EnvData::bgm_down_mode, nullptr, Any, "music down mode"},
    {nullptr, &EnvData::save_directory, nullptr, "save folder"},
    {&EnvData::auto_mode_wait, nullptr, Any, "auto-mode wait"},
};

const char* EnvFieldName(int n) { return n >= 1 && n <= EnvFieldCount ? Fields[n - 1].name : ""; }

std::string FormatEnvData(const EnvData& in) {
    EnvData e = in;
    if (e.auto_mode_wait == 0) e.auto_mode_wait = EnvAutoWaitZero;
    SaveStream s;
    OpenSaveWriter(&s, 0);
    for (const EnvField& f : Fields) {
        if (f.number)
            SerializeInt(&s, &(e.*f.number));
        else
            SerializeString(&s, &(e.*f.text), EnvTextMax);
    }
    return std::string(s.image.begin(), s.image.end());
}

bool ParseEnvData(const uint8_t* data, size_t size, EnvData* out) {
    EnvData e;
    SaveStream s;
    OpenSaveReader(&s, data, size);
    e.fields = 0;
    for (const EnvField& f : Fields) {
        size_t left = s.size - s.pos;
        if (f.number) {
            if (left < 4) break;  // the file ends here
            SerializeInt(&s, &(e.*f.number));
            if (!f.valid(e.*f.number)) return false;
        } else {
            SerializeString(&s, &(e.*f.text), EnvTextMax);
            if (s.failed) {
                if (left <= EnvTextMax) break;  // ends inside the text
                return false;                   // a text too long
            }
        }
        e.fields++;
    }
    if (e.fields == EnvFieldCount && !SaveStreamAtEnd(&s)) return false;
    e.has_auto_mode_wait = e.fields == EnvFieldCount;
    *out = e;
    return true;
}

EnvData CurrentEnvData() {
    EnvData e;
    e.full_screen = FullScreen == 1;
    e.sound_on = SoundOn;
    e.text_speed = TextSpeedIndex;
    e.page_at_a_time = PageAtATime;
    e.font = SelectedFont;
    e.cd_on = CdOn;
    e.cd_drive = CdDrive;
    e.voice_volume = VoiceVolume;
    e.se_volume = SeVolume;
    e.bgm_volume = BgmBaseVolume;
    e.kidoku_mode = KidokuMode;
    e.bgm_down_mode = BgmDownMode;
    e.save_directory = SaveDirectory;
    e.auto_mode_wait = AutoModeWait;
    e.has_auto_mode_wait = true;
    return e;
}

bool WriteEnvData() {
    std::string image = FormatEnvData(CurrentEnvData());
    std::string why;
    if (SafeWriteFileIfChanged("envdata", image.data(), image.size(), &why)) return true;
    ReportWriteFailure("envdata", why);
    return false;
}

// The settings of "envdata", or false.  It is read twice at every start-up
// pass: a damaged file, or one that ends before its field 13 (older files
// lack only field 14), is named in one warning line per run of the program.
static bool ReadEnvFile(EnvData* e) {
    static bool warned = false;
    std::vector<uint8_t> bytes;
    if (!PlatReadFile("envdata", false, &bytes)) return false;
    bool ok = ParseEnvData(bytes.data(), bytes.size(), e);
    if (!warned && !ok)
        fprintf(stderr, "orva: envdata is damaged or not a settings file; the defaults stand\n");
    else if (!warned && e->fields < EnvFieldCount - 1)
        fprintf(stderr,
                "orva: envdata ends before field %d (%s); the settings from there on keep "
                "their values\n",
                e->fields + 1, EnvFieldName(e->fields + 1));
    warned = warned || !ok || e->fields < EnvFieldCount - 1;
    return ok;
}

void ReadEnvSaveDirectory() {
    EnvData e;
    if (ReadEnvFile(&e) && e.fields >= 13) SaveDirectory = e.save_directory;
}

// Each field the file holds applies; those it lacks keep what the *define
// block or the defaults gave.
void ApplyEnvData() {
    EnvData e;
    if (!ReadEnvFile(&e)) return;
    int n = e.fields;
    if (n >= 7) snprintf(CdDrive, sizeof CdDrive, "%s", e.cd_drive.c_str());
    if (n >= 8) VoiceVolume = e.voice_volume;
    if (n >= 9) SeVolume = e.se_volume;
    if (n >= 10) BgmBaseVolume = BgmVolume = e.bgm_volume;
    if (n >= 11) KidokuMode = e.kidoku_mode;
    if (n >= 12) BgmDownMode = e.bgm_down_mode;
    if (n >= 13) SaveDirectory = e.save_directory;
    if (e.has_auto_mode_wait && e.auto_mode_wait != 0)
        AutoModeWait = e.auto_mode_wait == EnvAutoWaitZero ? 0 : e.auto_mode_wait;
    if (n >= 5) {
        snprintf(SelectedFont, sizeof SelectedFont, "%s", e.font.c_str());
        snprintf(TextFontFace, sizeof TextFontFace, "%s", e.font.c_str());
    }

    if (n >= 1 && e.full_screen) PlatPostMessage(WM_COMMAND, CmdFullScreen, 0);
    if (n >= 2 && !e.sound_on) PlatPostMessage(WM_COMMAND, CmdSoundOff, 0);
    if (n >= 6 && !e.cd_on) PlatPostMessage(WM_COMMAND, CmdCdOff, 0);
    if (n >= 11 && !KidokuMode) PlatPostMessage(WM_COMMAND, CmdKidokuOff, 0);
    if (n >= 4 && e.page_at_a_time) PlatPostMessage(WM_COMMAND, CmdPageMode, 0);
    if (n >= 3) PlatPostMessage(WM_COMMAND, CmdSpeedSlow + (uint32_t)e.text_speed, 0);
    if (n >= 5 && e.font != DefaultFont) {
        for (int i = 0; i < FontMenuCount && i < FontMenuLimit; i++)
            if (e.font == FontMenuNames[i]) {
                PlatPostMessage(WM_COMMAND, FontCommandBase + (uint32_t)i, 0);
                break;
            }
    } else if (n >= 5) {
        PlatPostMessage(WM_COMMAND, CmdDefaultFont, 0);
    }
    for (int i = 0; i < 100; i++)
        if (!PumpMessage()) break;
}
