// movie_commands.h - the movie commands (stubs until built).
#pragma once

void Cmd_mpegplay();
void Cmd_mpegplay2();
void Cmd_movie();
void Cmd_avi();
