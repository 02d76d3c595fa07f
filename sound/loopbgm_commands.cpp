// loopbgm_commands.cpp - loopbgm and loopbgmstop: intro-and-loop music.
#include "sound/loopbgm_commands.h"

#include "core/readers.h"
#include "core/variables.h"
#include "sound/sound_thread.h"
#include "sound/volumes.h"

// loopbgm INTRO,LOOP: an empty intro stops the loop music.
void Cmd_loopbgm() {
    char intro[StrValueSize], loop[StrValueSize];
    ReadStrExpr(intro, sizeof intro);
    ExpectComma();
    ReadStrExpr(loop, sizeof loop);
    if (!*intro) {
        StopLoopBgm();
        return;
    }
    PlayLoopBgm(intro, loop);
    BgmSaved = 1;
}

void Cmd_loopbgmstop() { StopLoopBgm(); }
