// movie_commands.cpp - the movie commands (stubs until built).
#include "sound/movie_commands.h"

#include "core/dispatch.h"

void Cmd_mpegplay() { Cmd_Unbuilt(); }
void Cmd_mpegplay2() { Cmd_Unbuilt(); }
void Cmd_movie() { Cmd_Unbuilt(); }
void Cmd_avi() { Cmd_Unbuilt(); }
