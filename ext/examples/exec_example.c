/* exec_example.c - an exec plug-in (exec_dll "exec_example.dll/WORD ARGS")
 * that runs one of the engine's exports per call and reports what it gave
 * through getret: the number in the return value, a text in the return
 * string.  It also offers two texture functions for OVDDLL / OVDCall.
 *
 *   cc -shared -fPIC -I<orva>/ext -o exec_example.so exec_example.c
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "orva_plugin.h"

#define OUT(...) snprintf(retString, ORVA_RETURN_STRING_SIZE, __VA_ARGS__)

/* A pixel of a 24-bit bottom-up picture, counted from the top. */
static const uint8_t* PixelAt(const uint8_t* bits, int width, int height, int x, int y) {
    int stride = (3 * width + 3) & ~3;
    return bits + (size_t)stride * (height - 1 - y) + 3 * x;
}

int OrvaPlugInMain(OrvaInstance* instance, OrvaWindow* window, const char* parameters,
                   int* retValue, char* retString) {
    char word[32] = "";
    int n = 0;
    sscanf(parameters, "%31s %n", word, &n);
    const char* rest = parameters + n;
    int a[8] = {0};
    sscanf(rest, "%d %d %d %d %d %d %d %d", &a[0], &a[1], &a[2], &a[3], &a[4], &a[5], &a[6], &a[7]);

    if (!word[0]) {
        *retValue = instance && window ? 1 : 0;
        OUT("empty");
    } else if (!strcmp(word, "add")) {
        *retValue = a[0] + a[1];
        OUT("sum");
        return 2;
    } else if (!strcmp(word, "exec")) {
        *retValue = OrvaExecWord(rest);
    } else if (!strcmp(word, "size")) {
        int w = 0, h = 0;
        *retValue = OrvaGetWindowSize(&w, &h);
        OUT("%d %d", w, h);
    } else if (!strcmp(word, "sprite")) {
        int cw = -1, h = -1, cells = -1;
        DibInfo dib;
        memset(&dib, 0x55, sizeof dib);
        *retValue = GetSpriteData(a[0], &cw, &h, &cells);
        GetSpriteDIB(a[0], &dib);
        OUT("%d %d %d %d %d", cw, h, cells, GetSpriteCellNum(a[0]), dib.width);
    } else if (!strcmp(word, "dib")) {
        DibInfo dib;
        AllocDIB(&dib, rest);
        *retValue = dib.bits != NULL;
        if (dib.bits) {
            const uint8_t* p = PixelAt(dib.bits, dib.width, dib.height, 0, 0);
            OUT("%d %d %d %d %d %d", dib.width, dib.height, dib.paletteEntries, p[2], p[1], p[0]);
            FreeDIB(&dib);
        } else {
            OUT("%d %d %d", dib.width, dib.height, dib.paletteEntries);
        }
    } else if (!strcmp(word, "pixel")) {
        /* the displayed picture (dest) or the composed one (src) */
        OrvaDC* dc = a[2] ? OrvaGetSrcDC() : OrvaGetDestDC();
        const uint8_t* p = PixelAt(dc->bits, dc->width, dc->height, a[0], a[1]);
        *retValue = p[2] << 16 | p[1] << 8 | p[0];
        OUT("%d %d %d %d", dc->width, dc->height, dc->stride, dc->bitsPerPixel);
    } else if (!strcmp(word, "fill")) {
        DrawFill(a[0], a[1], a[2]);
        return 1;
    } else if (!strcmp(word, "clear")) {
        DrawClear();
        return 1;
    } else if (!strcmp(word, "drawbg")) {
        *retValue = DrawBG();
        return 1;
    } else if (!strcmp(word, "drawbg2")) {
        *retValue = DrawBG2(a[0], a[1], a[2], a[3], a[4]);
        return 1;
    } else if (!strcmp(word, "drawsp")) {
        *retValue = DrawSP(a[0], a[1], a[2], a[3], a[4]);
        return 1;
    } else if (!strcmp(word, "drawsp2")) {
        *retValue = DrawSP2(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        return 1;
    } else if (!strcmp(word, "refresh")) {
        *retValue = OrvaRefreshWindow();
    } else if (!strcmp(word, "compose")) {
        *retValue = OrvaUpdateSrcDC();
    } else if (!strcmp(word, "bgto") || !strcmp(word, "spriteto")) {
        /* a picture of the plug-in's own receives the copy */
        static uint8_t bits[((3 * 8 + 3) & ~3) * 8];
        OrvaDC own = {bits, 8, 8, (3 * 8 + 3) & ~3, 24};
        memset(bits, 0, sizeof bits);
        int r = word[0] == 'b' ? BltBGTo(&own) : BltSpriteTo(&own, a[0]);
        const uint8_t* p = PixelAt(bits, 8, 8, 0, 0);
        *retValue = r;
        OUT("%d %d %d", p[2], p[1], p[0]);
    } else if (!strcmp(word, "key")) {
        *retValue = OrvaGetKey(rest);
    } else if (!strcmp(word, "mouse")) {
        int x = 0, y = 0;
        OrvaGetMouse(&x, &y);
        OUT("%d %d", x, y);
    } else if (!strcmp(word, "events")) {
        *retValue = OrvaDoEvents();
    } else if (!strcmp(word, "window")) {
        *retValue = OrvaGetWindow() == window;
    } else if (!strcmp(word, "font")) {
        char name[ORVA_FONT_NAME_SIZE];
        int index = -1;
        OrvaGetFontType(name, &index);
        *retValue = index;
        OUT("%s", name);
    } else if (!strcmp(word, "ova") || !strcmp(word, "ov2")) {
        char archive[ORVA_ARCHIVE_NAME_SIZE] = "";
        int offset = -1, size = -1;
        *retValue = word[2] == 'a' ? OVAGetFile(rest, archive, &offset, &size)
                                   : OV2GetFile(rest, archive, &offset, &size);
        /* the name is cut to leave the numbers room in the 256-byte result */
        OUT("%.230s %d %d", archive, offset, size);
    } else if (!strcmp(word, "system")) {
        OrvaSystemCall(rest);
    } else if (!strcmp(word, "render")) {
        *retValue = RenderSprite(a[0], a[1], a[2], a[3], a[4]);
    } else {
        OUT("unknown %s", word);
        *retValue = -1;
    }
    return 0;
}

/* Texture functions: RGB turned over, alpha kept; or every pixel set to the
 * hexadecimal value the parameter gives (AARRGGBB). */
void Invert(uint32_t* pixels, int width, int height, const char* parameter) {
    (void)parameter;
    for (long i = 0; i < (long)width * height; i++) pixels[i] ^= 0x00FFFFFFu;
}

void Paint(uint32_t* pixels, int width, int height, const char* parameter) {
    uint32_t value = parameter ? (uint32_t)strtoul(parameter, NULL, 16) : 0xFF00FF00u;
    for (long i = 0; i < (long)width * height; i++) pixels[i] = value;
}
