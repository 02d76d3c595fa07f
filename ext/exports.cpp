// exports.cpp - the functions the program exports to plug-ins (the list is
// ext/orva_plugin.h; OrvaExecWord, OrvaGetKey, OrvaGetMouse and
// OrvaSystemCall live in orva_exec.cpp), and the drawing contexts they
// hand out.  Sprite numbers are checked: a bad one draws and reports
// nothing.
#include "ext/exports.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "archive/ov2.h"
#include "archive/ova.h"
#include "core/script.h"
#include "ext/layer_commands.h"
#include "ext/orva_exec.h"
#include "graphics/compose.h"
#include "graphics/draw.h"
#include "graphics/imagetag.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "save/savepoint.h"
#include "text/glyph.h"
#include "ui/input_state.h"
#include "ui/window_links.h"

#define ORVA_EXPORT extern "C" __attribute__((visibility("default")))

// ---- drawing contexts ------------------------------------------------------

static OrvaDC DestDC, SrcDC, WindowDC;
static Surface WindowPicture;  // what the window shows while WindowDC is open
static bool WindowDCOpen;

static OrvaDC* FillDC(OrvaDC* dc, Surface* s) {
    dc->bits = s->dib.bits;
    dc->width = s->dib.width;
    dc->height = s->dib.height;
    dc->stride = DibStride(24, s->dib.width);
    dc->bitsPerPixel = s->dib.infoHeader.bitCount;
    return dc;
}

OrvaDC* DestSurfaceDC() { return FillDC(&DestDC, &DestSurface); }
OrvaDC* SrcSurfaceDC() { return FillDC(&SrcDC, &SrcSurface); }

OrvaDC* OpenWindowDC() {
    if (!CreateSurface(&WindowPicture, ScreenWidth, ScreenHeight)) return FillDC(&WindowDC, &WindowPicture);
    if (!PlatReadWindow(WindowPicture.dib.bits, ScreenWidth, ScreenHeight) && HasPicture(&DestSurface))
        BltToSurface(&WindowPicture, 0, 0, ScreenWidth, ScreenHeight, &DestSurface, 0, 0);
    WindowDCOpen = true;
    return FillDC(&WindowDC, &WindowPicture);
}

void CloseWindowDC() {
    WindowDCOpen = false;
    ReleaseSurface(&WindowPicture);
    WindowDC = OrvaDC{};
}

static void PresentWindowDC() {
    if (WindowDCOpen && HasPicture(&WindowPicture))
        PlatPresent(WindowPicture.dib.bits, WindowPicture.dib.width, WindowPicture.dib.height);
}

// A context as a surface the blits can write: 24 bits, the padded stride.
static bool SurfaceOfDC(OrvaDC* dc, Surface* out) {
    if (!dc || !dc->bits || dc->bitsPerPixel != 24 || dc->width < 1 || dc->height < 1 ||
        dc->width > MaxPictureSide || dc->height > MaxPictureSide ||
        dc->stride != DibStride(24, dc->width))
        return false;
    out->dib.bits = dc->bits;
    out->dib.width = dc->width;
    out->dib.height = dc->height;
    out->dib.infoHeader.bitCount = 24;
    return true;
}

static int BltToDC(OrvaDC* dc, const Surface* src) {
    Surface target;
    if (!HasPicture(src) || !SurfaceOfDC(dc, &target)) return 0;
    BltToSurface(&target, 0, 0, src->dib.width, src->dib.height, src, 0, 0);
    if (dc == &WindowDC) PresentWindowDC();
    return 1;
}

static Sprite* SpriteOf(int n) { return n >= 0 && n < SpriteCount ? &Sprites[n] : nullptr; }

// ---- the exports -------------------------------------------------------------

ORVA_EXPORT int AllocDIB(DibInfo* out, const char* tag) {
    memset(out, 0, sizeof *out);
    Surface picture;
    LoadSurface(&picture, tag);
    if (HasPicture(&picture)) {
        const Dib& d = picture.dib;
        uint8_t* copy = (uint8_t*)malloc((size_t)d.imageBytes);
        if (copy) {
            memcpy(copy, d.bits, (size_t)d.imageBytes);
            out->width = d.width;
            out->height = d.height;
            out->paletteEntries = d.paletteEntries;
            out->bits = copy;
        }
    }
    DestroySurface(&picture);
    return out->bits != nullptr;
}

ORVA_EXPORT int BltBGTo(OrvaDC* dc) { return BltToDC(dc, &BgSurface); }

ORVA_EXPORT int BltSpriteTo(OrvaDC* dc, int n) {
    Sprite* s = SpriteOf(n);
    return s ? BltToDC(dc, &s->surface) : 0;
}

ORVA_EXPORT int DrawBG() {
    if (!HasPicture(&BgSurface)) return 0;
    BltToSurface(&DestSurface, 0, 0, ScreenWidth, ScreenHeight, &BgSurface, 0, 0);
    return 1;
}

ORVA_EXPORT int DrawBG2(int cx, int cy, int xscale, int yscale, int rotation) {
    BgSurface.transMode = TransCopy;
    BgSurface.alpha = 255;
    BgSurface.cell = 0;
    BgSurface.cellCount = 1;
    DrawSurfaceRotated(&BgSurface, &DestSurface, cx, cy, xscale, yscale, rotation, BlendNormal);
    return 1;
}

ORVA_EXPORT void DrawClear() { FillSurfaceRect(&DestSurface, 0, 0, ScreenWidth, ScreenHeight, 0); }

ORVA_EXPORT void DrawFill(int r, int g, int b) {
    uint32_t colorref = (uint32_t)std::clamp(r, 0, 255) | (uint32_t)std::clamp(g, 0, 255) << 8 |
                        (uint32_t)std::clamp(b, 0, 255) << 16;
    FillSurfaceRect(&DestSurface, 0, 0, ScreenWidth, ScreenHeight, colorref);
}

// DrawSP, DrawSP2: the cell and alpha are held to their ranges and kept.
// They change what the savepoint image holds, possibly while a command that
// defers the image composes the screen: the image is built first.
static Sprite* ClampedSprite(int n, int cell, int alpha) {
    Sprite* s = SpriteOf(n);
    if (!s || !HasPicture(&s->surface)) return nullptr;
    KeepSavepoint();
    s->surface.cell = std::clamp(cell, 0, CellCountOf(&s->surface) - 1);
    s->surface.alpha = std::clamp(alpha, 0, 255);
    return s;
}

ORVA_EXPORT int DrawSP(int n, int cell, int alpha, int x, int y) {
    Sprite* s = ClampedSprite(n, cell, alpha);
    if (!s) return 0;
    DrawSurface(&s->surface, &DestSurface, x, y, nullptr);
    return 1;
}

ORVA_EXPORT int DrawSP2(int n, int cell, int alpha, int cx, int cy, int xscale, int yscale,
                        int rotation) {
    Sprite* s = ClampedSprite(n, cell, alpha);
    if (!s) return 0;
    DrawSurfaceRotated(&s->surface, &DestSurface, cx, cy, xscale, yscale, rotation, BlendNormal);
    return 1;
}

ORVA_EXPORT void FreeDIB(DibInfo* dib) {
    if (!dib) return;
    free(dib->bits);
    dib->bits = nullptr;
}

ORVA_EXPORT int GetSpriteCellNum(int n) {
    Sprite* s = SpriteOf(n);
    return s ? s->surface.cellCount : 0;
}

ORVA_EXPORT void GetSpriteDIB(int n, DibInfo* out) {
    Sprite* s = SpriteOf(n);
    if (!s || !s->tag[0] || !HasPicture(&s->surface)) {
        out->width = 0;
        return;
    }
    const Dib& d = s->surface.dib;
    out->width = d.width;
    out->height = d.height;
    out->paletteEntries = d.paletteEntries;
    out->bits = d.bits;
}

ORVA_EXPORT int GetSpriteData(int n, int* cellWidth, int* height, int* cellCount) {
    Sprite* s = SpriteOf(n);
    if (!s) {
        *cellWidth = *height = *cellCount = 0;
        return 0;
    }
    const Surface& p = s->surface;
    int cells = CellCountOf(&p);
    int w = p.dib.width / cells;
    if (p.transMode == TransAlpha) w /= 2;
    *cellWidth = w;
    *height = p.dib.height;
    *cellCount = p.cellCount;
    return p.cellCount;
}

static void CopyName(char* out, const std::string& name) {
    size_t n = std::min(name.size(), (size_t)ORVA_ARCHIVE_NAME_SIZE - 1);
    memcpy(out, name.data(), n);
    out[n] = 0;
}

ORVA_EXPORT int OV2GetFile(const char* name, char* archive, int* offset, int* size) {
    Ov2Lookup e;
    if (FindOv2Entry(name, &e) != 1) return 0;
    CopyName(archive, e.archive);
    *offset = (int)e.offset;
    *size = (int)e.size;
    return 1;
}

ORVA_EXPORT int OVAGetFile(const char* name, char* archive, int* offset, int* size) {
    OvaLookup e;
    if (!OvaMode || FindOvaEntry(name, &e) < 0) return 0;
    CopyName(archive, e.archive);
    *offset = (int)(e.offset + OvaPrefixBytes());
    *size = (int)e.unpacked;
    return 1;
}

ORVA_EXPORT int OrvaDoEvents() {
    PresentWindowDC();
    PumpMessage();
    return QuitRequested;
}

ORVA_EXPORT OrvaDC* OrvaGetDestDC() { return DestSurfaceDC(); }

ORVA_EXPORT void OrvaGetFontType(char* name, int* index) {
    size_t n = strnlen(SelectedFont, sizeof SelectedFont);
    if (n > ORVA_FONT_NAME_SIZE - 1) n = ORVA_FONT_NAME_SIZE - 1;
    memcpy(name, SelectedFont, n);
    name[n] = 0;
    for (int i = 0; i < FontMenuCount && i < FontMenuLimit; i++)
        if (strncmp(FontMenuNames[i], SelectedFont, FontNameSize) == 0) {
            *index = i;
            break;
        }
}

ORVA_EXPORT OrvaDC* OrvaGetSrcDC() { return SrcSurfaceDC(); }

ORVA_EXPORT OrvaWindow* OrvaGetWindow() { return PluginWindowHandle(); }

ORVA_EXPORT int OrvaGetWindowSize(int* width, int* height) {
    *width = ScreenWidth;
    *height = ScreenHeight;
    return 1;
}

// Shown also while painting is left to a plug-in: the plug-in asks for it.
ORVA_EXPORT int OrvaRefreshWindow() {
    if (!HasPicture(&DestSurface)) return 0;
    if (WindowDCOpen) BltToSurface(&WindowPicture, 0, 0, ScreenWidth, ScreenHeight, &DestSurface, 0, 0);
    PlatPresent(DestSurface.dib.bits, DestSurface.dib.width, DestSurface.dib.height);
    return 1;
}

ORVA_EXPORT int OrvaUpdateSrcDC() {
    ComposeScreen(nullptr);
    return 1;
}

// The cell and alpha are stored as given; a cell outside the picture draws
// nothing, an alpha outside 0..255 draws held to that range.
ORVA_EXPORT int RenderSprite(int n, int cell, int x, int y, int alpha) {
    Sprite* s = SpriteOf(n);
    if (!s) return 0;
    KeepSavepoint();  // as ClampedSprite
    Surface& p = s->surface;
    p.cell = cell;
    p.alpha = alpha;
    if (!HasPicture(&p) || cell < 0 || cell >= CellCountOf(&p)) return 0;
    int32_t w = GetCellWidth(&p);
    auto last = [](int64_t v) { return (int32_t)std::min<int64_t>(v, INT32_MAX); };
    DrawClip clip{x, y, last((int64_t)x + w - 1), last((int64_t)y + p.dib.height - 1)};
    p.alpha = std::clamp(alpha, 0, 255);
    DrawSurface(&p, &SrcSurface, x, y, &clip);
    p.alpha = alpha;
    return 1;
}
