// picture_tools.h - tools for the makers of a game: alpha pictures from
// renderings on black and on white (bw2a, bw2a2, bw2a3), tiles (bmpcut), a
// strip of pictures (chainbmp), a histogram of horizontal differences
// (grptest), a GIF into the background (convgif) and a colour gradient over
// a sprite's key-coloured pixels (sp_rgb_gradation).  Files are read from
// and written to the game folder; written pictures are 24-bit BMP files.
// Every tool checks its pictures' sizes and cells before it writes: missing
// or mismatched pictures and sizes that leave nothing write no file.
#pragma once
#include <cstdint>

// name + "_b.bmp" with name + "_w.bmp" (or all white) into "out\<name>.bmp".
void MakeAlphaImage(const char* name, bool whiteOnly);
// "b\<name>" with "w\<name>" into "out\<name>", untrimmed.
void MakeAlphaImageFromDirs(const char* name);
void CutIntoTiles(const char* tag, int32_t columns, int32_t rows);
void ChainBmp(const char* name);
void RunGrpTest(const char* tag);
void ConvertGif(const char* name);
void ApplyRgbGradation(int32_t sprite, const int32_t first[3], const int32_t second[3],
                       const int32_t key[3], int32_t mask);

void Cmd_bmpcut();
void Cmd_bw2a();
void Cmd_bw2a2();
void Cmd_bw2a3();
void Cmd_chainbmp();
void Cmd_convgif();
void Cmd_grptest();
void Cmd_sp_rgb_gradation();
