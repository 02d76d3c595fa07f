// movie_commands.h - the movie commands: mpegplay, mpegplay2, movie, avi
// (sound/movie.h plays them).
#pragma once

void Cmd_mpegplay();
void Cmd_mpegplay2();
void Cmd_movie();
void Cmd_avi();
