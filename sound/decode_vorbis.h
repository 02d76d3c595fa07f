// decode_vorbis.h - Ogg Vorbis decoded whole with libvorbisfile.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sound/mixer.h"

// The whole sound at MixerRate; *source_rate and *source_frames tell what
// the file held.  false when the bytes are no Ogg Vorbis.
bool DecodeOggWhole(const uint8_t* bytes, size_t size, MixerSound* out,
                    int* source_rate, int64_t* source_frames);
