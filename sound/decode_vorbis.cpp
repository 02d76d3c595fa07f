// decode_vorbis.cpp - libvorbisfile over bytes in memory.
#include "sound/decode_vorbis.h"

#include <vorbis/vorbisfile.h>

#include <cstring>
#include <vector>

#include "sound/decode_pcm.h"

namespace {
struct MemFile {
    const uint8_t* b;
    size_t size, pos;
};

size_t MemRead(void* to, size_t each, size_t n, void* src) {
    MemFile* m = (MemFile*)src;
    size_t want = each * n, left = m->size - m->pos;
    if (want > left) want = left;
    memcpy(to, m->b + m->pos, want);
    m->pos += want;
    return each ? want / each : 0;
}

int MemSeek(void* src, ogg_int64_t off, int whence) {
    MemFile* m = (MemFile*)src;
    ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? (ogg_int64_t)m->pos : (ogg_int64_t)m->size;
    ogg_int64_t at = base + off;
    if (at < 0 || at > (ogg_int64_t)m->size) return -1;
    m->pos = (size_t)at;
    return 0;
}

long MemTell(void* src) { return (long)((MemFile*)src)->pos; }
}  // namespace

bool DecodeOggWhole(const uint8_t* bytes, size_t size, MixerSound* out, int* source_rate,
                    int64_t* source_frames) {
    MemFile m{bytes, size, 0};
    ov_callbacks cb{MemRead, MemSeek, nullptr, MemTell};
    OggVorbis_File vf;
    if (ov_open_callbacks(&m, &vf, nullptr, 0, cb) != 0) return false;
    vorbis_info* vi = ov_info(&vf, -1);
    if (!vi || vi->channels <= 0 || vi->rate <= 0) {
        ov_clear(&vf);
        return false;
    }
    int rate = (int)vi->rate;
    std::vector<float> stereo;
    ogg_int64_t total = ov_pcm_total(&vf, -1);
    int64_t most = rate >= MinSourceRate ? MaxSoundFrames * rate / MixerRate : 0;
    if (rate < MinSourceRate || rate > MaxSourceRate || total > most) {
        ov_clear(&vf);
        return false;
    }
    if (total > 0 && total < ((ogg_int64_t)1 << 31)) stereo.reserve((size_t)total * 2);
    int section = 0;
    for (;;) {
        float** pcm = nullptr;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n == OV_HOLE) continue;
        if (n <= 0) break;
        if ((int64_t)stereo.size() / 2 + n > most) {
            ov_clear(&vf);
            return false;
        }
        vorbis_info* cur = ov_info(&vf, section);
        int ch = cur ? cur->channels : 1;
        size_t at = stereo.size();
        stereo.resize(at + (size_t)n * 2);
        float* o = stereo.data() + at;
        for (long i = 0; i < n; i++) {
            o[2 * i] = pcm[0][i];
            o[2 * i + 1] = pcm[ch > 1 ? 1 : 0][i];
        }
    }
    ov_clear(&vf);
    *source_rate = rate;
    *source_frames = (int64_t)(stereo.size() / 2);
    return ResampleStereo(stereo, rate, out);
}
