/* effect_example.c - an effect plug-in (effect N,99,MS,"effect_example.dll/
 * PARAMETERS"): a cross-fade in eight steps drawn into the window's
 * picture, each shown with OrvaDoEvents.
 *
 * With PARAMETERS "record V" it first stores what it was given in the
 * script's variables through OrvaExecWord: %V the duration, %V+1..%V+4 the
 * area, %V+5 the red of the window's first pixel, $V the parameters.
 * With PARAMETERS "still" it draws nothing: the engine's copy of the new
 * picture at the end alone shows it.
 *
 *   cc -shared -fPIC -I<orva>/ext -o effect_example.so effect_example.c
 */
#include <stdio.h>
#include <string.h>

#include "orva_plugin.h"

static void Set(int n, int value) {
    char command[64];
    snprintf(command, sizeof command, "mov %%%d,%d", n, value);
    OrvaExecWord(command);
}

void Effect(OrvaDC* windowDC, OrvaDC* destDC, OrvaDC* srcDC, uint8_t* destBits, uint8_t* srcBits,
            OrvaRect* area, const char* parameters, int durationMs) {
    int v;
    if (sscanf(parameters, "record %d", &v) == 1) {
        char command[300];
        int stride = windowDC->stride;
        const uint8_t* first = windowDC->bits + (size_t)stride * (windowDC->height - 1);
        Set(v, durationMs);
        Set(v + 1, area->left);
        Set(v + 2, area->top);
        Set(v + 3, area->right);
        Set(v + 4, area->bottom);
        Set(v + 5, first[2]);
        snprintf(command, sizeof command, "mov $%d,\"%s\"", v, parameters);
        OrvaExecWord(command);
    }
    if (!strcmp(parameters, "still")) return;
    if (destDC->bits != destBits || srcDC->bits != srcBits) return;
    int stride = windowDC->stride;
    for (int step = 1; step <= 8; step++) {
        for (int y = area->top; y <= area->bottom; y++) {
            size_t row = (size_t)stride * (windowDC->height - 1 - y);
            for (int x = 3 * area->left; x < 3 * (area->right + 1); x++)
                windowDC->bits[row + x] =
                    (uint8_t)(destBits[row + x] + (srcBits[row + x] - destBits[row + x]) * step / 8);
        }
        OrvaDoEvents();
    }
}
