// picture_tools.cpp - bw2a, bw2a2, bw2a3, bmpcut, chainbmp, grptest,
// convgif, sp_rgb_gradation.  Pictures are turned into 24-bit working
// copies first, so every loop below runs over checked 24-bit rows.
#include "graphics/picture_tools.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/readers.h"
#include "graphics/bmp.h"
#include "graphics/compose.h"
#include "graphics/gfx_messages.h"
#include "graphics/decode.h"
#include "graphics/imagetag.h"
#include "graphics/offscreen_commands.h"
#include "graphics/screen.h"
#include "graphics/screenfx_messages.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "text/textwindow.h"

// A surface freed when its scope ends.
struct TempSurface {
    Surface s;
    ~TempSurface() { DestroySurface(&s); }
};

// A 24-bit copy of the w x h area at (x, y) of a picture of any depth;
// false when the size is outside 1..MaxPictureSide.
static bool Copy24(Surface* out, const Surface* in, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (!HasPicture(in) || !CreateSurface(out, w, h)) return false;
    BltToSurface(out, 0, 0, w, h, in, x, y);
    return true;
}

// A BMP file on disk as a 24-bit working picture; false when missing or bad.
static bool ReadBmp24(const std::string& file, Surface* out) {
    TempSurface raw;
    if (!ReadBmpFile(file.c_str(), &raw.s.dib) || !HasPicture(&raw.s)) return false;
    return Copy24(out, &raw.s, 0, 0, raw.s.dib.width, raw.s.dib.height);
}

static void MakeFolder(const char* name) {
    if (PlatWriteAllowed(name)) mkdir(PlatResolve(name).c_str(), 0777);
}

static uint8_t* Px(Surface* s, int32_t x, int32_t y) { return DibRow(&s->dib, y) + 3 * (size_t)x; }

// W becomes the mask of B over W: 0 where the renderings agree, else the
// mean difference of the channels, 0..255 (a black rendering brighter than
// the white one is opaque, not wrapped round to transparent).
static void MaskFromPair(Surface* b, Surface* w) {
    for (int32_t y = 0; y < b->dib.height; y++)
        for (int32_t x = 0; x < b->dib.width; x++) {
            uint8_t* pb = Px(b, x, y);
            uint8_t* pw = Px(w, x, y);
            int v = 0;
            if (memcmp(pb, pw, 3) != 0) v = (pw[0] + pw[1] + pw[2] - pb[0] - pb[1] - pb[2]) / 3;
            if (v < 0) v = 0;
            pw[0] = pw[1] = pw[2] = (uint8_t)(v > 255 ? 255 : v);
        }
}

// Colour region of B and the same region of the mask side by side, written.
static void WritePair(Surface* b, Surface* mask, int32_t x, int32_t y, int32_t w, int32_t h,
                      const std::string& file) {
    TempSurface out;
    if ((int64_t)2 * w > MaxPictureSide || !CreateSurface(&out.s, 2 * w, h)) return;
    BltToSurface(&out.s, 0, 0, w, h, b, x, y);
    BltToSurface(&out.s, w, 0, w, h, mask, x, y);
    MakeFolder("out");
    SaveSurfaceBmp(&out.s, file.c_str());
}

static bool ColumnClear(Surface* m, int32_t x) {
    for (int32_t y = 0; y < m->dib.height; y++)
        if (Px(m, x, y)[0] != 255) return false;
    return true;
}

void MakeAlphaImage(const char* name, bool whiteOnly) {
    TempSurface b, w;
    if (!ReadBmp24(std::string(name) + "_b.bmp", &b.s)) return;
    int32_t bw = b.s.dib.width, bh = b.s.dib.height;
    if (whiteOnly) {
        if (!CreateSurface(&w.s, bw, bh)) return;
        FillSurfaceRect(&w.s, 0, 0, bw, bh, 0xFFFFFF);
    } else if (!ReadBmp24(std::string(name) + "_w.bmp", &w.s) || w.s.dib.width != bw ||
               w.s.dib.height != bh) {
        return;  // missing, or not the same size
    }
    MaskFromPair(&b.s, &w.s);
    // Column pairs clear in every row, from both sides at once; clear rows
    // at the top.
    int32_t k = 0;
    while (k < bw / 2 && ColumnClear(&w.s, k) && ColumnClear(&w.s, bw - 1 - k)) k++;
    int32_t t = 0;
    for (; t < bh; t++) {
        bool clear = true;
        for (int32_t x = 0; x < bw && clear; x++) clear = Px(&w.s, x, t)[0] == 255;
        if (!clear) break;
    }
    if (bw - 2 * k < 1 || bh - t < 1) return;  // nothing left to write
    WritePair(&b.s, &w.s, k, t, bw - 2 * k, bh - t, std::string("out\\") + name + ".bmp");
}

void MakeAlphaImageFromDirs(const char* name) {
    TempSurface b, w;
    if (!ReadBmp24(std::string("b\\") + name, &b.s) || !ReadBmp24(std::string("w\\") + name, &w.s))
        return;
    int32_t bw = b.s.dib.width, bh = b.s.dib.height;
    if (w.s.dib.width != bw || w.s.dib.height != bh) return;
    MaskFromPair(&b.s, &w.s);
    WritePair(&b.s, &w.s, 0, 0, bw, bh, std::string("out\\") + name);
}

void CutIntoTiles(const char* tag, int32_t columns, int32_t rows) {
    if (rows < 1 || columns < 1) return;
    TempSurface pic;
    LoadSurface(&pic.s, tag);
    if (!HasPicture(&pic.s)) return;
    int32_t tw = GetCellWidth(&pic.s) / columns, th = pic.s.dib.height / rows;
    if (tw < 1 || th < 1) return;
    for (int32_t r = 0; r < rows; r++)
        for (int32_t c = 0; c < columns; c++) {
            TempSurface tile;
            if (!Copy24(&tile.s, &pic.s, c * tw, r * th, tw, th)) return;
            std::string file = "_" + std::string(tag) + std::to_string(c) + std::to_string(r) +
                               ".bmp";
            SaveSurfaceBmp(&tile.s, file.c_str());
        }
}

void ChainBmp(const char* name) {
    TempSurface n, o;
    if (!LoadSurfaceBmp(&n.s, name)) return;
    int32_t nw = GetCellWidth(&n.s), nh = n.s.dib.height;
    if (!PlatExists("out.bmp")) {
        TempSurface copy;
        if (Copy24(&copy.s, &n.s, 0, 0, nw, nh)) SaveSurfaceBmp(&copy.s, "out.bmp");
        return;
    }
    if (!LoadSurfaceBmp(&o.s, "out.bmp")) return;
    int32_t ow = GetCellWidth(&o.s);
    TempSurface out;
    if ((int64_t)ow + nw > MaxPictureSide || !CreateSurface(&out.s, ow + nw, nh)) return;
    BltToSurface(&out.s, 0, 0, ow, o.s.dib.height, &o.s, 0, 0);
    BltToSurface(&out.s, ow, 0, nw, nh, &n.s, 0, 0);
    SaveSurfaceBmp(&out.s, "out.bmp");
}

enum { GrpWidth = 640, GrpHeight = 480 };

void RunGrpTest(const char* tag) {
    TempSurface pic, area;
    LoadSurface(&pic.s, tag);
    if (!HasPicture(&pic.s) || pic.s.dib.width < GrpWidth || pic.s.dib.height < GrpHeight) return;
    if (!Copy24(&area.s, &pic.s, 0, 0, GrpWidth, GrpHeight)) return;
    StretchToWindow(&area.s, 0, 0, GrpWidth, GrpHeight, 0, 0, GrpWidth, GrpHeight);
    // Differences per channel in memory order: bottom row first, rows
    // joined, the previous value 0 at each channel's start.
    std::vector<int64_t> counts(511, 0);
    for (int ch = 0; ch < 3; ch++) {
        int prev = 0;
        for (int32_t y = GrpHeight - 1; y >= 0; y--) {
            const uint8_t* row = DibRow(&area.s.dib, y);
            for (int32_t x = 0; x < GrpWidth; x++) {
                int v = row[3 * x + ch];
                counts[v - prev + 255]++;
                prev = v;
            }
        }
    }
    FILE* f = PlatOpen("out.txt", "w");
    if (!f) return;
    fprintf(f, FmtGrpTestTitle, tag);
    for (int d = -255; d <= 255; d++)
        if (counts[d + 255] > 0) fprintf(f, "%d = %lld\n", d, (long long)counts[d + 255]);
    fclose(f);
}

void ConvertGif(const char* name) {
    std::vector<uint8_t> bytes;
    TempSurface pic;
    if (!PlatReadFile(name, false, &bytes) || !DecodeOlePicture(bytes.data(), bytes.size(), &pic.s.dib))
        ScriptError(CapGfxError, MsgJpegFile);
    BltToSurface(&BgSurface, 0, 0, GetCellWidth(&pic.s), pic.s.dib.height, &pic.s, 0, 0);
}

void ApplyRgbGradation(int32_t sprite, const int32_t first[3], const int32_t second[3],
                       const int32_t key[3], int32_t mask) {
    Surface* s;
    if (sprite == -1)
        s = &WindowImage;
    else if (sprite >= 0 && sprite < SpriteCount)
        s = &Sprites[sprite].surface;
    else
        return;
    if (!HasPicture(s) || s->dib.infoHeader.bitCount != 24) return;
    int32_t cw = GetCellWidth(s), w = s->dib.width, h = s->dib.height;
    if (cw > w) cw = w;
    auto isKey = [&](const uint8_t* p) {
        return p[2] == (uint8_t)key[0] && p[1] == (uint8_t)key[1] && p[0] == (uint8_t)key[2];
    };
    int32_t top = -1, bottom = -1;
    for (int32_t y = 0; y < h; y++)
        for (int32_t x = 0; x < cw; x++)
            if (isKey(Px(s, x, y))) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
    if (top >= 0) {
        int64_t span = bottom - top;
        for (int64_t m = 0; m <= span; m++) {
            uint8_t c[3];  // blue, green, red
            for (int i = 0; i < 3; i++) {
                // One key row (span 0) takes the first colour.
                int64_t v = span ? ((span - m) * first[i] + m * second[i]) / span : first[i];
                c[2 - i] = (uint8_t)v;
            }
            int32_t y = (int32_t)(top + m);
            for (int32_t x = 0; x < cw; x++) {
                uint8_t* p = Px(s, x, y);
                if (!isKey(p)) continue;
                memcpy(p, c, 3);
                // The mask beside it, only where the picture has a second cell.
                if ((int64_t)x + cw < w) memset(Px(s, x + cw, y), (uint8_t)mask, 3);
            }
        }
    }
    if (sprite == -1)
        AddDirtyRect(TextWindowLeft, TextWindowRight, TextWindowTop, TextWindowBottom);
    else
        MarkSpriteDirty(sprite);
}

static std::string ReadString() {
    std::vector<char> text(StrValueSize);
    ReadStrExpr(text.data(), (int)text.size());
    return text.data();
}

void Cmd_bw2a() { MakeAlphaImage(ReadString().c_str(), false); }
void Cmd_bw2a2() { MakeAlphaImage(ReadString().c_str(), true); }
void Cmd_bw2a3() { MakeAlphaImageFromDirs(ReadString().c_str()); }

void Cmd_bmpcut() {
    std::string tag = ReadString();
    ExpectComma();
    int32_t columns = ReadIntExpr();
    ExpectComma();
    int32_t rows = ReadIntExpr();
    CutIntoTiles(tag.c_str(), columns, rows);
}

void Cmd_chainbmp() { ChainBmp(ReadString().c_str()); }
void Cmd_grptest() { RunGrpTest(ReadString().c_str()); }
void Cmd_convgif() { ConvertGif(ReadString().c_str()); }

void Cmd_sp_rgb_gradation() {
    int32_t v[11];
    for (int i = 0; i < 11; i++) {
        if (i) ExpectComma();
        v[i] = ReadIntExpr();
    }
    ApplyRgbGradation(v[0], v + 1, v + 4, v + 7, v[10]);
}
