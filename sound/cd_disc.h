// cd_disc.h - an audio CD through libcdio: a drive or a disc image (a ".cue"
// with its ".bin", a ".toc", an ".nrg"), its table of tracks, and a mixer
// source playing a run of its sectors (44.1 kHz 16-bit stereo, 2352 bytes
// each) that are read ahead on a reader thread of its own (headless: in the
// virtual clock's sound step), so that nothing else waits on the disc.  A
// sector that cannot be read plays as silence.  Without libcdio there is no
// disc.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/mixer.h"

struct CdDisc;  // an open disc; the reads in flight share it

// A disc image (a regular file) or a drive (a device), UTF-8 path; null when
// libcdio is missing or no disc with a table of tracks is there.  A drive is
// opened on a thread of its own and waited for 10 ms at most: null while it
// is still busy (a disc spinning up), and a call soon after takes the disc.
std::shared_ptr<CdDisc> CdDiscOpen(const std::string& path, bool drive);
// The drives libcdio finds ("/dev/sr0" ...), each once; none without libcdio.
std::vector<std::string> CdDiscDrives();
// The first of them that holds a disc with an audio track (its device in
// *path); null when none does.
std::shared_ptr<CdDisc> CdDiscOpenAudioDrive(std::string* path);

int CdDiscTrackCount(const CdDisc& disc);
// Track n (1 .. count): its sectors [*first, *end), from its start to the
// start of the next track, the last one to the end of the disc.  false for a
// data track, a track that holds no sector, or no such track.
bool CdDiscTrackSectors(const CdDisc& disc, int n, int32_t* first, int32_t* end);

// A source playing the sectors [first, end), one shot (no rewind): it ends
// after the last sector; while the reading lags behind it plays silence.
// The sectors of an image are read up to a second ahead at once; the rest,
// and all of a drive's, are read ahead up to two seconds by the reader
// thread (started with the first play) in a window, the caller waiting on
// no drive, and headless by CdDiscReadAhead.
std::unique_ptr<MixerSource> CdDiscPlay(const std::shared_ptr<CdDisc>& disc, int32_t first, int32_t end);
// One pass of the headless reader: a few more sectors of the latest play
// still open, up to two seconds ahead of it; true while it wants to be
// called again soon (sectors left and room for them).
bool CdDiscReadAhead();
// Tests: every sector read from now on takes ms longer (a slow disc).
void CdDiscSlowReadsForTests(int ms);
