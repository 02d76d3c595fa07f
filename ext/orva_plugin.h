/* orva_plugin.h - the interface between orva and the plug-in libraries it
 * loads: the 28 functions the program exports to them, the entry points it
 * calls in them, and the picture layouts both sides share.
 *
 * A plug-in is a shared library ("x.so") built from C or C++ against this
 * header; where a game names "x.dll" the engine loads "x.so" from the same
 * place.  Link it without the engine: its references to the functions below
 * are resolved against the running `orva` when it is loaded, e.g.
 *
 *     cc -shared -fPIC -o x.so x.c
 *
 * Every function here may be called only on the engine's thread and only
 * while the engine is inside a call into the plug-in (an exec plug-in's
 * OrvaPlugInMain, a layer's entries, an effect, a texture function).
 *
 * Pictures.
 *   Surfaces (sprites, the background, the screen pictures, DibInfo bits,
 *   OrvaDC bits): 24 bits per pixel, bytes blue, green, red; rows bottom-up
 *   (the first row in memory is the bottom one), each row padded to a
 *   multiple of 4 bytes: stride = (3 * width + 3) & ~3.  Row y counted from
 *   the top starts at bits + stride * (height - 1 - y).  A picture of
 *   several cells holds them side by side; in alpha mode each cell is its
 *   colour image (left half) and its mask (right half, 0 opaque .. 255
 *   transparent).  A DibInfo with 256 palette entries has 8-bit pixels.
 *   Textures (texture functions registered with OVDDLL): 32 bits per pixel,
 *   bytes blue, green, red, alpha (the value 0xAARRGGBB); rows top-down,
 *   width * 4 bytes each with nothing between rows.
 *
 * Rectangles handed to plug-ins are inclusive: left..right, top..bottom.
 */
#ifndef ORVA_PLUGIN_H
#define ORVA_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The main window and the program instance: opaque handles. */
typedef struct OrvaWindow OrvaWindow;
typedef struct OrvaInstance OrvaInstance;

/* A drawing context: a 24-bit picture in the surface layout.  The engine
 * hands out contexts over its own pictures (OrvaGetDestDC, OrvaGetSrcDC, the
 * window context of an effect); a plug-in may fill one in over a picture of
 * its own to receive BltBGTo / BltSpriteTo.  stride must be the padded row
 * size given above and bitsPerPixel 24. */
typedef struct OrvaDC {
    uint8_t* bits;
    int32_t width, height;
    int32_t stride;
    int32_t bitsPerPixel;
} OrvaDC;

/* A picture handed to a plug-in. */
typedef struct DibInfo {
    int32_t width;
    int32_t height;
    int32_t paletteEntries; /* 0 for 24 bits, 256 for 8 bits */
    uint8_t* bits;          /* rows in the surface layout */
} DibInfo;

typedef struct OrvaRect {
    int32_t left, top, right, bottom; /* inclusive */
} OrvaRect;

/* Sizes of the text buffers the exports fill: an archive name for
 * OVAGetFile / OV2GetFile, a font face name for OrvaGetFontType, the result
 * text of exec plug-ins and layer messages.  Each is written NUL-terminated
 * and cut to fit. */
enum {
    ORVA_ARCHIVE_NAME_SIZE = 260,
    ORVA_FONT_NAME_SIZE = 256,
    ORVA_RETURN_STRING_SIZE = 256,
    ORVA_EXEC_WORD_MAX = 1500 /* longest command text OrvaExecWord runs */
};

/* ---- the 28 exports (sprite numbers 0..999) ---------------------------- */

/* Loads an image tag into *out as a heap copy (free it with FreeDIB); all
 * zero when nothing was loaded. */
int AllocDIB(DibInfo* out, const char* tag);
/* Copy the background / the whole picture of sprite n (all cells) to the
 * context at 0, 0.  1 when something was copied. */
int BltBGTo(OrvaDC* dc);
int BltSpriteTo(OrvaDC* dc, int n);
/* The background onto the displayed picture; scaled (per cent) and rotated
 * (degrees) about (cx, cy). */
int DrawBG(void);
int DrawBG2(int cx, int cy, int xscale, int yscale, int rotation);
/* Fill the displayed picture black / with a colour. */
void DrawClear(void);
void DrawFill(int r, int g, int b);
/* Store cell (held to 0..cells-1) and alpha (held to 0..255) in sprite n and
 * draw its cell onto the displayed picture at (x, y) / scaled and rotated
 * about (cx, cy). */
int DrawSP(int n, int cell, int alpha, int x, int y);
int DrawSP2(int n, int cell, int alpha, int cx, int cy, int xscale, int yscale, int rotation);
void FreeDIB(DibInfo* dib);
int GetSpriteCellNum(int n);
/* Sprite n's own bits (owned by the engine); only width = 0 when it is
 * empty. */
void GetSpriteDIB(int n, DibInfo* out);
/* Cell width (halved in alpha mode), height and cell count; returns the
 * cell count. */
int GetSpriteData(int n, int* cellWidth, int* height, int* cellCount);
/* Where a file lies in the ov2 / ova archives: archive (a buffer of
 * ORVA_ARCHIVE_NAME_SIZE bytes), offset and size.  1 found, 0 not. */
int OV2GetFile(const char* name, char* archive, int* offset, int* size);
int OVAGetFile(const char* name, char* archive, int* offset, int* size);
/* Handles one window message; nonzero once the game is ending. */
int OrvaDoEvents(void);
/* Runs the first script command of the text (at most ORVA_EXEC_WORD_MAX
 * bytes; a longer text runs nothing and gives 0). */
int OrvaExecWord(const char* command);
OrvaDC* OrvaGetDestDC(void);
/* The selected font face into name (ORVA_FONT_NAME_SIZE bytes); *index =
 * its number in the font menu when it is one of the menu's faces. */
void OrvaGetFontType(char* name, int* index);
/* 1 while the key is down and the window has the focus: one character
 * names that key (either case); else SPACE, ESC, CTRL, UP, DOWN, LEFT,
 * RIGHT, F1..F12, RETURN, ENTER, PAGEUP, PAGEDOWN, SHIFT (any case). */
int OrvaGetKey(const char* key);
/* The cursor in screen coordinates; -1, -1 outside or out of focus. */
void OrvaGetMouse(int* x, int* y);
OrvaDC* OrvaGetSrcDC(void);
OrvaWindow* OrvaGetWindow(void);
int OrvaGetWindowSize(int* width, int* height);
/* Shows the displayed picture in the window. */
int OrvaRefreshWindow(void);
/* "close", "end", "reset", "full", "window", "automode", "skip",
 * "skipoff"; any other word is a fatal error. */
void OrvaSystemCall(const char* word);
/* Composes the whole screen into the picture being composed. */
int OrvaUpdateSrcDC(void);
/* For a layer's Draw: stores cell and alpha in sprite n and draws that cell
 * at (x, y) into the picture being composed (a cell outside the picture
 * draws nothing). */
int RenderSprite(int n, int cell, int x, int y, int alpha);

/* ---- entry points the engine calls in plug-ins ------------------------- */

/* exec plug-in (exec_dll "x.dll/parameters"): a result of 1 repaints the
 * window.  retString holds ORVA_RETURN_STRING_SIZE bytes. */
typedef int (*OrvaPlugInMainProc)(OrvaInstance* instance, OrvaWindow* window,
                                  const char* parameters, int* retValue, char* retString);

/* layer plug-in (setlayer N,interval,"x.dll/parameters"), each optional:
 *   void Initialize(const char* parameters);   at `game`
 *   void Finalize(void);                       when the game ends
 *   int Timer(void);                           nonzero: redraw the screen
 *   void Draw(uint8_t* srcBits, OrvaRect* area); draw into the picture
 *       being composed (surface layout, screen size), inside area
 *   int Message(const char* text, int* retValue, char* retString);
 *       layermessage; nonzero: redraw the screen */
typedef void (*OrvaLayerInitializeProc)(const char* parameters);
typedef void (*OrvaLayerFinalizeProc)(void);
typedef int (*OrvaLayerTimerProc)(void);
typedef void (*OrvaLayerDrawProc)(uint8_t* srcBits, OrvaRect* area);
typedef int (*OrvaLayerMessageProc)(const char* text, int* retValue, char* retString);

/* effect plug-in (effect kind 99, "x.dll/parameters"): animates the
 * transition from destBits (shown) to srcBits (new) over area and returns
 * when done.  windowDC is the window's picture, screen-sized: what is
 * drawn into it is shown at each OrvaDoEvents (OrvaRefreshWindow copies the
 * displayed picture into it and shows that).  When the effect returns, the
 * engine shows the new picture over area. */
typedef void (*OrvaEffectProc)(OrvaDC* windowDC, OrvaDC* destDC, OrvaDC* srcDC,
                               uint8_t* destBits, uint8_t* srcBits, OrvaRect* area,
                               const char* parameters, int durationMs);

/* texture function registered with OVDDLL and run by OVDCall. */
typedef void (*OrvaTextureProc)(uint32_t* pixels, int width, int height,
                                const char* parameter);

#ifdef __cplusplus
}
#endif

#endif /* ORVA_PLUGIN_H */
