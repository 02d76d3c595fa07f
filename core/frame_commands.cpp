// frame_commands.cpp - end, game, definereset, getversion, reset.
#include "core/frame_commands.h"

#include "core/core_messages.h"
#include "core/error.h"
#include "core/interp.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "save/journal.h"
#include "ext/layers.h"
#include "sound/sound.h"
#include "ui/define_end.h"
#include "ui/mainwindow.h"

// end: the layer plug-ins finish, then the window's destruction saves the
// persistent data and ends the process.
void Cmd_end() {
    FinalizeLayers();
    DestroyMainWindow();
}

// game: the end of the *define block.
void Cmd_game() {
    DropDeletedMenu();
    TakeDefaultFont();
    DefineEnded = 1;
    RestoreResetMenu();
    InitializeLayers();
}

// definereset: everything stops; the start-up loop reloads the script, runs
// *define again and restarts the story once this run has returned.
void Cmd_definereset() {
    StopAllSound(true);
    RestartRequested = 1;
}

// getversion %N: 296.  The variable number is an integer expression.
void Cmd_getversion() {
    if (ScriptBuffer[ReadPosition] != '%') ScriptError(CapSyntax, MsgGetversionArg);
    ReadPosition++;
    int32_t n = ReadIntExpr();
    if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgVarRange);
    StoreIntVar(n, 296);
}

// reset: back to *start with a new game's state.
void Cmd_reset() { ResetToStart(); }
