// archives.h - the archive subsystem's steps in the engine's start-up and
// reset, and its full reset for tests.
#pragma once

// At every start-up pass, before *define runs: OvaDir becomes "" and the
// `arc` registrations are emptied.  The other settings last the whole run.
void ResetArchiveSettings();
// At every reset to *start: builds the ova index while OvaMode is on (once
// per run) and, when "00.ov2" is in the folder, switches ov2 archives on and
// reads their indexes again.
void LoadArchiveIndexes();
// Every archive setting, index and registration back to the program's start.
void ForgetArchiveState();
