// cd_disc.cpp - audio CDs through libcdio: a drive or an image opened and its
// tracks listed, and the read-ahead buffer of a play, which a reader thread
// of its own fills with sectors (through paranoia on a drive) and the mixer
// empties.  Headless the virtual clock's sound step reads instead.
#include "sound/cd_disc.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "platform/platform.h"

namespace {

constexpr int SectorBytes = CDIO_CD_FRAMESIZE_RAW;  // 2352
constexpr int SectorFrames = SectorBytes / 4;        // 588 stereo frames
constexpr int AheadSectors = 150;                    // the buffer: two seconds
constexpr int FirstSectors = 75;                     // read from an image at once
constexpr int PassSectors = 8;                       // read in one pass
constexpr int ParanoiaRetries = 10;                  // then the sector is skipped
constexpr int DriveWaitMs = 10;                      // for a drive's open
constexpr int FullWaitMs = 50;                       // the reader's rest while the buffer is full

struct Track {
    bool audio = false;  // an audio track with at least one sector
    int32_t first = 0, end = 0;
};

}  // namespace

struct CdDisc {
    CdIo_t* cdio = nullptr;
    bool drive = false;
    std::vector<Track> tracks;
    std::mutex io;                  // one read of the disc at a time
    cdrom_drive_t* cdda = nullptr;  // a drive's CD-DA reader, opened at its first read
    bool cdda_tried = false;
    ~CdDisc() {
        if (cdda) cdio_cddap_close_no_free_cdio(cdda);
        if (cdio) cdio_destroy(cdio);
    }
};

namespace {

// One play: the reader's place and the buffer between the reader and the
// mixer.  The mixer's source owns it; the reader only looks at the latest.
struct CdPlay {
    std::shared_ptr<CdDisc> disc;
    int32_t next = 0, end = 0;             // the sectors left to read (under disc->io)
    cdrom_paranoia_t* paranoia = nullptr;  // a drive's, made at the first read
    std::mutex lock;                       // guards what follows
    std::vector<int16_t> ring = std::vector<int16_t>((size_t)AheadSectors * SectorFrames * 2);
    size_t head = 0, held = 0;             // frames: where the mixer reads, how many wait
    bool done = false;                     // the last sector is in the buffer
    ~CdPlay() {
        if (paranoia) cdio_paranoia_free(paranoia);
    }
};

// The latest play, the one read ahead.  Never destroyed: the reader may
// still read while the process ends.
struct Latest {
    std::mutex lock;
    std::condition_variable fresh;  // a play was started
    std::weak_ptr<CdPlay> play;
    bool reader = false;            // the reader thread was started
};
Latest& TheLatest() {
    static Latest* latest = new Latest;
    return *latest;
}

std::atomic<int> SlowReadMs{0};  // the test hook

void DropLog(cdio_log_level_t, const char*) {}
void DropParanoiaNote(long, paranoia_cb_mode_t) {}

// libcdio loaded and its messages (a missing file, a short image, every
// unreadable sector) kept off standard error: the engine reports what
// matters itself.
bool CdioReady() {
    if (!PlatHaveCdio()) return false;
    static std::once_flag once;
    std::call_once(once, [] {
        cdio_log_set_handler(DropLog);
        cdio_init();  // its driver table, before a second thread could race to make it
    });
    return true;
}

// One sector into buf; silence when it cannot be read.
void ReadSector(CdPlay* p, int32_t lsn, int16_t* buf) {
    CdDisc* d = p->disc.get();
    memset(buf, 0, SectorBytes);
    if (int slow = SlowReadMs) std::this_thread::sleep_for(std::chrono::milliseconds(slow));
    if (d->drive && !d->cdda_tried) {
        d->cdda_tried = true;
        if (PlatHaveCdParanoia()) {
            d->cdda = cdio_cddap_identify_cdio(d->cdio, CDDA_MESSAGE_FORGETIT, nullptr);
            if (d->cdda && cdio_cddap_open(d->cdda) != 0) {
                cdio_cddap_close_no_free_cdio(d->cdda);
                d->cdda = nullptr;
            }
        }
    }
    if (d->cdda) {
        if (!p->paranoia && (p->paranoia = cdio_paranoia_init(d->cdda))) {
            cdio_paranoia_modeset(p->paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
            cdio_paranoia_seek(p->paranoia, lsn, SEEK_SET);
        }
        if (p->paranoia) {
            if (const int16_t* s = cdio_paranoia_read_limited(p->paranoia, DropParanoiaNote, ParanoiaRetries))
                memcpy(buf, s, SectorBytes);
            return;
        }
    }
    if (cdio_read_audio_sectors(d->cdio, buf, lsn, 1) != DRIVER_OP_SUCCESS) memset(buf, 0, SectorBytes);
}

// Up to `most` sectors into the buffer while there is room; true while
// sectors and room are left.
bool ReadSectors(CdPlay* p, int most) {
    std::lock_guard<std::mutex> io(p->disc->io);
    const size_t capacity = p->ring.size() / 2;
    int16_t sector[SectorBytes / 2];
    for (int k = 0; k < most; k++) {
        {
            std::lock_guard<std::mutex> hold(p->lock);
            if (p->next >= p->end) {
                p->done = true;
                return false;
            }
            if (capacity - p->held < (size_t)SectorFrames) return false;
        }
        ReadSector(p, p->next, sector);
        std::lock_guard<std::mutex> hold(p->lock);
        size_t at = (p->head + p->held) % capacity;
        for (int i = 0; i < SectorFrames; i++, at = at + 1 == capacity ? 0 : at + 1) {
            p->ring[2 * at] = sector[2 * i];
            p->ring[2 * at + 1] = sector[2 * i + 1];
        }
        p->held += SectorFrames;
        if (++p->next >= p->end) p->done = true;
    }
    std::lock_guard<std::mutex> hold(p->lock);
    return !p->done && capacity - p->held >= (size_t)SectorFrames;
}

struct CdSectorSource : MixerSource {
    std::shared_ptr<CdPlay> play;
    int Read(float* stereo, int count) override {
        CdPlay* p = play.get();
        std::lock_guard<std::mutex> hold(p->lock);
        const size_t capacity = p->ring.size() / 2;
        int n = count < (int)p->held ? count : (int)p->held;
        for (int i = 0; i < n; i++) {
            stereo[2 * i] = p->ring[2 * p->head] * (1.0f / 32768);
            stereo[2 * i + 1] = p->ring[2 * p->head + 1] * (1.0f / 32768);
            if (++p->head == capacity) p->head = 0;
        }
        p->held -= (size_t)n;
        if (n == count || p->done) return n;
        // The reading lags behind: silence until it catches up.
        memset(stereo + 2 * n, 0, sizeof(float) * 2 * (size_t)(count - n));
        return count;
    }
    bool Rewind() override { return false; }
};

std::shared_ptr<CdDisc> OpenWith(const char* path, driver_id_t driver) {
    if (!CdioReady()) return nullptr;
    CdIo_t* c = cdio_open(path, driver);
    if (!c) return nullptr;
    auto d = std::make_shared<CdDisc>();
    d->cdio = c;
    d->drive = driver == DRIVER_DEVICE;
    track_t first = cdio_get_first_track_num(c), count = cdio_get_num_tracks(c);
    lsn_t leadout = cdio_get_disc_last_lsn(c);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 ||
        leadout == CDIO_INVALID_LSN)
        return nullptr;
    for (int i = 0; i < count; i++) {
        track_t t = (track_t)(first + i);
        Track k;
        k.first = cdio_get_track_lsn(c, t);
        k.end = i + 1 < count ? cdio_get_track_lsn(c, (track_t)(t + 1)) : leadout;
        k.audio = cdio_get_track_format(c, t) == TRACK_FORMAT_AUDIO && k.first != CDIO_INVALID_LSN &&
                  k.end != CDIO_INVALID_LSN && k.first >= 0 && k.end > k.first;
        d->tracks.push_back(k);
    }
    return d;
}

// A drive's open on a thread of its own: a disc spinning up can hold the
// reading of its table of tracks for seconds.
struct DriveOpening {
    std::mutex lock;
    std::condition_variable finished_cv;
    bool finished = false;
    std::chrono::steady_clock::time_point when;  // of the finish
    std::shared_ptr<CdDisc> disc;
};

// Never destroyed, like TheLatest: an open may finish while the process ends.
std::map<std::string, std::shared_ptr<DriveOpening>>& Openings() {
    static auto* openings = new std::map<std::string, std::shared_ptr<DriveOpening>>;
    return *openings;
}
std::mutex& OpeningsLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

// The drive's disc when its open finishes within DriveWaitMs; otherwise null
// while the open goes on, and a later call takes its result (one finished
// more than a second before is stale and starts over).
std::shared_ptr<CdDisc> OpenDrive(const std::string& dev) {
    if (!CdioReady()) return nullptr;
    std::shared_ptr<DriveOpening> o;
    {
        std::lock_guard<std::mutex> hold(OpeningsLock());
        std::shared_ptr<DriveOpening>& slot = Openings()[dev];
        if (slot) {
            std::lock_guard<std::mutex> done(slot->lock);
            if (slot->finished && std::chrono::steady_clock::now() - slot->when > std::chrono::seconds(1))
                slot.reset();
        }
        if (!slot) {
            slot = std::make_shared<DriveOpening>();
            std::thread([o = slot, dev] {
                std::shared_ptr<CdDisc> d = OpenWith(dev.c_str(), DRIVER_DEVICE);
                std::lock_guard<std::mutex> done(o->lock);
                o->disc = d;
                o->finished = true;
                o->when = std::chrono::steady_clock::now();
                o->finished_cv.notify_all();
            }).detach();
        }
        o = slot;
    }
    std::unique_lock<std::mutex> wait(o->lock);
    if (!o->finished_cv.wait_for(wait, std::chrono::milliseconds(DriveWaitMs), [&] { return o->finished; }))
        return nullptr;
    std::shared_ptr<CdDisc> d = o->disc;
    wait.unlock();
    std::lock_guard<std::mutex> hold(OpeningsLock());
    auto at = Openings().find(dev);
    if (at != Openings().end() && at->second == o) Openings().erase(at);
    return d;
}

// The latest play while it has sectors left to read; null otherwise.
std::shared_ptr<CdPlay> PlayToRead(Latest& l) {
    std::shared_ptr<CdPlay> play = l.play.lock();
    if (!play) return nullptr;
    std::lock_guard<std::mutex> hold(play->lock);
    return play->done ? nullptr : play;
}

// The reader thread: the latest play read ahead while it has room, a rest
// while its buffer is full, no wake-up at all while there is nothing to
// read (a new play calls it).  A play whose source is gone is read no
// further.
void ReaderMain() {
    Latest& l = TheLatest();
    for (;;) {
        std::shared_ptr<CdPlay> play;
        {
            std::unique_lock<std::mutex> hold(l.lock);
            l.fresh.wait(hold, [&] { return (play = PlayToRead(l)) != nullptr; });
        }
        bool more = ReadSectors(play.get(), PassSectors);
        play.reset();
        if (!more) std::this_thread::sleep_for(std::chrono::milliseconds(FullWaitMs));
    }
}

}  // namespace

std::shared_ptr<CdDisc> CdDiscOpen(const std::string& path, bool drive) {
    return drive ? OpenDrive(path) : OpenWith(path.c_str(), DRIVER_UNKNOWN);
}

std::vector<std::string> CdDiscDrives() {
    std::vector<std::string> out;
    if (!CdioReady()) return out;
    std::vector<std::string> real;  // one name a drive ("/dev/cdrom" may be "/dev/sr0")
    if (char** list = cdio_get_devices(DRIVER_DEVICE)) {
        for (char** d = list; *d; d++) {
            char* r = realpath(*d, nullptr);
            std::string same = r ? r : *d;
            free(r);
            if (std::find(real.begin(), real.end(), same) != real.end()) continue;
            real.push_back(same);
            out.push_back(*d);
        }
        cdio_free_device_list(list);
    }
    return out;
}

std::shared_ptr<CdDisc> CdDiscOpenAudioDrive(std::string* path) {
    for (const std::string& dev : CdDiscDrives()) {
        std::shared_ptr<CdDisc> d = CdDiscOpen(dev, true);
        if (!d) continue;
        for (const Track& t : d->tracks)
            if (t.audio) {
                *path = dev;
                return d;
            }
    }
    return nullptr;
}

int CdDiscTrackCount(const CdDisc& disc) { return (int)disc.tracks.size(); }

bool CdDiscTrackSectors(const CdDisc& disc, int n, int32_t* first, int32_t* end) {
    if (n < 1 || n > (int)disc.tracks.size() || !disc.tracks[(size_t)n - 1].audio) return false;
    *first = disc.tracks[(size_t)n - 1].first;
    *end = disc.tracks[(size_t)n - 1].end;
    return true;
}

std::unique_ptr<MixerSource> CdDiscPlay(const std::shared_ptr<CdDisc>& disc, int32_t first, int32_t end) {
    auto play = std::make_shared<CdPlay>();
    play->disc = disc;
    play->next = first;
    play->end = end;
    bool live = !PlatIsHeadless();
    {
        Latest& l = TheLatest();
        std::lock_guard<std::mutex> hold(l.lock);
        l.play = play;
        if (live && !l.reader) {
            l.reader = true;
            std::thread(ReaderMain).detach();
        }
    }
    // The first second of an image at once: the first render plays it, not
    // silence while the reader starts or wakes.  A drive is left to the
    // reader (headless to the clock's sound step), the caller never waiting
    // on it.
    if (!disc->drive) ReadSectors(play.get(), FirstSectors);
    if (live) TheLatest().fresh.notify_all();
    auto src = std::make_unique<CdSectorSource>();
    src->play = play;
    return src;
}

bool CdDiscReadAhead() {
    std::shared_ptr<CdPlay> play;
    {
        Latest& l = TheLatest();
        std::lock_guard<std::mutex> hold(l.lock);
        play = l.play.lock();
    }
    return play && ReadSectors(play.get(), PassSectors);
}

void CdDiscSlowReadsForTests(int ms) { SlowReadMs = ms; }
