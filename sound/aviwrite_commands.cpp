// aviwrite_commands.cpp - aviwriteopen file, rate, frames; aviwrite index;
// aviwriteclose.  The frames are the bits of DestSurface as they are when
// aviwrite runs.
#include "sound/aviwrite_commands.h"

#include "core/error.h"
#include "core/readers.h"
#include "graphics/screen.h"
#include "sound/aviwrite.h"
#include "sound/media_messages.h"

void Cmd_aviwriteopen() {
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    ExpectComma();
    int32_t rate = ReadIntExpr();
    ExpectComma();
    int32_t frames = ReadIntExpr();
    if (!HasPicture(&DestSurface) ||
        !OpenAviWriter(frames, DestSurface.dib.infoHeader, name, rate))
        ScriptError(CapMediaError, MsgAviOpenFailed);
}

void Cmd_aviwrite() {
    int32_t index = ReadIntExpr();
    const Dib& d = DestSurface.dib;
    if (!WriteAviFrame(d.bits, d.width, d.height, index))
        ScriptError(CapMediaError, MsgAviWriteFailed);
}

void Cmd_aviwriteclose() { CloseAviWriter(); }
