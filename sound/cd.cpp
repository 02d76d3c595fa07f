// cd.cpp - CD audio: the disc found (an image, a drive, a folder of track
// files), its tracks played one at a time on a mixer stream, its volume
// control and fades, the timer's and the completion notice's replay of a
// looping track.
#include "sound/cd.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "core/error.h"
#include "core/startup.h"
#include "platform/platform.h"
#include "sound/decode_ffmpeg.h"
#include "core/system_commands.h"
#include "sound/cd_disc.h"
#include "sound/mciwave.h"
#include "sound/media_messages.h"
#include "sound/mixer.h"
#include "sound/sound.h"
#include "sound/window_sound.h"
#include "ui/dialogs.h"

CdStateRecord CdState;
int32_t CdFadeOutTime = 1000;
int32_t CdRestoreVolume = -1;
int32_t CdReplayCount = 0;

namespace {

enum : int32_t { CdControlMax = 65535 };
bool ControlFound;                   // the one virtual control exists
int32_t ControlValue = CdControlMax; // kept for the life of the process
std::map<int32_t, std::string> Tracks;  // a folder's: track number -> file (UTF-8)
std::shared_ptr<CdDisc> Disc;           // an image's or a drive's; null for a folder
int Stream = -1;
uint32_t PlaySerial;                 // told to the completion notice

bool IsFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsDevice(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && (S_ISBLK(st.st_mode) || S_ISCHR(st.st_mode));
}

// "D:\", "D:" and "D:/" name a drive: the default disc.
bool IsDriveRoot(const char* s) {
    return isalpha((unsigned char)s[0]) && s[1] == ':' &&
           (s[2] == 0 || ((s[2] == '\\' || s[2] == '/') && s[3] == 0));
}

int32_t MillibelsOf(int32_t v) {
    if (v <= 0) return MixerSilentMb;
    double mb = 2000.0 * std::log10((double)v / CdControlMax);
    return mb < MixerSilentMb ? MixerSilentMb : (int32_t)std::lround(mb);
}

void ApplyGain() {
    if (Stream >= 0) MixerSetStreamGain(Stream, MillibelsOf(ControlValue));
}

// The track file's decoder; its end posts the completion notice, once.
struct CdTrackSource : MixerSource {
    std::unique_ptr<MixerSource> inner;
    uint32_t serial = 0;
    bool noticed = false;
    int Read(float* stereo, int count) override {
        int n = inner->Read(stereo, count);
        if (n < count && !noticed) {
            noticed = true;
            PlatPostMessage(MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, (intptr_t)serial);
        }
        return n;
    }
    bool Rewind() override {
        noticed = false;
        return inner->Rewind();
    }
};

void CloseStream() {
    if (Stream < 0) return;
    MixerCloseStream(Stream);
    Stream = -1;
}

void RestartTrack(int32_t track, int loop) {
    int32_t fade = CdFadeOutTime;
    CdFadeOutTime = 0;
    CdTrack = 9999;  // so that the same track starts again
    PlayCdTrack(track, loop);
    CdFadeOutTime = fade;
}

}  // namespace

int32_t CdTrackNumberOf(const char* name) {
    if (strncasecmp(name, "track", 5) != 0) return 0;
    const char* p = name + 5;
    int digits = 0;
    int32_t n = 0;
    while (isdigit((unsigned char)*p) && digits < 4) n = n * 10 + (*p++ - '0'), digits++;
    if (digits < 2 || *p != '.') return 0;
    static const char* const kinds[] = {"ogg", "flac", "opus", "mp3", "wav"};
    for (const char* k : kinds)
        if (strcasecmp(p + 1, k) == 0) return n;
    return 0;
}

std::vector<std::string> CdImageNames(const std::string& folder, bool cue_only) {
    std::vector<std::string> out;
    DIR* d = opendir(folder.c_str());
    if (!d) return out;
    while (dirent* e = readdir(d)) {
        const char* dot = strrchr(e->d_name, '.');
        if (!dot || dot == e->d_name) continue;
        bool cue = strcasecmp(dot, ".cue") == 0;
        if (cue || (!cue_only && (strcasecmp(dot, ".toc") == 0 || strcasecmp(dot, ".nrg") == 0)))
            if (!IsFolder(folder + "/" + e->d_name)) out.push_back(e->d_name);
    }
    closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

namespace {

// The track files of a folder: the disc's tracks.
bool ScanTrackFolder(const std::string& root, std::string* what) {
    DIR* d = opendir(root.c_str());
    if (!d) return false;
    while (dirent* e = readdir(d)) {
        int32_t n = CdTrackNumberOf(e->d_name);
        if (n <= 0) continue;
        std::string path = root + "/" + e->d_name;
        auto at = Tracks.find(n);
        if (at == Tracks.end() || path < at->second) Tracks[n] = path;  // one file a number
        if (n > CdState.track_count) CdState.track_count = n;
    }
    closedir(d);
    *what = "\"" + root + "\"";
    return true;
}

// The first disc image of the game folder by name (".cue"), "" when none.
std::string CdImageInGame() {
    std::vector<std::string> names = CdImageNames(PlatGameDir(), true);
    return names.empty() ? std::string() : names[0];
}

// Without a setting: a disc image in the game folder, a drive holding an
// audio disc, the game folder's "cd" folder, in this order.  A named disc
// is a folder, a drive (a device) or an image (any other file).
bool OpenCdSource(std::string* what) {
    if (CdDrive[0] && !IsDriveRoot(CdDrive)) {
        std::string named = PlatResolve(CdDrive);
        struct stat st;
        if (stat(named.c_str(), &st) != 0) return false;
        if (S_ISDIR(st.st_mode)) return ScanTrackFolder(named, what);
        bool drive = S_ISBLK(st.st_mode) || S_ISCHR(st.st_mode);
        Disc = CdDiscOpen(named, drive);
        *what = (drive ? "drive \"" : "image \"") + named + "\"";
        return Disc != nullptr;
    }
    std::string image = CdImageInGame();
    if (!image.empty() && (Disc = CdDiscOpen(image, false))) {
        *what = "image \"" + image + "\"";
        return true;
    }
    std::string drive;
    if ((Disc = CdDiscOpenAudioDrive(&drive))) {
        *what = "drive \"" + drive + "\"";
        return true;
    }
    std::string own = PlatResolve("cd");
    return IsFolder(own) && ScanTrackFolder(own, what);
}

}  // namespace

// The volume control is there when a disc could be: the disc named, or an
// image, a drive or the "cd" folder seen without opening anything (libcdio
// is loaded only when the CD is first opened).
void FindCdMixerControls() {
    if (CdDrive[0] && !IsDriveRoot(CdDrive)) {
        ControlFound = PlatExists(CdDrive) || IsDevice(PlatResolve(CdDrive));
        return;
    }
    ControlFound = !CdImageInGame().empty() || IsFolder(PlatResolve("cd"));
    for (const char* dev : {"/dev/cdrom", "/dev/sr0"}) ControlFound = ControlFound || IsDevice(dev);
}

int32_t GetCdMixerVolume() { return ControlFound ? ControlValue : 0; }

void SetCdMixerVolume(int32_t v) {
    if (!ControlFound) return;
    if (v < 0) v = 0;
    if (v > CdControlMax) v = CdControlMax;  // the control's own range
    ControlValue = v;
    SoundTrace("cdmix set %d", v);
    ApplyGain();
}

void OpenCdAudio() {
    CdState.open_failed = 0;
    if (!CdOn) return;
    if (CdState.open) CloseCdAudio();
    std::string what;
    Tracks.clear();
    Disc.reset();
    CdState.track_count = 0;
    // One look: StartCdTrack, which opens the disc, looks up to 51 times.
    if (!OpenCdSource(&what)) {
        Disc.reset();
        CdState.open_failed = 1;
        SoundTrace("cd open failed");
        return;
    }
    if (Disc) CdState.track_count = CdDiscTrackCount(*Disc);
    CdState.open = 1;
    ControlFound = true;  // a disc found after start-up brings its control too
    SoundTrace("cd open %s tracks=%d", what.c_str(), CdState.track_count);
}

void StartCdTrack(int32_t n) {
    if (!CdOn) return;
    if (!CdState.open) {
        for (int i = 0; i < 51; i++) {
            OpenCdAudio();
            if (!CdState.open_failed) break;
            PlatSleep(10);
        }
        if (!CdState.open) return;
    }
    if (CdState.playing) StopCdAudio();
    if (CdState.track_count == 1) return;
    if (n > CdState.track_count) n = CdState.track_count;
    std::unique_ptr<MixerSource> dec;
    std::string shown;
    int32_t first, end;
    auto at = Tracks.find(n);
    if (Disc && CdDiscTrackSectors(*Disc, n, &first, &end)) {
        dec = CdDiscPlay(Disc, first, end);
        shown = "sectors=" + std::to_string(first) + "-" + std::to_string(end);
    } else if (!Disc && n >= 1 && at != Tracks.end()) {
        dec = OpenFfmpegFile(at->second.c_str());
        if (!dec) ScriptErrorF(CapCdPlayError, FmtCdTrackUndecodable, Utf8ToCp932(at->second).c_str());
        shown = "file=\"" + at->second.substr(at->second.rfind('/') + 1) + "\"";
    } else {
        SoundTrace("cd play track=%d none", n);  // a data track or none: silence
        return;
    }
    auto src = std::make_unique<CdTrackSource>();
    src->inner = std::move(dec);
    src->serial = ++PlaySerial;
    CloseStream();
    Stream = MixerOpenSource(std::move(src));
    if (Stream < 0) return;
    SoundTrace("cd play track=%d loop=%d %s", n, CdLooping, shown.c_str());
    ApplyGain();
    MixerPlayStream(Stream, false);
    CdState.playing = 1;
}

void StopCdAudio() {
    if (!CdOn || !CdState.open || !CdState.playing) return;
    CdState.playing = 0;
    if (Stream >= 0) SoundTrace("cd stop");
    CloseStream();
}

int IsCdPlaying() {
    if (!CdOn || !CdState.open) return 0;
    if (Stream < 0) return 0;
    return MixerStreamEnded(Stream) ? 0 : 1;
}

void CloseCdAudio() {
    if (!CdOn || !CdState.open) return;
    if (CdState.playing) StopCdAudio();
    CloseStream();
    Disc.reset();
    CdState.open = 0;
    SoundTrace("cd close");
}

void PlayCdTrack(int32_t n, int loop) {
    if (n == 0) {
        StopCdPlayback();
        return;
    }
    if (n == CdTrack && IsCdPlaying() == 1) return;
    StopCdPlayback();
    CdLooping = loop;
    CdTrack = n;
    StartCdTrack(n);
}

void StopCdPlayback() {
    if (CdTrack == -1) return;
    if (CdFadeOutTime <= 0 || CdFadeOff) {
        StopCdAudio();
        CdTrack = -1;
    } else {
        FadeOutCd();
    }
}

void FadeOutCd() {
    CdTrack = -1;
    if (!CdOn) return;
    int32_t v = GetCdMixerVolume();
    int32_t step = CdFadeOutTime / 100;
    for (int32_t k = 99; k >= 1; k--) {
        uint32_t start = PlatTicks();
        SetCdMixerVolume((int32_t)((int64_t)v * k / 100));
        uint32_t spent = PlatTicks() - start;
        int32_t rest = step - (int32_t)spent;
        PlatSleep(rest < 1 ? 1 : (uint32_t)rest);
    }
    StopCdAudio();
    PlatSleep(1000);
    SetCdMixerVolume(v);
}

void ReplayLoopingCd() {
    if (!CdLooping || CdTrack == -1 || IsCdPlaying()) return;
    if (CdReplayCount++ < 10) return;
    CdReplayCount = 0;
    RestartTrack(CdTrack, CdLooping);
}

void CdPlayNotice(uintptr_t code, intptr_t serial) {
    if (code != MCI_NOTIFY_SUCCESSFUL || (uint32_t)serial != PlaySerial) return;
    SoundTrace("cd end");
    if (!CdLooping || CdTrack == -1) return;
    RestartTrack(CdTrack, CdLooping);
}

void PlayCdTrackFromMenu() { RestartTrack(CdTrack, CdLooping); }

void RestoreCdVolumeAtExit() {
    if (CdRestoreVolume != -1) SetCdMixerVolume(CdRestoreVolume);
}

// winexec: the CD stops and its device closes, the wave device stops.
void StopCdAndWaveForWinexec() {
    StopCdAudio();
    CloseCdAudio();
    StopMciWave();
}
