// reset.cpp - ResetToStart: a new game's state, then *start.  Each subsystem
// restores its own state in one function of its folder; they run in an order
// that keeps what depends on order: the archive indexes are rebuilt before
// anything loads a picture, the sound is stopped in its own sequence, the
// local variables are cleared and the stack emptied around the jump, and the
// Lua side runs last, at *start.  Settings made by *define, the global
// variables, the arrays and the aliases are kept.
#include "core/reset.h"

#include "archive/archives.h"
#include "core/callstack.h"
#include "core/csv.h"
#include "core/labels.h"
#include "core/script.h"
#include "core/variables.h"
#include "ext/reset_ext.h"
#include "graphics/reset_graphics.h"
#include "save/reset_save.h"
#include "save/savepoint.h"
#include "sound/reset_sound.h"
#include "text/reset_text.h"
#include "ui/input_state.h"

void ResetToStart() {
    KeepSavepoint();  // a save after the reset still writes the last savepoint
    // The texture interface's off-screen mode is left here too, before
    // anything below draws to the screens.
    InTextGosub = 0;
    ResetCsvState();
    LoadArchiveIndexes();
    ResetSoundState();
    ResetSaveState();
    ResetTextState();
    ResetGraphicsState();
    ResetLocalVariables();
    JumpToLabel("start");
    CallStackDepth = 0;
    ResetExtState();
}

void ServiceResetRequest() {
    if (!ResetRequested) return;
    ResetToStart();
    ResetRequested = 0;
}
