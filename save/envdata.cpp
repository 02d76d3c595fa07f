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
#include "text/dialogs.h"
#include "text/mainwindow.h"
#include "text/textwindow.h"
#include "text/window_links.h"

static void Walk(SaveStream* s, EnvData* e) {
    SerializeInt(s, &e->full_screen);
    SerializeInt(s, &e->sound_on);
    SerializeInt(s, &e->text_speed);
    SerializeInt(s, &e->page_at_a_time);
    SerializeString(s, &e->font, EnvTextMax);
    SerializeInt(s, &e->cd_on);
    SerializeString(s, &e->cd_drive, EnvTextMax);
    SerializeInt(s, &e->voice_volume);
    SerializeInt(s, &e->se_volume);
    SerializeInt(s, &e->bgm_volume);
    SerializeInt(s, &e->kidoku_mode);
    SerializeInt(s, &e->bgm_down_mode);
    SerializeString(s, &e->save_directory, EnvTextMax);
}

std::string FormatEnvData(const EnvData& in) {
    EnvData e = in;
    SaveStream s;
    OpenSaveWriter(&s, 0);
    Walk(&s, &e);
    int32_t wait = e.auto_mode_wait == 0 ? EnvAutoWaitZero : e.auto_mode_wait;
    SerializeInt(&s, &wait);
    return std::string(s.image.begin(), s.image.end());
}

static bool Flag(int32_t v) { return v == 0 || v == 1; }
static bool Volume(int32_t v) { return v >= 0 && v <= 100; }

bool ParseEnvData(const uint8_t* data, size_t size, EnvData* out) {
    EnvData e;
    SaveStream s;
    OpenSaveReader(&s, data, size);
    Walk(&s, &e);
    if (s.failed) return false;
    if (!SaveStreamAtEnd(&s)) {
        SerializeInt(&s, &e.auto_mode_wait);
        if (s.failed || !SaveStreamAtEnd(&s)) return false;
        e.has_auto_mode_wait = true;
    }
    if (!Flag(e.full_screen) || !Flag(e.sound_on) || e.text_speed < 0 || e.text_speed > 2 ||
        !Flag(e.page_at_a_time) || !Flag(e.cd_on) || !Volume(e.voice_volume) ||
        !Volume(e.se_volume) || !Volume(e.bgm_volume) || !Flag(e.kidoku_mode))
        return false;
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

// The settings of "envdata", or false (with a warning when it is damaged).
static bool ReadEnvFile(EnvData* e) {
    std::vector<uint8_t> bytes;
    if (!PlatReadFile("envdata", false, &bytes)) return false;
    if (ParseEnvData(bytes.data(), bytes.size(), e)) return true;
    fprintf(stderr, "orva: envdata is damaged or not a settings file; the defaults stand\n");
    return false;
}

void ReadEnvSaveDirectory() {
    EnvData e;
    if (ReadEnvFile(&e)) SaveDirectory = e.save_directory;
}

void ApplyEnvData() {
    EnvData e;
    if (!ReadEnvFile(&e)) return;
    snprintf(CdDrive, sizeof CdDrive, "%s", e.cd_drive.c_str());
    VoiceVolume = e.voice_volume;
    SeVolume = e.se_volume;
    BgmBaseVolume = BgmVolume = e.bgm_volume;
    KidokuMode = e.kidoku_mode;
    BgmDownMode = e.bgm_down_mode;
    SaveDirectory = e.save_directory;
    if (e.has_auto_mode_wait && e.auto_mode_wait != 0)
        AutoModeWait = e.auto_mode_wait == EnvAutoWaitZero ? 0 : e.auto_mode_wait;
    snprintf(SelectedFont, sizeof SelectedFont, "%s", e.font.c_str());
    snprintf(TextFontFace, sizeof TextFontFace, "%s", e.font.c_str());

    if (e.full_screen) PlatPostMessage(WM_COMMAND, CmdFullScreen, 0);
    if (!e.sound_on) PlatPostMessage(WM_COMMAND, CmdSoundOff, 0);
    if (!e.cd_on) PlatPostMessage(WM_COMMAND, CmdCdOff, 0);
    if (!KidokuMode) PlatPostMessage(WM_COMMAND, CmdKidokuOff, 0);
    if (e.page_at_a_time) PlatPostMessage(WM_COMMAND, CmdPageMode, 0);
    PlatPostMessage(WM_COMMAND, CmdSpeedSlow + (uint32_t)e.text_speed, 0);
    if (e.font != DefaultFont) {
        for (int i = 0; i < FontMenuCount && i < FontMenuLimit; i++)
            if (e.font == FontMenuNames[i]) {
                PlatPostMessage(WM_COMMAND, FontCommandBase + (uint32_t)i, 0);
                break;
            }
    } else {
        PlatPostMessage(WM_COMMAND, CmdDefaultFont, 0);
    }
    for (int i = 0; i < 100; i++)
        if (!PumpMessage()) break;
}
