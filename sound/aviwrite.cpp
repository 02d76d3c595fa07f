// aviwrite.cpp - the AVI 1.0 writer.  The headers are written at open with
// their sizes left 0, the frames follow as they come, and the close writes
// the index and goes back to fill in the sizes and counts.
#include "sound/aviwrite.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "graphics/surface.h"
#include "platform/platform.h"

namespace {

struct AviWriterState {
    FILE* file = nullptr;
    BmpInfoHeader info{};
    int32_t frame_count = 0;   // given at open
    uint32_t frame_bytes = 0;  // padded row size x height
    // The chunk of each frame index (the last written there), its offset
    // counted from the "movi" fourcc.
    std::map<int32_t, uint32_t> frames;
    uint64_t end = 0;          // bytes in the file so far
    bool failed = false;
};
AviWriterState Avi;
bool ExitHookSet;

// Header offsets (from the file's start) of the fields filled in at close.
enum : long {
    RiffSizeAt = 4,
    TotalFramesAt = 12 + 12 + 8 + 16,  // avih dwTotalFrames
    StreamLengthAt = 12 + 12 + 64 + 12 + 8 + 32,  // strh dwLength
    MoviSizeAt = 12 + 12 + 64 + 12 + 64 + 48 + 18 + 4,
    MoviFourccAt = MoviSizeAt + 4,
    HeaderBytes = MoviFourccAt + 4,
};
constexpr uint64_t RiffLimit = 0xFFFFFFFFull;

void Put32(std::vector<uint8_t>* b, uint32_t v) {
    for (int i = 0; i < 4; i++) b->push_back((uint8_t)(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>* b, uint16_t v) {
    b->push_back((uint8_t)v);
    b->push_back((uint8_t)(v >> 8));
}
void PutCc(std::vector<uint8_t>* b, const char* cc) { b->insert(b->end(), cc, cc + 4); }

bool WriteAt(long at, uint32_t v) {
    uint8_t b[4] = {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
    return fseek(Avi.file, at, SEEK_SET) == 0 && fwrite(b, 1, 4, Avi.file) == 4;
}

std::vector<uint8_t> Headers(int32_t rate) {
    const BmpInfoHeader& h = Avi.info;
    std::vector<uint8_t> b;
    PutCc(&b, "RIFF");
    Put32(&b, 0);
    PutCc(&b, "AVI ");
    PutCc(&b, "LIST");
    Put32(&b, 4 + 64 + 12 + 64 + 48 + 18);
    PutCc(&b, "hdrl");
    PutCc(&b, "avih");
    Put32(&b, 56);
    Put32(&b, rate > 0 ? (uint32_t)(1000000 / rate) : 0);  // microseconds per frame
    Put32(&b, 0);      // max bytes per second
    Put32(&b, 0);      // padding granularity
    Put32(&b, 0x10);   // AVIF_HASINDEX
    Put32(&b, 0);      // total frames (at close)
    Put32(&b, 0);      // initial frames
    Put32(&b, 1);      // streams
    Put32(&b, 0);      // suggested buffer size
    Put32(&b, (uint32_t)h.width);
    Put32(&b, (uint32_t)h.height);
    for (int i = 0; i < 4; i++) Put32(&b, 0);
    PutCc(&b, "LIST");
    Put32(&b, 4 + 64 + 48 + 18);
    PutCc(&b, "strl");
    PutCc(&b, "strh");
    Put32(&b, 56);
    PutCc(&b, "vids");
    PutCc(&b, "DIB ");
    Put32(&b, 0);      // flags
    Put16(&b, 0);      // priority
    Put16(&b, 0);      // language
    Put32(&b, 0);      // initial frames
    Put32(&b, 1);      // scale
    Put32(&b, (uint32_t)rate);
    Put32(&b, 0);      // start
    Put32(&b, 0);      // length (at close)
    Put32(&b, 0);      // suggested buffer size
    Put32(&b, 0xFFFFFFFFu);  // quality: the default
    Put32(&b, 0);      // sample size
    Put16(&b, 0);
    Put16(&b, 0);
    Put16(&b, (uint16_t)h.width);
    Put16(&b, (uint16_t)h.height);
    PutCc(&b, "strf");
    Put32(&b, 40);
    const uint8_t* raw = (const uint8_t*)&h;
    b.insert(b.end(), raw, raw + 40);
    PutCc(&b, "strn");
    Put32(&b, 9);
    const char name[10] = "Video #1";  // its NUL and one pad byte
    b.insert(b.end(), name, name + 10);
    PutCc(&b, "LIST");
    Put32(&b, 0);      // movi size (at close)
    PutCc(&b, "movi");
    return b;
}

void AbandonFile() {
    if (Avi.file) fclose(Avi.file);
    Avi.file = nullptr;
    Avi.frames.clear();
}

// Frames of the stream: up to the highest index written.
uint64_t StreamFrames() { return Avi.frames.empty() ? 0 : (uint64_t)Avi.frames.rbegin()->first + 1; }

}  // namespace

bool AviWriterOpen() { return Avi.file != nullptr; }

int OpenAviWriter(int32_t frame_count, const BmpInfoHeader& info, const char* cp932_name,
                  int32_t frames_per_second) {
    CloseAviWriter();
    if (!ExitHookSet) {
        PlatAtExit(CloseAviWriter);  // an unclosed capture still gets its index
        ExitHookSet = true;
    }
    if (info.bitCount != 24 || info.width <= 0 || info.height <= 0 || info.width > 0xFFFF ||
        info.height > 0xFFFF)
        return 0;
    Avi = AviWriterState();
    Avi.info = info;
    Avi.frame_count = frame_count;
    Avi.frame_bytes = (uint32_t)(((info.width * 24 + 31) / 32) * 4) * (uint32_t)info.height;
    Avi.file = PlatOpen(cp932_name, "wb");
    if (!Avi.file) return 0;
    std::vector<uint8_t> head = Headers(frames_per_second);
    if (head.size() != (size_t)HeaderBytes ||
        fwrite(head.data(), 1, head.size(), Avi.file) != head.size()) {
        AbandonFile();
        return 0;
    }
    Avi.end = head.size();
    return 1;
}

int WriteAviFrame(const uint8_t* bits, int32_t width, int32_t height, int32_t index) {
    if (!Avi.file || Avi.failed || !bits || index < 0) return 0;
    if (width != Avi.info.width || height != Avi.info.height) return 0;
    uint64_t chunk = 8 + (uint64_t)Avi.frame_bytes + (Avi.frame_bytes & 1);
    // The close adds one empty chunk for the indices never written, and an
    // index entry for every frame up to the highest.
    uint64_t frames = StreamFrames() > (uint64_t)index + 1 ? StreamFrames() : (uint64_t)index + 1;
    uint64_t index_bytes = 8 + 8 + 16 * frames;
    if (Avi.end + chunk + index_bytes > RiffLimit) return 0;
    uint8_t head[8] = {'0', '0', 'd', 'b'};
    for (int i = 0; i < 4; i++) head[4 + i] = (uint8_t)(Avi.frame_bytes >> (8 * i));
    static const uint8_t pad = 0;
    if (fseek(Avi.file, (long)Avi.end, SEEK_SET) != 0 || fwrite(head, 1, 8, Avi.file) != 8 ||
        fwrite(bits, 1, Avi.frame_bytes, Avi.file) != Avi.frame_bytes ||
        ((Avi.frame_bytes & 1) && fwrite(&pad, 1, 1, Avi.file) != 1)) {
        Avi.failed = true;
        return 0;
    }
    Avi.frames[index] = (uint32_t)(Avi.end - MoviFourccAt);
    Avi.end += chunk;
    return 1;
}

namespace {

// The index in frame order, written in pieces; an index never written
// names the empty chunk at `gap` (a frame that repeats the one before).
bool WriteIndex(uint32_t n, uint32_t gap) {
    std::vector<uint8_t> idx;
    PutCc(&idx, "idx1");
    Put32(&idx, 16 * n);
    auto next = Avi.frames.begin();
    for (uint32_t i = 0; i < n; i++) {
        bool written = next != Avi.frames.end() && next->first == (int32_t)i;
        PutCc(&idx, "00db");
        Put32(&idx, written ? 0x10 : 0);  // AVIIF_KEYFRAME
        Put32(&idx, written ? next->second : gap);
        Put32(&idx, written ? Avi.frame_bytes : 0);
        if (written) ++next;
        if (idx.size() >= 65536 || i + 1 == n) {
            if (fwrite(idx.data(), 1, idx.size(), Avi.file) != idx.size()) return false;
            idx.clear();
        }
    }
    return idx.empty() || fwrite(idx.data(), 1, idx.size(), Avi.file) == idx.size();
}

}  // namespace

void CloseAviWriter() {
    if (!Avi.file) return;
    uint32_t n = (uint32_t)StreamFrames();
    uint32_t length = n > (uint32_t)(Avi.frame_count > 0 ? Avi.frame_count : 0)
                          ? n
                          : (uint32_t)Avi.frame_count;
    bool ok = fseek(Avi.file, (long)Avi.end, SEEK_SET) == 0;
    uint32_t gap = 0;
    if (ok && Avi.frames.size() < n) {
        static const uint8_t empty[8] = {'0', '0', 'd', 'b', 0, 0, 0, 0};
        gap = (uint32_t)(Avi.end - MoviFourccAt);
        ok = fwrite(empty, 1, 8, Avi.file) == 8;
        Avi.end += 8;
    }
    uint64_t movi_end = Avi.end;
    ok = ok && WriteIndex(n, gap);
    ok = ok && WriteAt(RiffSizeAt, (uint32_t)(movi_end + 8 + 16 * (uint64_t)n - 8));
    ok = ok && WriteAt(TotalFramesAt, length) && WriteAt(StreamLengthAt, length);
    ok = ok && WriteAt(MoviSizeAt, (uint32_t)(movi_end - MoviFourccAt));
    (void)ok;  // a capture that cannot be finished is left as far as it got
    fclose(Avi.file);
    Avi.file = nullptr;
    Avi.frames.clear();
    Avi.failed = false;
}
