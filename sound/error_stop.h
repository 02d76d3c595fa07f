// error_stop.h - silencing everything on a fatal script error.
#pragma once

// With the CD and music fade-out times at 0: StopAllSound(everything), the
// MCI wave stopped and closed, every sound channel closed or released.
void StopSoundForError();
