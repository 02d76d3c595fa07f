// movie_commands.cpp - mpegplay file, click; mpegplay2 %result, file, click;
// movie file[, options] or movie stop; avi file, click.
#include "sound/movie_commands.h"

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/readers.h"
#include "core/variables.h"
#include "sound/movie.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"

void Cmd_mpegplay() {
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    ExpectComma();
    int32_t click = ReadIntExpr();
    PlayMpeg(name, click);
    Clicked = 0;
}

void Cmd_mpegplay2() {
    int n = ReadIntTarget("mpegplay2", SufFirstInt);
    ExpectComma();
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    ExpectComma();
    int32_t click = ReadIntExpr();
    IntVariables[n] = PlayMpeg(name, click);
    ClampIntVars();
}

// After a movie the window shows the screen again and a click is forgotten.
void Cmd_movie() {
    PlayMovie();
    PaintWindow(nullptr);
    Clicked = 0;
}

void Cmd_avi() {
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    ExpectComma();
    int32_t click = ReadIntExpr();
    PlayAvi(name, click);
}
