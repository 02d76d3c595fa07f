// textwindow.cpp - the text window: the settings record, the window
// background (tint or picture), the glyph layers blended over it, and the
// operations that hide, show and clear the window.
#include "text/textwindow.h"

#include <algorithm>
#include <cstring>

#include "core/script.h"
#include "core/startup.h"
#include "graphics/draw.h"
#include "graphics/effect.h"
#include "graphics/screen.h"
#include "text/glyph.h"
#include "text/textline.h"
#include "ui/mainwindow.h"

int TextColumns = 23, TextRows = 16;
int TextCursorColumn = 0, TextCursorLine = 0;
int32_t TextOriginX = 21, TextOriginY = 16;
int32_t TextFontWidth = 26, TextFontHeight = 26;
int32_t TextCharAdvance = 26, TextLineAdvance = 28;
int32_t TextSpeed = 20;
int32_t TextBold = 1, TextShadow = 1;
int32_t WindowColor = 0x999999;
Surface WindowImage;
char WindowImageTag[FontFaceSize];
int32_t TextWindowLeft, TextWindowTop, TextWindowRight = 640, TextWindowBottom = 480;
int32_t WindowEffect = 1, WindowEffectDuration;
char WindowEffectImage[FontFaceSize];
int32_t TextColorRed = 255, TextColorGreen = 255, TextColorBlue = 255;
char TextFontFace[FontFaceSize];
int32_t VerticalText, VerticalTextNext;
int32_t ShadeDistanceOn, ShadeDistanceX, ShadeDistanceY;

int32_t TextWindowShown;
int32_t TextWindowComposed;
int32_t TextModeOn = 1;
int32_t TextHidden;
int32_t EraseWindowAllowed = 1;
int32_t WindowKeptForHumans;
int32_t WindowBackOn;
int32_t LookbackShown;
int32_t BrinMode;
int32_t WindowEraseActive;

Surface TextColorSurface;

int32_t MenuFontWidth = 26, MenuFontHeight = 26, MenuCharAdvance = 26, MenuLineAdvance = 28;
int32_t MenuBold = 1, MenuShadow = 1;
int32_t MenuWindowColor = 0x999999;
int32_t MenuTintDone;
int32_t SystemMenuActive;

int32_t WindowChipSprites[WindowChipLimit];
int32_t WindowChipCount;

int32_t RestOfPageInstant;
// The first page numbers from TextButtonStart (-2000: no button yet).
int32_t TextButtonCount, TextButtonStart = 1, TextButtonNext = -2000;

void ResetTextWindow() {
    TextHidden = 0;
    EraseWindowAllowed = 1;
    TextModeOn = 1;
    ReleaseSurface(&WindowImage);
    WindowImageTag[0] = 0;
    TextOriginX = 21;
    TextOriginY = 16;
    TextColumns = 23;
    TextRows = 16;
    TextFontWidth = TextFontHeight = 26;
    TextCharAdvance = 26;
    TextLineAdvance = 28;
    TextBold = TextShadow = 1;
    WindowColor = 0x999999;
    TextSpeed = 20;
    TextWindowLeft = TextWindowTop = 0;
    TextWindowRight = ScreenWidth;
    TextWindowBottom = ScreenHeight;
    TextCursorColumn = TextCursorLine = 0;
    TextWindowShown = TextWindowComposed = 0;
    TextButtonCount = 0;
    TextColorRed = TextColorGreen = TextColorBlue = 255;
    memcpy(TextFontFace, SelectedFont, FontFaceSize);
    TextFontFace[FontFaceSize - 1] = 0;
    LookbackShown = 0;
    WindowEraseActive = 0;
}

void SetTextWindowPassDefaults() {
    WindowEffect = 1;
    WindowEffectDuration = 0;
    WindowEffectImage[0] = 0;
    WindowChipCount = 0;
    MenuFontWidth = MenuFontHeight = MenuCharAdvance = 26;
    MenuLineAdvance = 28;
    MenuWindowColor = 0x999999;
}

// The inclusive rectangle clamped to the screen; false when empty.
static bool ClampToScreen(ScreenRect* r) {
    r->left = std::max(r->left, 0);
    r->top = std::max(r->top, 0);
    r->right = std::min(r->right, ScreenWidth - 1);
    r->bottom = std::min(r->bottom, ScreenHeight - 1);
    return r->right >= r->left && r->bottom >= r->top;
}

static ScreenRect WindowRect(int32_t grow) {
    ScreenRect r;
    r.left = TextWindowLeft;
    r.top = TextWindowTop;
    r.right = TextWindowRight + grow;
    r.bottom = TextWindowBottom + grow;
    return r;
}

void DrawWindowTint(int32_t left, int32_t top, int32_t right, int32_t bottom, Surface* target) {
    ScreenRect r{left, top, right, bottom};
    if (!ClampToScreen(&r) || !HasPicture(target)) return;
    TextWindowShown = 1;
    if (WindowColor == -1) {
        if (!HasPicture(&WindowImage)) return;
        DrawClip clip{r.left, r.top, r.right + 2, r.bottom + 2};
        DrawSurface(&WindowImage, target, TextWindowLeft, TextWindowTop, &clip);
        return;
    }
    TintSurfaceRect(target, r.left, r.top, r.right, r.bottom, WindowColor);
}

// D := min(255, D * (255 - c) / 255 + K) for one pixel's three channels.
static inline void BlendPixel(uint8_t* d, const uint8_t* k, uint8_t c) {
    const uint8_t* keep = nullptr;
    for (int i = 0; i < 3; i++) {
        keep = ProductTable[d[i]];
        int v = keep[255 - c] + k[i];
        d[i] = (uint8_t)(v > 255 ? 255 : v);
    }
}
static inline void DarkenPixel(uint8_t* d, uint8_t c) {
    for (int i = 0; i < 3; i++) d[i] = ProductTable[d[i]][255 - c];
}

void BlendTextLayers(Surface* target, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!GlyphLayer || !HasPicture(target) || !HasPicture(&TextColorSurface)) return;
    ScreenRect r{left, top, right, bottom};
    if (!ClampToScreen(&r)) return;
    int32_t tw = target->dib.width, th = target->dib.height;
    r.right = std::min(r.right, std::min(tw, TextColorSurface.dib.width) - 1);
    r.bottom = std::min(r.bottom, std::min(th, TextColorSurface.dib.height) - 1);
    if (ShadeDistanceOn && TextShadow) {
        // The darkened copy at the offset first, clipped to the target.
        for (int32_t y = r.top; y <= r.bottom; y++) {
            int32_t sy = y + ShadeDistanceY;
            if (sy < 0 || sy >= th) continue;
            const uint8_t* cov = GlyphLayer + (size_t)y * ScreenWidth;
            uint8_t* row = DibRow(&target->dib, sy);
            for (int32_t x = r.left; x <= r.right; x++) {
                int32_t sx = x + ShadeDistanceX;
                if (cov[x] && sx >= 0 && sx < tw) DarkenPixel(row + 3 * sx, cov[x]);
            }
        }
    }
    bool rightShadow = TextShadow && !ShadeDistanceOn;
    for (int32_t y = r.top; y <= r.bottom; y++) {
        const uint8_t* cov = GlyphLayer + (size_t)y * ScreenWidth;
        uint8_t* row = DibRow(&target->dib, y);
        const uint8_t* krow = DibRow(&TextColorSurface.dib, y);
        for (int32_t x = r.left; x <= r.right; x++) {
            uint8_t c = cov[x];
            if (!c) continue;
            BlendPixel(row + 3 * x, krow + 3 * x, c);
            if (rightShadow && x + 1 < tw) DarkenPixel(row + 3 * (x + 1), c);
        }
    }
}

void ComposeTextWindow(const ScreenRect* area) {
    if (!TextModeOn) return;
    ScreenRect r = WindowRect(0);
    if (area) {
        r.left = std::max(r.left, area->left);
        r.top = std::max(r.top, area->top);
        r.right = std::min(r.right, area->right);
        r.bottom = std::min(r.bottom, area->bottom);
    }
    if (!ClampToScreen(&r)) return;
    DrawWindowTint(r.left, r.top, r.right, r.bottom, &SrcSurface);
    if (!LookbackShown && !TextHidden) BlendTextLayers(&SrcSurface, r.left, r.top, r.right, r.bottom);
}

void DrawTextWindowLayer() {
    ScreenRect r = WindowRect(0);
    if (!ClampToScreen(&r)) return;
    DrawWindowTint(r.left, r.top, r.right, r.bottom, &DestSurface);
    BlendTextLayers(&DestSurface, r.left, r.top, r.right, r.bottom);
}

void HideTextWindow() {
    if (TextWindowShown != 1 || !EraseWindowAllowed) return;
    TextWindowComposed = 0;
    TextWindowShown = 0;
    AddDirtyRect(TextWindowLeft, TextWindowRight, TextWindowTop, TextWindowBottom);
    ScreenRect dirty = DirtyRect;
    ComposeScreen(&dirty);
    RunEffect(WindowEffectImage, WindowEffect, WindowEffectDuration, &dirty);
}

// Recomposes the whole screen and runs the window effect over the window
// grown by `grow` pixels.
static void ComposeAndShowWindow(int32_t grow, int32_t kind) {
    ComposeScreen(nullptr);
    ScreenRect r = WindowRect(grow);
    if (!ClampToScreen(&r)) return;
    RunEffect(WindowEffectImage, kind, WindowEffectDuration, &r);
}

void ShowTextWindow() {
    TextWindowComposed = 1;
    ComposeAndShowWindow(2, WindowEffect);
}

void ClearTextLayers() {
    TextCursorColumn = TextCursorLine = 0;
    if (HasPicture(&TextColorSurface))
        FillSurfaceRect(&TextColorSurface, 0, 0, TextColorSurface.dib.width,
                        TextColorSurface.dib.height, 0);
    if (GlyphLayer) memset(GlyphLayer, 0, (size_t)ScreenWidth * ScreenHeight);
    memcpy(TextFontFace, SelectedFont, FontFaceSize);
    TextFontFace[FontFaceSize - 1] = 0;
    if (!TextWindowShown) return;
    ScreenRect r = WindowRect(2);
    if (ClampToScreen(&r)) {
        ComposeScreen(&r);
        RunEffect("", EffectInstant, 0, &r);
    }
    TextWindowShown = TextWindowComposed = 1;
}

void ClearTextPage() {
    TextButtonCount = 0;
    TextButtonNext = TextButtonStart;
    RestOfPageInstant = 0;
    ClearTextLayers();
}
