// lookback.cpp - the lookback viewer.  A page is drawn straight into
// DestSurface over the text window's background (the compositor leaves the
// glyphs out while LookbackShown), laid out as the text display lays it out:
// line breaks, automatic wraps with the line-break rules, ruby groups.  The
// glyph renderer also writes the text layers; the viewer keeps a copy of
// them and puts it back on every way out, so the page under it survives.
#include "text/lookback.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/script.h"
#include "core/sjis.h"
#include "core/startup.h"
#include "graphics/compose.h"
#include "graphics/draw.h"
#include "graphics/effect.h"
#include "graphics/imagetag.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "sound/voices.h"
#include "text/backlog.h"
#include "text/glyph.h"
#include "text/kinsoku.h"
#include "text/ruby.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/menu.h"

uint32_t LookbackColor = 0xFFFF40;
Surface LookbackButtons[4];
int32_t LookbackSpMode = 0;
int32_t LookbackUpSprite = 0, LookbackDownSprite = 0;

static int PageShown = 0;

void LoadDefaultLookbackButtons() {
    static const char* const names[4] = {"uoncur.bmp", "uoffcur.bmp", "doncur.bmp", "doffcur.bmp"};
    int32_t blank = BlankIfMissing;
    BlankIfMissing = 1;
    for (int i = 0; i < 4; i++)
        if (!HasPicture(&LookbackButtons[i])) LoadSurface(&LookbackButtons[i], names[i]);
    BlankIfMissing = blank;
}

int LookbackPageShown() { return PageShown; }

void ClearLookbackShown() {
    LookbackShown = 0;
    PageShown = 0;
}

// ---- the text-layer backup of the system menus ------------------------------

static Surface LayerBackup;
static std::vector<uint8_t> GlyphBackup;
static int32_t LayerBackupEmpty = 1;  // nothing kept: RestoreTextLayer does nothing

void BackupTextLayer() {
    DestroySurface(&LayerBackup);
    LayerBackupEmpty = 1;
    if (!CreateSurface(&LayerBackup, ScreenWidth, ScreenHeight)) return;
    LayerBackupEmpty = 0;
    if (HasPicture(&TextColorSurface))
        BltToSurface(&LayerBackup, 0, 0, ScreenWidth, ScreenHeight, &TextColorSurface, 0, 0);
    if (GlyphLayer) GlyphBackup.assign(GlyphLayer, GlyphLayer + (size_t)ScreenWidth * ScreenHeight);
}

void RestoreTextLayer() {
    if (LayerBackupEmpty) return;
    if (HasPicture(&TextColorSurface))
        BltToSurface(&TextColorSurface, 0, 0, ScreenWidth, ScreenHeight, &LayerBackup, 0, 0);
    if (GlyphLayer && GlyphBackup.size() == (size_t)ScreenWidth * ScreenHeight)
        memcpy(GlyphLayer, GlyphBackup.data(), GlyphBackup.size());
}

void ClearSystemMenuActive() { SystemMenuActive = 0; }

// ---- the viewer -------------------------------------------------------------

namespace {

// The viewer's own copy of the text layers, the screen under the two
// picture buttons, and its state while open.
struct Viewer {
    Surface layers;
    std::vector<uint8_t> glyphs;
    Surface under[2];
    bool underSaved[2] = {};
    int32_t buttonX[2] = {}, buttonY[2] = {};
    int page = 1, count = 0;
    int hovered = 0;  // 1 the older-page button, -1 the newer-page button
    ScreenRect window{};

    Viewer() {
        if (CreateSurface(&layers, ScreenWidth, ScreenHeight) && HasPicture(&TextColorSurface))
            BltToSurface(&layers, 0, 0, ScreenWidth, ScreenHeight, &TextColorSurface, 0, 0);
        if (GlyphLayer) glyphs.assign(GlyphLayer, GlyphLayer + (size_t)ScreenWidth * ScreenHeight);
    }
    // Every way out: the layers back, the flag down.
    ~Viewer() {
        if (HasPicture(&layers) && HasPicture(&TextColorSurface))
            BltToSurface(&TextColorSurface, 0, 0, ScreenWidth, ScreenHeight, &layers, 0, 0);
        if (GlyphLayer && glyphs.size() == (size_t)ScreenWidth * ScreenHeight)
            memcpy(GlyphLayer, glyphs.data(), glyphs.size());
        DestroySurface(&layers);
        DestroySurface(&under[0]);
        DestroySurface(&under[1]);
        ClearLookbackShown();
        SelectTextGlyphFont();
    }
};

void ShowRect(int32_t l, int32_t t, int32_t r, int32_t b) {
    ScreenRect rect{l < 0 ? 0 : l, t < 0 ? 0 : t, r > ScreenWidth - 1 ? ScreenWidth - 1 : r,
                    b > ScreenHeight - 1 ? ScreenHeight - 1 : b};
    if (rect.right >= rect.left && rect.bottom >= rect.top) DrawDestToWindow(&rect);
}

// The page's layout state.
struct Pen {
    int32_t x = 0, y = 0;
    bool wrapped = false;  // the last move was an automatic wrap
    bool perLine = false;  // RubyPerLine page with ruby: wraps add the ruby height
    int32_t rh = 0;
};

void LineBreak(Pen& p) {
    if (VerticalText) {
        p.y = TextOriginY;
        p.x -= TextCharAdvance;
    } else {
        p.x = TextOriginX;
        p.y += TextLineAdvance + (p.perLine ? p.rh : 0);
    }
}

// The two-byte characters after position i (ruby readings left out).
int Ahead(const char* t, size_t i, unsigned short* chars, int max) {
    int n = 0;
    bool reading = false;
    for (size_t j = i; t[j] && n < max && j < i + 128;) {
        unsigned char c = (unsigned char)t[j];
        if (!EnglishMode && c == '/') reading = true;
        else if (!EnglishMode && c == ')') reading = false;
        if (IsSjisLead(c) && t[j + 1]) {
            if (!reading) chars[n++] = (unsigned short)(c << 8 | (unsigned char)t[j + 1]);
            j += 2;
        } else {
            if (c != '(' && c != '/' && c != ')') break;
            j++;
        }
    }
    return n;
}

void DrawPageText(const char* t, bool ruby) {
    int32_t rw = 0, rh = 0;
    RubyGlyphSize(TextFontWidth, TextFontHeight, &rw, &rh);
    Pen p;
    p.rh = rh;
    p.perLine = ruby && RubyPerLine && !RubyOn;
    if (VerticalText) {
        p.x = TextOriginX + (TextColumns - 1) * TextCharAdvance + (ruby ? TextFontWidth - TextCharAdvance : 0);
        p.y = TextOriginY;
    } else {
        p.x = TextOriginX;
        p.y = TextOriginY + (ruby ? TextLineAdvance - TextFontHeight : 0) + (p.perLine ? rh : 0);
    }
    const ScreenRect win{std::max(TextWindowLeft, 0), std::max(TextWindowTop, 0),
                                       std::min(TextWindowRight, ScreenWidth - 1),
                                       std::min(TextWindowBottom, ScreenHeight - 1)};
    bool shadow = TextShadow && ShadeDistanceOn;
    int32_t lastColumn = TextOriginX + (TextColumns - 1) * TextCharAdvance;
    int32_t lastRow = TextOriginY + (TextRows - 1) * TextLineAdvance;
    int64_t lineEnd = (int64_t)TextCharAdvance * TextColumns + TextOriginX;
    SelectTextGlyphFont();

    int32_t rubyX = 0, rubyY = 0, excess = 0, base = 0;
    size_t readingStart = 0;
    bool inReading = false;
    for (size_t i = 0; t[i];) {
        unsigned char c = (unsigned char)t[i];
        if (c == '\n' || c == '\\') {
            if (!p.wrapped) LineBreak(p);
            p.wrapped = false;
            i++;
            continue;
        }
        if (!EnglishMode && c == '(') {
            const char* slash = strchr(t + i + 1, '/');
            const char* close = slash ? strchr(slash + 1, ')') : nullptr;
            if (!close) {
                i++;
                continue;
            }
            int32_t w = (int32_t)(slash - (t + i) - 1) / 2, n = (int32_t)(close - slash - 1) / 2;
            excess = 0;
            if (!VerticalText) {
                int64_t reading = (int64_t)n * rw;
                if ((int64_t)w * TextCharAdvance < reading) {
                    if (p.x + TextCharAdvance + reading >= lineEnd) {
                        LineBreak(p);
                        p.wrapped = true;
                    }
                    excess = RubyExcess(w, n, rw, rh, TextFontWidth, TextFontHeight, false);
                } else if ((int64_t)TextCharAdvance * (w + 1) + p.x >= lineEnd) {
                    LineBreak(p);
                    p.wrapped = true;
                }
                rubyX = p.x;
                rubyY = p.y;
                p.x += excess / 2;
            } else {
                excess = RubyExcess(w, n, rw, rh, TextFontWidth, TextFontHeight, true);
                rubyX = p.x;
                rubyY = p.y;
                p.y += excess / 2;
            }
            base = w;
            i++;
            continue;
        }
        if (!EnglishMode && c == '/' && !inReading) {
            RubyBaseExtent = base * TextCharAdvance + excess;
            inReading = true;
            readingStart = i + 1;
            i++;
            continue;
        }
        if (!EnglishMode && c == ')' && inReading) {
            inReading = false;
            if (VerticalText) p.y += excess / 2;
            else p.x += excess / 2;
            DrawRubyToScreen(t + readingStart, (int32_t)(i - readingStart), rubyX, rubyY, LookbackColor);
            i++;
            continue;
        }
        if (inReading) {
            i += t[i + 1] ? 2 : 1;
            continue;
        }
        // Any other character: a two-byte cell.
        if (!t[i + 1]) break;
        char cell[3] = {t[i], t[i + 1], 0};
        i += 2;
        if (p.x + TextCharAdvance >= win.left && p.y + TextLineAdvance >= win.top && p.x <= win.right &&
            p.y <= win.bottom) {
            DrawGlyphCell(cell, p.x, p.y, TextFontWidth, TextFontHeight, LookbackColor, TextBold != 0, shadow);
            int32_t ex = shadow ? ShadeDistanceX : 0, ey = shadow ? ShadeDistanceY : 0;
            ShowRect(p.x, p.y, p.x + TextFontWidth + ex, p.y + TextFontHeight + ey);
        }
        p.wrapped = false;
        if (VerticalText) p.y += TextLineAdvance;
        else p.x += TextCharAdvance;
        unsigned short chars[64];
        int n = Ahead(t, i, chars, 64);
        int keep = KinsokuKeep(chars, n);
        bool wrap = VerticalText ? (int64_t)p.y + (int64_t)TextLineAdvance * keep > lastRow
                                 : (int64_t)p.x + (int64_t)TextCharAdvance * keep > lastColumn;
        if (wrap) {
            LineBreak(p);
            p.wrapped = true;
        }
    }
}

bool OlderExists(const Viewer& v) { return v.page < v.count; }
bool NewerExists(const Viewer& v) { return v.page > 1; }

void DrawButtons(Viewer& v) {
    if (v.hovered == 1 && !OlderExists(v)) v.hovered = 0;
    if (v.hovered == -1 && !NewerExists(v)) v.hovered = 0;
    if (LookbackSpMode) {
        int ids[2] = {LookbackUpSprite, LookbackDownSprite};
        bool shown[2] = {OlderExists(v), NewerExists(v)};
        int hover[2] = {1, -1};
        ClearDirtyRect();
        for (int k = 0; k < 2; k++) {
            if (ids[k] < 0 || ids[k] >= SpriteCount) continue;
            Sprite& s = Sprites[ids[k]];
            MarkSpriteDirty(ids[k]);
            s.visible = shown[k] ? 1 : 0;
            s.surface.cell = v.hovered == hover[k] ? 1 : 0;
            MarkSpriteDirty(ids[k]);
        }
        ScreenRect dirty = DirtyRect;
        if (dirty.right >= dirty.left && dirty.bottom >= dirty.top) {
            ComposeScreen(&dirty);
            RunEffect("", EffectInstant, 0, &dirty);
        }
        return;
    }
    Surface* b = LookbackButtons;
    if (!HasPicture(&b[0])) return;
    int32_t w = GetCellWidth(&b[0]), h = b[0].dib.height;
    v.buttonX[0] = v.buttonX[1] = TextWindowRight - w;
    v.buttonY[0] = TextWindowTop;
    v.buttonY[1] = TextWindowBottom - h;
    bool shown[2] = {OlderExists(v), NewerExists(v)};
    for (int k = 0; k < 2; k++) {
        // The screen under the button goes back before it is drawn again.
        if (v.underSaved[k]) {
            BltToSurface(&DestSurface, v.buttonX[k], v.buttonY[k], w, h, &v.under[k], 0, 0);
        } else if (CreateSurface(&v.under[k], w, h)) {
            BltToSurface(&v.under[k], 0, 0, w, h, &DestSurface, v.buttonX[k], v.buttonY[k]);
            v.underSaved[k] = true;
        }
        if (shown[k]) {
            bool hot = v.hovered == (k == 0 ? 1 : -1);
            Surface* pic = &b[k == 0 ? (hot ? 0 : 1) : (hot ? 2 : 3)];
            if (HasPicture(pic)) DrawSurface(pic, &DestSurface, v.buttonX[k], v.buttonY[k], nullptr);
        }
        ShowRect(v.buttonX[k], v.buttonY[k], v.buttonX[k] + w - 1, v.buttonY[k] + h - 1);
    }
}

void ShowPage(Viewer& v, bool first) {
    PageShown = v.page;
    const char* text = BacklogCommittedPage(v.page);
    bool ruby = !EnglishMode && (RubyOn || (RubyPerLine && strchr(text, '(')));
    if (first && TextWindowShown) HideTextWindow();
    // The window's background only (LookbackShown), 2 pixels wider and taller.
    TextWindowComposed = 1;
    ScreenRect r{v.window.left, v.window.top, std::min(v.window.right + 2, ScreenWidth - 1),
                 std::min(v.window.bottom + 2, ScreenHeight - 1)};
    if (r.right >= r.left && r.bottom >= r.top) {
        ComposeScreen(&r);
        if (first) RunEffect(WindowEffectImage, WindowEffect, WindowEffectDuration, &r);
        else RunEffect("", EffectInstant, 0, &r);
    }
    // The buttons drawn before are gone with the recomposed window.
    v.underSaved[0] = v.underSaved[1] = false;
    // The button highlight brought up to date, unless mode_tavelo.
    if (!TaveloMode) {
        int32_t cx, cy;
        PlatCursorPos(&cx, &cy);
        PlatPostMessage(WM_MOUSEMOVE, 0, MakePointParam(cx, cy));
    }
    DrawPageText(text, ruby);
    DrawButtons(v);
}

int HoveredButton(const Viewer& v, int32_t x, int32_t y) {
    if (LookbackSpMode) {
        int ids[2] = {LookbackUpSprite, LookbackDownSprite};
        bool shown[2] = {OlderExists(v), NewerExists(v)};
        for (int k = 0; k < 2; k++) {
            if (!shown[k] || ids[k] < 0 || ids[k] >= SpriteCount) continue;
            const Sprite& s = Sprites[ids[k]];
            int32_t w = GetCellWidth(&s.surface), h = s.surface.dib.height;
            if (x >= s.x && x <= s.x + w && y >= s.y && y <= s.y + h) return k == 0 ? 1 : -1;
        }
        return 0;
    }
    const Surface* b = LookbackButtons;
    if (OlderExists(v) && HasPicture(&b[1])) {
        int32_t w = GetCellWidth(&b[1]), h = b[1].dib.height;
        if (x > TextWindowRight - w && x < TextWindowRight && y > TextWindowTop && y < TextWindowTop + h) return 1;
    }
    if (NewerExists(v) && HasPicture(&b[3])) {
        int32_t w = GetCellWidth(&b[3]), h = b[3].dib.height;
        if (x > TextWindowRight - w && x < TextWindowRight && y > TextWindowBottom - h && y < TextWindowBottom)
            return -1;
    }
    return 0;
}

void PlaySound(const std::string& name) {
    if (!name.empty()) PlayClickVoice(name.c_str());
}

void Close(Viewer& v) {
    Clicked = 0;
    RightClicked = 0;
    if (TextWindowShown) HideTextWindow();
    TextWindowComposed = 1;
    if (LookbackSpMode) {
        for (int id : {LookbackUpSprite, LookbackDownSprite})
            if (id >= 0 && id < SpriteCount) Sprites[id].visible = 0;
    }
    (void)v;
}

}  // namespace

// The viewer's loop: 1 when the player closed it, 0 for a reset request.
static int RunViewer() {
    Viewer v;
    v.count = BacklogCommittedCount();
    v.window = {std::max(TextWindowLeft, 0), std::max(TextWindowTop, 0), std::min(TextWindowRight, ScreenWidth - 1),
                std::min(TextWindowBottom, ScreenHeight - 1)};
    ShowPage(v, true);

    PlatRemoveAll(WM_LBUTTONUP);
    PlatRemoveAll(WM_CHAR);
    // The click or right click that opened the viewer must not close it.
    Clicked = 0;
    RightClicked = 0;
    uint32_t lastKeyTurn = 0;
    bool keyArmed = true;
    for (;;) {
        if (ResetRequested) return 0;
        bool got = PumpMessage();
        int turn = 0;
        if (got && LastMessage == WM_MOUSEMOVE) {
            int h = HoveredButton(v, LastX, LastY);
            if (h != v.hovered) {
                v.hovered = h;
                DrawButtons(v);
            }
        } else if (got && LastMessage == WM_MOUSEWHEEL) {
            turn = LastX > 0 ? 1 : -1;
        } else {
            bool newer = (GetForegroundKeyState(VK_NEXT) | GetForegroundKeyState(VK_DOWN)) & 0x8000;
            bool older = (GetForegroundKeyState(VK_PRIOR) | GetForegroundKeyState(VK_UP)) & 0x8000;
            if (!newer && !older) {
                keyArmed = true;
            } else {
                uint32_t now = PlatTicks();
                if (keyArmed || now - lastKeyTurn >= 125) {
                    keyArmed = false;
                    lastKeyTurn = now;
                    turn = older ? 1 : -1;
                }
            }
        }
        if (turn == 1 && !OlderExists(v)) turn = 0;
        if (turn == -1 && !NewerExists(v)) turn = 0;
        bool turned = turn != 0;
        if (!turned && Clicked) {
            Clicked = 0;
            if (v.hovered == 0) {
                Close(v);
                break;
            }
            turn = v.hovered;
        }
        if (turn) {
            PlaySound(LookbackVoice);
            v.page += turn;
            ShowPage(v, false);
            continue;
        }
        if (RightClicked || (GetForegroundKeyState(VK_ESCAPE) & 0x8000)) {
            while (GetForegroundKeyState(VK_ESCAPE) & 0x8000) {
                if (!PumpMessage()) IdleFor(IdleNoLimit, 1, false);
                if (ResetRequested) return 0;
            }
            Close(v);
            break;
        }
        if (!got) {
            // A held turning key turns again 125 ms after its last turn.
            bool held = ((GetForegroundKeyState(VK_NEXT) | GetForegroundKeyState(VK_DOWN) |
                          GetForegroundKeyState(VK_PRIOR) | GetForegroundKeyState(VK_UP)) & 0x8000) != 0;
            IdleFor(held ? MsLeft(125, PlatTicks() - lastKeyTurn) : IdleNoLimit, 0, false);
        }
    }
    return 1;
}

int ShowLookback() {
    LookbackShown = 1;
    if (BacklogCommittedCount() == 0) {
        PlaySound(MenuVoiceWarning);
        ClearLookbackShown();
        return 0;
    }
    // The viewer's end puts the layers back, so the window returns with its
    // text (a reset request leaves the screen as it is).
    if (!RunViewer()) return 0;
    ComposeScreen(nullptr);
    RunEffect(WindowEffectImage, WindowEffect, WindowEffectDuration, nullptr);
    return 1;
}
