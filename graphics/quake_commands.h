// quake_commands.h - screen shakes and distortions played straight into the
// window: quake (random shake), quakex and quakey (shakes of decreasing
// swing), flushout/yugami (zoom into the centre burning out to white) and
// panoramatest (cylinder warp).  They block until they end, pump no
// messages and cannot be cut short.  Only flushout changes DestSurface.
#pragma once
#include <cstdint>

// The routines (amplitudes in pixels, durations in ms).
void Quake(int32_t amplitude, int32_t duration);
void QuakeX(int32_t amplitude, int32_t duration);
void QuakeY(int32_t amplitude, int32_t duration);
void FlushOut(int32_t duration);
void PanoramaTest();
// DestSurface shown with its top-left corner at (dx, dy), the uncovered
// strips black.
void PresentShifted(int64_t dx, int64_t dy);

void Cmd_flushout();
void Cmd_panoramatest();
void Cmd_quake();
void Cmd_quakex();
void Cmd_quakey();
void Cmd_yugami();
