// screenfx_fixture.h - helpers of the screen-effect tests: a 64 x 48 screen
// with a white background and no text window, sprites placed by hand, and
// commands run in-process over a given operand text.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/script.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/filters.h"
#include "graphics/reset_graphics.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "tests/graphics/compose_fixture.h"
#include "tests/graphics/gfx_fixture.h"
#include "tests/support/engine_fixture.h"
#include "text/textwindow.h"

class ScreenFxTest : public ::testing::Test {
protected:
    std::string script;

    void SetUp() override {
        StartHeadlessForTests();
        ScreenWidth = 64, ScreenHeight = 48;
        RebuildScreenSurfaces();
        ResetGraphicsState();
        HumanZ = 499;
        NotEraseHumans = 0;
        BgAlia = BgAliaSetting();
        EffectOperandActive = 0;
        WindowBackOn = BrinMode = WindowEraseActive = TextWindowComposed = 0;
        FillSurfaceRect(&BgSurface, 0, 0, 64, 48, 0xFFFFFF);
        ClearCapturedBoxes();
    }
    void TearDown() override {
        ForgetScriptText();
        for (Sprite& s : Sprites) {
            ReleaseSurface(&s.surface);
            s.tag.Edit()[0] = 0;
            s.visible = 0;
        }
        for (Sprite2& s : Sprites2) {
            ReleaseSurface(&s.surface);
            s.tag.Edit()[0] = 0;
            s.visible = 0;
        }
        ResetScreenFilters();
        ScreenWidth = 640, ScreenHeight = 480;
        RebuildScreenSurfaces();
    }
    // Runs a command over the operand text (UTF-8); true when it read all
    // of it (up to the newline behind it).
    template <class F>
    bool Run(F cmd, const std::string& operands) {
        UseScriptText(&script, Cp932(operands) + "\n");
        cmd();
        return ScriptBuffer[ReadPosition] == '\n';
    }
    static void Place(int n, int x, int y, int w, int h, Bgr c) {
        Sprite& s = Sprites[n];
        Fill24(&s.surface, w, h, c);
        s.surface.transMode = TransCopy;
        strcpy(s.tag.Edit(), "pic");
        s.x = x, s.y = y, s.visible = 1;
    }
    static void PlaceRotated(int n, int cx, int cy, Bgr c) {
        Sprite2& s = Sprites2[n];
        Fill24(&s.surface, 4, 4, c);
        s.surface.transMode = TransCopy;
        strcpy(s.tag.Edit(), "pic");
        s.cx = cx, s.cy = cy, s.xscale = s.yscale = 100, s.rotation = 0;
        s.visible = 1;
    }
    static Bgr At(int x, int y) { return PixelAt(SrcSurface, x, y); }
};

inline uint8_t Pt(int a, int b) { return (uint8_t)(a * b / 255); }
inline Bgr Inverted(Bgr c) {
    return Bgr{(uint8_t)(255 - c[0]), (uint8_t)(255 - c[1]), (uint8_t)(255 - c[2])};
}
