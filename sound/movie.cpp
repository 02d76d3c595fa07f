// movie.cpp - the movie player over libavformat, libavcodec and libswscale,
// and the movie commands' players: the movie graph and the AVI device.
#include "sound/movie.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "archive/extract.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/return_value.h"
#include "core/script.h"
#include "graphics/imagetag.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "sound/channels.h"
#include "sound/decode_ffmpeg.h"
#include "sound/media_messages.h"
#include "sound/mixer.h"
#include "sound/music_messages.h"
#include "sound/sound_thread.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"

int32_t MovieLoop = 0;
int32_t MovieRect[4];
TempFileRecord MovieTempFile;

struct MoviePlayer {
    AVFormatContext* fmt = nullptr;
    AVCodecContext* dec = nullptr;
    SwsContext* sws = nullptr;
    AVPacket* pkt = nullptr;
    AVFrame* next = nullptr;  // decoded, shown when due
    AVFrame* due = nullptr;   // the newest picture due
    int vstream = -1;
    double time_base = 0;     // seconds per pts unit
    double frame_time = 0;    // seconds per picture
    int64_t first_pts = AV_NOPTS_VALUE;
    double next_t = 0, last_t = 0;  // seconds from the start
    bool have_next = false, demux_end = false, video_end = false;
    int audio = -1;           // mixer stream of the sound, -1 none
    uint32_t start = 0;       // PlatTicks at the start
    int x = 0, y = 0, w = 0, h = 0;  // the rectangle
    int sw = 0, sh = 0, stride = 0;  // the screen copy
    std::vector<uint8_t> screen;     // bottom-up BGR, what the window shows
    std::vector<uint8_t> scaled;     // a rectangle partly off the screen, top-down
    bool overlay = false;            // its picture stays over whatever the engine presents
    int shown = 0;
    bool paused = false;      // held by a display switch
    bool audio_paused = false;
    uint32_t paused_at = 0;
};

namespace {

// The next picture into m->next; false at the end or on a decoding failure.
bool DecodeFrame(MoviePlayer* m) {
    for (;;) {
        int r = avcodec_receive_frame(m->dec, m->next);
        if (r == 0) return true;
        if (r != AVERROR(EAGAIN) || m->demux_end) return false;
        r = av_read_frame(m->fmt, m->pkt);
        if (r < 0) {
            m->demux_end = true;
            avcodec_send_packet(m->dec, nullptr);  // drain what the decoder holds
            continue;
        }
        if (m->pkt->stream_index == m->vstream) avcodec_send_packet(m->dec, m->pkt);  // a bad packet is skipped
        av_packet_unref(m->pkt);
    }
}

// Decodes the next picture and its time; false at the end.
bool FetchNext(MoviePlayer* m) {
    if (m->video_end) return false;
    if (!DecodeFrame(m)) {
        m->video_end = true;
        m->have_next = false;
        return false;
    }
    int64_t pts = m->next->best_effort_timestamp;
    if (pts != AV_NOPTS_VALUE && m->first_pts == AV_NOPTS_VALUE) m->first_pts = pts;
    double t = pts == AV_NOPTS_VALUE ? m->last_t + m->frame_time
                                     : (double)(pts - m->first_pts) * m->time_base;
    if (m->shown > 0 && t < m->last_t) t = m->last_t;  // never backwards
    m->next_t = t;
    m->have_next = true;
    return true;
}

// Scales m->due into the screen copy at the rectangle.
void ScaleDue(MoviePlayer* m) {
    AVFrame* f = m->due;
    m->sws = sws_getCachedContext(m->sws, f->width, f->height, (AVPixelFormat)f->format, m->w, m->h,
                                  AV_PIX_FMT_BGR24, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
    if (!m->sws) return;
    bool inside = m->x >= 0 && m->y >= 0 && m->x + m->w <= m->sw && m->y + m->h <= m->sh;
    if (inside) {
        // The screen copy is bottom-up: the rectangle's top row, walked upwards.
        uint8_t* dst[4] = {m->screen.data() + (size_t)(m->sh - 1 - m->y) * m->stride + (size_t)m->x * 3};
        int dst_stride[4] = {-m->stride};
        sws_scale(m->sws, f->data, f->linesize, 0, f->height, dst, dst_stride);
        return;
    }
    int row = m->w * 3;
    m->scaled.resize((size_t)row * m->h);
    uint8_t* dst[4] = {m->scaled.data()};
    int dst_stride[4] = {row};
    sws_scale(m->sws, f->data, f->linesize, 0, f->height, dst, dst_stride);
    int x0 = m->x < 0 ? 0 : m->x, x1 = m->x + m->w > m->sw ? m->sw : m->x + m->w;
    for (int sy = 0; sy < m->h && x0 < x1; sy++) {
        int ty = m->y + sy;
        if (ty < 0 || ty >= m->sh) continue;
        memcpy(m->screen.data() + (size_t)(m->sh - 1 - ty) * m->stride + (size_t)x0 * 3,
               m->scaled.data() + (size_t)sy * row + (size_t)(x0 - m->x) * 3, (size_t)(x1 - x0) * 3);
    }
}

// The picture goes over its rectangle only: the rest of the window is the
// engine's.
void Present(MoviePlayer* m) {
    int l = m->x, t = m->y, r = m->x + m->w - 1, b = m->y + m->h - 1;
    if (m->overlay)
        PlatPresentOverlay(m->screen.data(), m->sw, m->sh, l, t, r, b);
    else
        PlatPresentRect(m->screen.data(), m->sw, m->sh, l, t, r, b);
}

void Release(MoviePlayer* m) {
    if (m->audio >= 0) MixerCloseStream(m->audio);
    m->audio = -1;
    sws_freeContext(m->sws);
    av_frame_free(&m->next);
    av_frame_free(&m->due);
    av_packet_free(&m->pkt);
    avcodec_free_context(&m->dec);
    avformat_close_input(&m->fmt);
}

}  // namespace

void MovieCloser::operator()(MoviePlayer* m) const {
    Release(m);
    delete m;
}

namespace {

void OpenSound(MoviePlayer* m, const char* utf8_path) {
    if (!SoundChannels.SoundStarted && !StartDirectSound()) return;
    std::unique_ptr<MixerSource> sound = OpenFfmpegFile(utf8_path);
    if (sound) m->audio = MixerOpenSource(std::move(sound));
}

// A file of sound and no pictures (".mp3", ".wav", ".wma"): it plays, and
// shows nothing, until its sound ends.
MoviePtr OpenSoundOnly(MoviePtr m, const char* utf8_path) {
    OpenSound(m.get(), utf8_path);
    if (m->audio < 0) return nullptr;
    m->video_end = true;
    m->start = PlatTicks();
    MixerPlayStream(m->audio, false);
    return m;
}

}  // namespace

MoviePtr OpenMovie(const char* utf8_path, int x, int y, int w, int h, bool with_sound) {
    MoviePtr m(new MoviePlayer);
    if (w <= 0 || h <= 0 || w > MaxPictureSide || h > MaxPictureSide) return nullptr;
    if (avformat_open_input(&m->fmt, utf8_path, nullptr, nullptr) < 0) return nullptr;
    if (avformat_find_stream_info(m->fmt, nullptr) < 0) return nullptr;
    const AVCodec* codec = nullptr;
    m->vstream = av_find_best_stream(m->fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (m->vstream < 0 && with_sound) return OpenSoundOnly(std::move(m), utf8_path);
    if (m->vstream < 0 || !codec) return nullptr;
    AVStream* st = m->fmt->streams[m->vstream];
    m->dec = avcodec_alloc_context3(codec);
    if (!m->dec || avcodec_parameters_to_context(m->dec, st->codecpar) < 0) return nullptr;
    m->dec->thread_count = 1;  // pictures in order, one core
    if (avcodec_open2(m->dec, codec, nullptr) < 0) return nullptr;
    m->pkt = av_packet_alloc();
    m->next = av_frame_alloc();
    m->due = av_frame_alloc();
    if (!m->pkt || !m->next || !m->due) return nullptr;
    m->time_base = av_q2d(st->time_base);
    AVRational rate = st->avg_frame_rate.num > 0 ? st->avg_frame_rate : st->r_frame_rate;
    m->frame_time = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 1.0 / 25;
    if (m->frame_time <= 0 || m->frame_time > 10) m->frame_time = 1.0 / 25;
    // A file whose first picture does not decode is refused here.
    if (!FetchNext(m.get())) return nullptr;
    m->x = x, m->y = y, m->w = w, m->h = h;
    m->sw = ScreenWidth > 0 ? ScreenWidth : w;
    m->sh = ScreenHeight > 0 ? ScreenHeight : h;
    m->stride = (m->sw * 3 + 3) & ~3;
    m->screen.assign((size_t)m->stride * m->sh, 0);
    if (!PlatReadWindow(m->screen.data(), m->sw, m->sh) && HasPicture(&DestSurface) &&
        DestSurface.dib.width == m->sw && DestSurface.dib.height == m->sh &&
        DestSurface.dib.infoHeader.bitCount == 24)
        memcpy(m->screen.data(), DestSurface.dib.bits, m->screen.size());
    if (with_sound) OpenSound(m.get(), utf8_path);
    m->start = PlatTicks();
    if (m->audio >= 0) MixerPlayStream(m->audio, false);
    return m;
}

void CloseMovie(MoviePtr* m) { m->reset(); }

bool AdvanceMovie(MoviePlayer* m) {
    if (m->paused) return false;
    double now = (double)(uint32_t)(PlatTicks() - m->start) / 1000.0;
    bool any = false;
    while (m->have_next && m->next_t <= now) {
        std::swap(m->next, m->due);
        m->last_t = m->next_t;
        m->have_next = false;
        any = true;
        m->shown++;
        FetchNext(m);
    }
    if (any) {
        ScaleDue(m);
        Present(m);
    }
    return MovieFinished(m);
}

bool MovieFinished(const MoviePlayer* m) {
    if (m->paused) return false;
    double now = (double)(uint32_t)(PlatTicks() - m->start) / 1000.0;
    bool pictures_done = m->video_end && !m->have_next && now >= m->last_t + m->frame_time;
    bool sound_done = m->audio < 0 || MixerStreamEnded(m->audio);
    return pictures_done && sound_done;
}

uint32_t MovieDueIn(const MoviePlayer* m) {
    double now = (double)(uint32_t)(PlatTicks() - m->start) / 1000.0;
    double at = m->have_next ? m->next_t : m->video_end ? m->last_t + m->frame_time : now;
    if (at <= now) return m->have_next ? 0 : SoundEndPollMs;
    return (uint32_t)std::ceil((at - now) * 1000.0);
}

bool DecodeNextMovieFrame(MoviePlayer* m, bool present) {
    if (!m->have_next) return false;
    std::swap(m->next, m->due);
    m->have_next = false;
    m->shown++;
    ScaleDue(m);
    if (present) Present(m);
    FetchNext(m);
    return true;
}

void RewindMovie(MoviePlayer* m) {
    SoundTrace("movie rewind");
    int64_t to = m->fmt->start_time != AV_NOPTS_VALUE ? m->fmt->start_time : 0;
    av_seek_frame(m->fmt, -1, to, AVSEEK_FLAG_BACKWARD);
    if (m->dec) avcodec_flush_buffers(m->dec);
    m->demux_end = m->have_next = false;
    m->video_end = m->vstream < 0;  // a file of sound alone has no pictures
    m->first_pts = AV_NOPTS_VALUE;
    m->last_t = 0;
    m->shown = 0;
    FetchNext(m);
    m->start = PlatTicks();
    if (m->audio >= 0) {
        MixerRewindStream(m->audio);
        MixerPlayStream(m->audio, false);
    }
}

void SetMovieGain(MoviePlayer* m, int32_t millibels) {
    if (m->audio >= 0) MixerSetStreamGain(m->audio, millibels);
}

int MovieFramesShown(const MoviePlayer* m) { return m->shown; }

// ---- the players of the commands ---------------------------------------------------------

namespace {

MoviePtr Graph;      // mpegplay, mpegplay2, movie
MoviePtr AviDevice;  // avi
TempFileRecord AviTempFile;

enum { EndComplete, EndClick, EndReset };

// The movie timer, set for the earliest moment a playing movie has a
// picture due; off while no picture is to come (the end of the sound is
// looked for by the waits and the window timer).
void ArmMovieTimer() {
    uint32_t due = UINT32_MAX;
    for (MoviePlayer* m : {Graph.get(), AviDevice.get()})
        if (m && !m->paused && m->have_next) due = std::min(due, MovieDueIn(m));
    if (due == UINT32_MAX) PlatKillTimer(MovieTimerId);
    else PlatSetTimer(MovieTimerId, due);
}

// The file of `name` (CP932): the folder's or an archive's copy.  false when
// it is missing under noloaderror; a missing file is otherwise the load error.
bool ResolveMovie(const char* name, std::string* path, TempFileRecord* temp) {
    *path = name;
    if (PlatExists(path->c_str())) return true;
    if (!ExtractToTemp(path)) {
        if (NoLoadError) return false;
        ScriptErrorF(CapSoundLoad, FmtSoundCannotOpen, name);
    }
    temp->set = true;
    temp->path = *path;
    return true;
}

// The sound thread's ducking step sets the graph's volume (SetBgmVolume)
// with SoundLock held: the graph is put in and taken out under it, and
// opened and closed outside it.
MoviePtr TakeGraph() {
    SoundLockHold hold;
    return std::move(Graph);
}

bool StartGraph(const char* name, const std::string& path, const int32_t rect[4]) {
    MoviePtr old = TakeGraph();
    CloseMovie(&old);
    MoviePtr opened = OpenMovie(PlatResolve(path.c_str()).c_str(), rect[0], rect[1], rect[2], rect[3], true);
    {
        SoundLockHold hold;
        Graph = std::move(opened);
    }
    if (!Graph) {
        SoundTrace("movie open \"%s\" failed", name);
        return false;
    }
    SoundTrace("movie open \"%s\" rect=%d,%d,%d,%d", name, rect[0], rect[1], rect[2], rect[3]);
    Graph->overlay = true;  // as a child window over the main one
    PaintSuspended = 1;
    MovieGraphActive = 1;
    SetMovieGain(Graph.get(), GraphMillibels(BgmVolume));
    ArmMovieTimer();
    return true;
}

// The movie's picture leaves the window; the engine repaints what it covered.
void ReleaseGraph() {
    if (Graph) {
        SoundTrace("movie stop frames=%d", MovieFramesShown(Graph.get()));
        PlatClearOverlay();
    }
    MoviePtr gone = TakeGraph();
    CloseMovie(&gone);
    MovieGraphActive = 0;
    PaintSuspended = 0;
    DropTempFile(&MovieTempFile);
    ArmMovieTimer();
}

// The modal wait of a movie: a left click (left), a right click (right) or
// a reset ends it, else the movie's end.
// With a window it blocks between pictures until the next one is due.
int WaitGraph(bool left, bool right) {
    for (;;) {
        PumpMessageOrIdle(MovieDueIn(Graph.get()), false);
        if (!Graph) return EndReset;  // the window closed it
        if ((left && Clicked) || (right && RightClicked)) return EndClick;
        if (ResetRequested) return EndReset;
        if (AdvanceMovie(Graph.get())) return EndComplete;
        if (PlatIsHeadless()) PlatSleep(2);
    }
}

}  // namespace

int PlayMpeg(const char* name, int click) {
    if (Graph) ReleaseGraph();  // one movie at a time: an async one goes with its file
    std::string path;
    if (!ResolveMovie(name, &path, &MovieTempFile)) return 0;
    MovieAsync = 0;
    MovieLoop = 0;
    int32_t rect[4] = {0, 0, ScreenWidth, ScreenHeight};
    if (!StartGraph(name, path, rect)) {
        DropTempFile(&MovieTempFile);
        return 0;
    }
    Clicked = RightClicked = 0;
    WaitGraph(click != 0, click != 0);
    ReturnValue = Clicked ? 1 : RightClicked ? 0 : -1;
    RightClicked = 0;
    ReleaseGraph();
    PaintWindow(nullptr);
    return 1;
}

void PlayMovie() {
    char c = SkipBlanks();
    if (c == 's' || c == 'S') {
        char word[WordBufferSize];
        if (!MovieGraphActive) {
            ReadWord(word);  // the word goes with the command (else it would run as `stop`)
            return;
        }
        ReadWord(word);
        if (strcmp(word, "stop") != 0) ScriptError(CapMediaError, MsgMovieStopWord);
        ReleaseGraph();
        MovieAsync = 0;
        return;
    }
    MovieLoop = 0;
    MovieAsync = 0;
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    MovieRect[0] = 0, MovieRect[1] = 0, MovieRect[2] = ScreenWidth, MovieRect[3] = ScreenHeight;
    bool click = false;
    // Every option is read before the file is looked for, so a missing file
    // under noloaderror leaves none of them behind as text.
    while (SkipBlanks() == ',') {
        ExpectComma();
        char word[WordBufferSize];
        ReadWord(word);
        if (strcmp(word, "position") == 0 || strcmp(word, "pos") == 0) {
            for (int i = 0; i < 4; i++) {
                ExpectComma();
                MovieRect[i] = ReadIntExpr();
            }
        } else if (strcmp(word, "click") == 0) {
            click = true;
        } else if (strcmp(word, "loop") == 0) {
            MovieLoop = 1;
        } else if (strcmp(word, "async") == 0) {
            MovieAsync = 1;
        } else {
            ScriptError(CapMediaError, MsgMovieBadOption);
        }
    }
    if (Graph) ReleaseGraph();
    std::string path;
    if (!ResolveMovie(name, &path, &MovieTempFile)) {
        MovieAsync = MovieLoop = 0;  // nothing plays: painting is the engine's
        return;
    }
    if (!StartGraph(name, path, MovieRect)) {
        DropTempFile(&MovieTempFile);
        MovieAsync = 0;
        return;
    }
    if (MovieAsync) return;  // the movie timer shows its pictures
    Clicked = RightClicked = 0;
    while (WaitGraph(click, false) == EndComplete && MovieLoop) {
        RewindMovie(Graph.get());
        ArmMovieTimer();
    }
    ReleaseGraph();
}

// The window timer's step: an async looping movie that has ended starts
// again (its pictures come with the movie timer).
void RewindLoopingMovie() {
    if (!Graph || !MovieGraphActive || !MovieAsync || !MovieLoop) return;
    if (!MovieFinished(Graph.get())) return;
    RewindMovie(Graph.get());
    ArmMovieTimer();
}

void ShowDueMoviePictures() {
    if (Graph && MovieGraphActive) AdvanceMovie(Graph.get());
    if (AviDevice) AdvanceMovie(AviDevice.get());
    ArmMovieTimer();
}

void SetMovieVolume(int32_t attenuation) {
    if (Graph && MovieGraphActive) SetMovieGain(Graph.get(), GraphMillibels(attenuation));
}

void ReleaseMovieForClose() {
    if (MovieGraphActive) ReleaseGraph();
}

void StopModalMovieForDestroy() {
    if (MovieGraphActive && !MovieAsync) ReleaseGraph();
}

void PauseMovieForSwitch() {
    if (!Graph || !MovieGraphActive || Graph->paused) return;
    MoviePlayer* m = Graph.get();
    m->paused = true;
    m->paused_at = PlatTicks();
    m->audio_paused = m->audio >= 0 && MixerStreamPlaying(m->audio);
    if (m->audio_paused) MixerStopStream(m->audio);
    SoundTrace("movie pause");
    ArmMovieTimer();
}

void ResumeMovieAfterSwitch() {
    if (!Graph || !Graph->paused) return;
    MoviePlayer* m = Graph.get();
    m->paused = false;
    m->start += PlatTicks() - m->paused_at;
    if (m->audio_paused) MixerPlayStream(m->audio, false);
    m->audio_paused = false;
    if (m->shown > 0) Present(m);  // the picture back over the new display
    SoundTrace("movie run");
    ArmMovieTimer();
}

void StopAviPlayback() {
    if (!AviDevice) return;
    SoundTrace("avi stop frames=%d", MovieFramesShown(AviDevice.get()));
    CloseMovie(&AviDevice);
    ArmMovieTimer();
}

int PlayAvi(const char* name, int click) {
    std::string path;
    if (!ResolveMovie(name, &path, &AviTempFile)) return 0;
    StopAviPlayback();
    int w = ScreenWidth == 640 ? 640 : 800, h = ScreenWidth == 640 ? 480 : 600;
    AviDevice = OpenMovie(PlatResolve(path.c_str()).c_str(), 0, 0, w, h, true);
    if (!AviDevice) {
        DropTempFile(&AviTempFile);
        ScriptError(CapAviError1, MsgAviPlayOpen);
    }
    SoundTrace("avi open \"%s\" rect=0,0,%d,%d", name, w, h);
    ArmMovieTimer();
    PaintSuspended = 1;
    Clicked = 0;
    for (;;) {
        if (!PumpMessage()) PlatSleep(5);
        if (!AviDevice) break;  // stopped meanwhile
        if (click && Clicked) break;
        if (AdvanceMovie(AviDevice.get())) break;
        // The device's status is asked every 50 ms; its pictures come between.
        for (int t = 0; t < 50 && AviDevice; t += 10) {
            PlatSleep(10);
            AdvanceMovie(AviDevice.get());
        }
        if (!AviDevice) break;
    }
    StopAviPlayback();
    PaintSuspended = 0;
    DropTempFile(&AviTempFile);
    PaintWindow(nullptr);
    return 1;
}
