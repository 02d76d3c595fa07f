/* layer_example.c - a layer plug-in (setlayer N,interval,"layer_example.dll/
 * PARAMETERS") that draws a filled rectangle, or a sprite through
 * RenderSprite, wherever its "*N" sprite stands in the drawing order.
 *
 * PARAMETERS: "r g b x y w h" for the rectangle, or "sprite S x y" to draw
 * lsp sprite S at (x, y).  layermessage texts: "color r g b" (redraws),
 * "count" (the Timer calls in the return value), "param" (the parameters
 * in the return string), "toggle" (Timer asks for redraws from now on),
 * "area" (the last area Draw got, "left top right bottom", in the return
 * string).
 * Finalize appends a line to "layer_final.txt" in the current folder.
 *
 *   cc -shared -fPIC -I<orva>/ext -o layer_example.so layer_example.c
 */
#include <stdio.h>
#include <string.h>

#include "orva_plugin.h"

static char Parameters[256];
static int Red, Green, Blue, X, Y, W, H;
static int SpriteMode, SpriteNumber;
static int TimerCalls, TimerRedraws, Initialized;
static OrvaRect LastArea;

void Initialize(const char* parameters) {
    snprintf(Parameters, sizeof Parameters, "%s", parameters);
    Initialized++;
    if (sscanf(parameters, "sprite %d %d %d", &SpriteNumber, &X, &Y) == 3)
        SpriteMode = 1;
    else
        sscanf(parameters, "%d %d %d %d %d %d %d", &Red, &Green, &Blue, &X, &Y, &W, &H);
}

void Finalize(void) {
    FILE* f = fopen("layer_final.txt", "a");
    if (!f) return;
    fprintf(f, "final %s\n", Parameters);
    fclose(f);
}

int Timer(void) {
    TimerCalls++;
    return TimerRedraws;
}

void Draw(uint8_t* bits, OrvaRect* area) {
    LastArea = *area;
    if (SpriteMode) {
        RenderSprite(SpriteNumber, 0, X, Y, 255);
        return;
    }
    int width, height;
    OrvaGetWindowSize(&width, &height);
    int stride = (3 * width + 3) & ~3;
    int left = X > area->left ? X : area->left, right = X + W - 1 < area->right ? X + W - 1 : area->right;
    int top = Y > area->top ? Y : area->top, bottom = Y + H - 1 < area->bottom ? Y + H - 1 : area->bottom;
    for (int y = top; y <= bottom; y++) {
        uint8_t* row = bits + (size_t)stride * (height - 1 - y);
        for (int x = left; x <= right; x++) {
            row[3 * x] = (uint8_t)Blue;
            row[3 * x + 1] = (uint8_t)Green;
            row[3 * x + 2] = (uint8_t)Red;
        }
    }
}

int Message(const char* text, int* retValue, char* retString) {
    if (sscanf(text, "color %d %d %d", &Red, &Green, &Blue) == 3) return 1;
    if (!strcmp(text, "count")) *retValue = TimerCalls;
    if (!strcmp(text, "initialized")) *retValue = Initialized;
    if (!strcmp(text, "param")) snprintf(retString, ORVA_RETURN_STRING_SIZE, "%s", Parameters);
    if (!strcmp(text, "toggle")) TimerRedraws = 1;
    if (!strcmp(text, "area"))
        snprintf(retString, ORVA_RETURN_STRING_SIZE, "%d %d %d %d", (int)LastArea.left,
                 (int)LastArea.top, (int)LastArea.right, (int)LastArea.bottom);
    return 0;
}
