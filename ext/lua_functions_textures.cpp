// lua_functions_textures.cpp - the script-side texture functions (OVD*):
// loading PNG files and fill texts into the 64 slots, the blits
// into the drawing target, presenting, the library functions registered
// with OVDDLL, texture to sprite, screen grab and the optional renderer.
// Texture, sprite and procedure numbers are checked before use.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive/ov2.h"
#include "archive/ova.h"
#include "archive/arcfile.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/script.h"
#include "core/sjis.h"
#include "ext/dllcache.h"
#include "ext/layer_commands.h"
#include "ext/lua_functions.h"
#include "ext/lua_messages.h"
#include "ext/optional.h"
#include "ext/plugin_messages.h"
#include "ext/textures.h"
#include "graphics/compose.h"
#include "graphics/decode.h"
#include "graphics/effect.h"
#include "graphics/imagetag.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "ui/mainwindow.h"

// ---- the renderer library ("ovdx.dll") ------------------------------------------

static struct {
    int (*Initialize)(OrvaWindow* window, int width, int height);
    void (*Finalize)();
    void (*Clear)(int red, int green, int blue);
    void (*Fill)(int lx, int ly, int rx, int ry, int red, int green, int blue);
    void (*BeginScene)();
    void (*EndScene)();
    void (*Present)();
    void (*CreateTexture)(int number, int width, int height, uint32_t* pixels);
    void (*DeleteTexture)(int number);
    void (*Blt)(int number, int dx, int dy, int w, int h, int sx, int sy);
} DxPlugin;

static void FinalizeRenderer() {
    if (RendererMode && DxPlugin.Finalize) DxPlugin.Finalize();
}

// Entries the library lacks are skipped where they would be called.
static void BindRenderer() {
    const char* library = nullptr;
    if (OptionalLibraryPresent("ovdx.dll"))
        library = "ovdx.dll";
    else if (OptionalLibraryPresent("dll\\ovdx.dll"))
        library = "dll\\ovdx.dll";
    else
        ScriptError(CapError, MsgNoRenderer);
    auto bind = [&](auto& entry, const char* name) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(GetDllProc(library, name));
    };
    bind(DxPlugin.Initialize, "Initialize");
    bind(DxPlugin.Finalize, "Finalize");
    bind(DxPlugin.Clear, "Clear");
    bind(DxPlugin.Fill, "Fill");
    bind(DxPlugin.BeginScene, "BeginScene");
    bind(DxPlugin.EndScene, "EndScene");
    bind(DxPlugin.Present, "Present");
    bind(DxPlugin.CreateTexture, "CreateTexture");
    bind(DxPlugin.DeleteTexture, "DeleteTexture");
    bind(DxPlugin.Blt, "Blt");
    int32_t was = RendererMode;
    RendererMode = DxPlugin.Initialize
                       ? (DxPlugin.Initialize(PluginWindowHandle(), ScreenWidth, ScreenHeight) & 0xFF)
                       : 0;
    SceneOpen = 0;
    if (RendererMode && !was) PlatAtExit(FinalizeRenderer);
}

// ---- arguments --------------------------------------------------------------------------

static int32_t Int(lua_State* L, int at) { return OL_tointeger(L, at); }

static Texture& TextureArgument(int32_t n) {
    if (n < 0 || n >= TextureSlotCount) LuaFail(FmtTextureRange, n, TextureSlotCount - 1);
    return TextureSlots[n];
}

static Texture& LoadedTexture(int32_t n) {
    Texture& t = TextureArgument(n);
    if (!TextureLoaded(&t)) LuaFail(FmtTextureNotLoaded, n);
    return t;
}

// ---- loading ------------------------------------------------------------------------------

// "*width,height[,red,green,blue,alpha]": a texture of that size filled with
// the colour (transparent black without one).
static void ParseFillText(Texture* t, const char* text) {
    enum { FieldMax = 32 };
    const char* p = text + 1;
    const char* comma = (const char*)memchr(p, ',', strnlen(p, FieldMax));
    if (!comma) LuaFail(FmtFillTextBad, text);
    int32_t width = atoi(p);
    p = comma + 1;
    comma = strchr(p, ',');
    int32_t height = atoi(p);
    // The size is checked before anything is allocated.
    if (width < 1 || height < 1 || width > MaxPictureSide || height > MaxPictureSide)
        LuaFail(FmtFillTextBad, text);
    uint32_t fill = 0;
    if (comma) {
        int32_t value[4];
        p = comma + 1;
        for (int i = 0; i < 4; i++) {
            const char* fmt = i < 2 ? FmtFillColorBad : FmtFillColorBadCall;
            size_t len = i < 3 ? strcspn(p, ",") : strlen(p);
            if (len > FieldMax || (i < 3 && p[len] != ',')) LuaFail(fmt, text);
            value[i] = atoi(p);
            if (value[i] < 0 || value[i] > 255) LuaFail(FmtFillColorRange, text);
            p += len + (i < 3 ? 1 : 0);
        }
        fill = (uint32_t)value[3] << 24 | (uint32_t)value[0] << 16 | (uint32_t)value[1] << 8 |
               (uint32_t)value[2];
    }
    if (!CreateTexturePicture(t, width, height)) LuaFail(FmtFillTextBad, text);
    if (fill) std::fill(t->pixels, t->pixels + (size_t)width * height, fill);
}

// A PNG file from the folder, else from the ova or ov2 archives.
static void LoadTexturePng(Texture* t, const char* name) {
    if (!PngLibraryLoaded) ScriptError(CapLoadError, MsgPngLibraryMissing);
    size_t len = strlen(name);
    if (len < 3 || strncasecmp(name + len - 3, "png", 3) != 0)
        ScriptError(CapLoadError, MsgTexturePngOnly);
    std::vector<uint8_t> bytes;
    bool found = false;
    OvaLookup ova;
    Ov2Lookup ov2;
    if (FolderFileExists(name))
        found = PlatReadFile(name, false, &bytes);
    else if (OvaMode && FindOvaEntry(name, &ova) >= 0)
        found = ReadOvaEntry(ova, &bytes);
    else if (Ov2Mode && FindOv2Entry(name, &ov2) == 1)
        found = ReadOv2Entry(ov2, &bytes);
    int32_t width = 0, height = 0;
    std::vector<uint8_t> pixels;
    if (!found || !DecodePngBgra(bytes.data(), bytes.size(), &width, &height, &pixels) ||
        !CreateTexturePicture(t, width, height))
        ScriptErrorF(CapError, FmtTextureFileMissing, name);
    memcpy(t->pixels, pixels.data(), (size_t)width * height * 4);
}

// A fill text ("*width,height..."), a PNG file, or "" for the picture
// already there (OVDCall only).
static void PrepareTexture(int32_t n, const char* name, bool keepLoaded) {
    Texture& t = TextureArgument(n);
    if (!name[0] && keepLoaded) {
        if (!TextureLoaded(&t)) LuaFail(FmtTextureNotLoaded, n);
    } else if (name[0] == '*') {
        ParseFillText(&t, name);
    } else {
        LoadTexturePng(&t, name);
    }
}

int LuaTexLoad(lua_State* L) {
    LuaCheckArgs(L, "ns", "OVDLoad", "OVDLoad(num,filename)");
    int32_t n = Int(L, 1);
    std::string name = OL_tostring(L, 2);
    OL_settop(L, 0);
    PrepareTexture(n, name.c_str(), false);
    Texture& t = TextureSlots[n];
    if (RendererMode && DxPlugin.CreateTexture) DxPlugin.CreateTexture(n, t.width, t.height, t.pixels);
    return 0;
}

// ---- drawing -------------------------------------------------------------------------------

int LuaTexBlt(lua_State* L) {
    LuaCheckArgs(L, "nnnnnnn", "OVDBlt", "OVDBlt(num,dx,dy,w,h,sx,sy)");
    int32_t v[7];
    for (int i = 0; i < 7; i++) v[i] = Int(L, i + 1);
    OL_settop(L, 0);
    if (RendererMode) {
        TextureArgument(v[0]);
        if (DxPlugin.Blt) DxPlugin.Blt(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
        return 0;
    }
    CopyTexture(TextureTarget(), &LoadedTexture(v[0]), v[1], v[2], v[3], v[4], v[5], v[6]);
    return 0;
}

int LuaTexClear(lua_State* L) {
    OL_settop(L, 0);
    if (RendererMode) {
        if (DxPlugin.Clear) DxPlugin.Clear(0, 128, 0);
        return 0;
    }
    Surface* target = TextureTarget();
    FillSurfaceRect(target, 0, 0, target->dib.width, target->dib.height, 0);
    return 0;
}

int LuaTexFill(lua_State* L) {
    LuaCheckArgs(L, "nnnnnnn", "OVDFill", "OVDFill(lx,ly,rx,ry,red,green,blue)");
    int32_t v[7];
    for (int i = 0; i < 7; i++) v[i] = Int(L, i + 1);
    OL_settop(L, 0);
    if (RendererMode) {
        if (!SceneOpen && DxPlugin.BeginScene) DxPlugin.BeginScene();
        SceneOpen = 1;
        if (DxPlugin.Fill) DxPlugin.Fill(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
        return 0;
    }
    uint32_t colorref = (uint32_t)(v[4] & 255) | (uint32_t)(v[5] & 255) << 8 | (uint32_t)(v[6] & 255) << 16;
    FillSurfaceRect(TextureTarget(), v[0], v[1], v[2], v[3], colorref);
    return 0;
}

static int UprightBlit(lua_State* L, const char* name, const char* usage, bool add) {
    LuaCheckArgs(L, "nnnnnnnn", name, usage);
    int32_t v[8];
    for (int i = 0; i < 8; i++) v[i] = Int(L, i + 1);
    OL_settop(L, 0);
    const Texture& t = LoadedTexture(v[0]);
    (add ? AddTexture : BlendTexture)(TextureTarget(), &t, v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
    return 0;
}

int LuaTexSp(lua_State* L) {
    return UprightBlit(L, "OVDSp", "OVDSp(num,dx,dy,w,h,sx,sy,alpha)", false);
}
int LuaTexSpAdd(lua_State* L) {
    return UprightBlit(L, "OVDSpAdd", "OVDSpAdd(num,dx,dy,w,h,sx,sy,alpha)", true);
}

// Only the first seven arguments are checked; the scales, the angle and the
// alpha are read as they come (a missing scale is 0: nothing is drawn).
static int RotatedBlit(lua_State* L, const char* name, const char* usage, bool add) {
    LuaCheckArgs(L, "nnnnnnn", name, usage);
    int32_t v[7];
    for (int i = 0; i < 7; i++) v[i] = Int(L, i + 1);
    double xs = OL_tonumber(L, 8), ys = OL_tonumber(L, 9), rot = OL_tonumber(L, 10);
    int32_t alpha = Int(L, 11);
    OL_settop(L, 0);
    const Texture& t = LoadedTexture(v[0]);
    (add ? AddTextureRotated : BlendTextureRotated)(TextureTarget(), &t, v[1], v[2], v[3], v[4],
                                                    v[5], v[6], xs, ys, rot, alpha);
    return 0;
}

int LuaTexSp2(lua_State* L) {
    return RotatedBlit(L, "OVDSp2", "OVDSp2(num,dcx,dcy,sx,sy,w,h,xs,ys,rot,alpha)", false);
}
int LuaTexSp2Add(lua_State* L) {
    return RotatedBlit(L, "OVDSp2Add", "OVDSp2Add(num,dcx,dcy,sx,sy,w,h,xs,ys,rot,alpha)", true);
}

static int QuadBlit(lua_State* L, const char* name, const char* usage, bool add) {
    LuaCheckArgs(L, "nnnnnnnnnnnnnn", name, usage);
    int32_t v[14];
    for (int i = 0; i < 14; i++) v[i] = Int(L, i + 1);
    OL_settop(L, 0);
    const Texture& t = LoadedTexture(v[0]);
    (add ? AddTextureQuad : BlendTextureQuad)(TextureTarget(), &t, v + 1, v[9], v[10], v[11], v[12],
                                              v[13]);
    return 0;
}

int LuaTexSp3(lua_State* L) {
    return QuadBlit(L, "OVDSp3",
                    "OVDSp3(num,d00x,d00y,d10x,d10y,d01x,d01y,d11x,d11y,sx,sy,w,h,alpha)", false);
}
int LuaTexSp3Add(lua_State* L) {
    return QuadBlit(L, "OVDSp3Add",
                    "OVDSp3Add(num,d00x,d00y,d10x,d10y,d01x,d01y,d11x,d11y,sx,sy,w,h,alpha)", true);
}

// ---- presenting -----------------------------------------------------------------------------

int LuaTexPresent(lua_State* L) {
    OL_settop(L, 0);
    if (RendererMode) {
        if (SceneOpen && DxPlugin.EndScene) DxPlugin.EndScene();
        SceneOpen = 0;
        if (DxPlugin.Present) DxPlugin.Present();
        return 0;
    }
    if (TextureOffMode) LuaFail("%s", MsgPresentOffscreen);
    PaintWindow(nullptr);
    return 0;
}

int LuaTexPresentRect(lua_State* L) {
    LuaCheckArgs(L, "nnnn", "OVDPresentRect", "OVDPresentRect(lx,ly,rx,ry)");
    int32_t lx = Int(L, 1), ly = Int(L, 2), rx = Int(L, 3), ry = Int(L, 4);
    OL_settop(L, 0);
    if (TextureOffMode) LuaFail("%s", MsgPresentRectOffscreen);
    lx = std::max(lx, 0), ly = std::max(ly, 0);
    rx = std::min(rx, ScreenWidth), ry = std::min(ry, ScreenHeight);
    if (lx >= rx || ly >= ry) return 0;
    ScreenRect r{lx, ly, rx - 1, ry - 1};
    PaintWindow(&r);
    return 0;
}

int LuaTexCopyToBg(lua_State* L) {
    OL_settop(L, 0);
    Surface* target = TextureTarget();
    BltToSurface(&BgSurface, 0, 0, ScreenWidth, ScreenHeight, target, 0, 0);
    BgSurface.tag[0] = 0;  // a later bg of the same picture loads it again
    for (Human& h : Humans) {
        h.name[0] = 0;
        ReleaseSurface(&h.surface);
    }
    AssignString(&BgName, "*bgcpy");
    DirtyRect = ScreenRect{0, 0, ScreenWidth, ScreenHeight};
    return 0;
}

int LuaTexOffMode(lua_State* L) {
    LuaCheckArgs(L, "b", "OVDOffMode", "OVDOffMode(mode)");
    TextureOffMode = OL_toboolean(L, 1) ? 1 : 0;
    OL_settop(L, 0);
    return 0;
}

// OVDTransition(kind[,duration[,rule]]): the whole screen through RunEffect.
static int Transition(lua_State* L, const char* name, bool fixed) {
    std::string usage = std::string(name) + "(effectnum(,effecttime(,rulename)))";
    int top = OL_gettop(L);
    LuaCheckArgs(L, top >= 3 ? "nns" : top == 2 ? "nn" : "n", name, usage.c_str());
    int32_t kind = Int(L, 1), duration = top >= 2 ? Int(L, 2) : 0;
    std::string rule = top >= 3 ? OL_tostring(L, 3) : "";
    OL_settop(L, 0);
    struct SkipOff {
        int32_t saved = EffectSkip;
        explicit SkipOff(bool on) {
            if (on) EffectSkip = 0;
        }
        ~SkipOff() { EffectSkip = saved; }
    } skip(fixed);
    RunEffect(rule.c_str(), kind, duration, nullptr);
    return 0;
}

int LuaTexTransition(lua_State* L) { return Transition(L, "OVDTransition", false); }
int LuaTexTransitionF(lua_State* L) { return Transition(L, "OVDTransitionF", true); }

// ---- library functions ----------------------------------------------------------------------

int LuaTexDll(lua_State* L) {
    LuaCheckArgs(L, "ss", "OVDDLL", "procnum=OVDDLL(dllname,funcname)");
    std::string dll = OL_tostring(L, 1), fn = OL_tostring(L, 2);
    OL_settop(L, 0);
    if (TextureFunctionCount >= TextureFunctionLimit) LuaFail(FmtTextureDllLimit, TextureFunctionLimit);
    void* proc = GetDllProc(dll.c_str(), fn.c_str());
    if (!proc) proc = GetDllProc(("dll\\" + dll).c_str(), fn.c_str());
    if (!proc) LuaFail(FmtTextureDllMissing, dll.c_str(), fn.c_str());
    TextureFunctions[TextureFunctionCount] = (TextureFunction)proc;
    OL_pushinteger(L, TextureFunctionCount++);
    return 1;
}

int LuaTexCall(lua_State* L) {
    LuaCheckArgs(L, "nsn", "OVDCall", UsageOVDCall);
    int top = OL_gettop(L);
    int32_t n = (int32_t)OL_tonumber(L, 1);
    std::string name = OL_tostring(L, 2);
    int32_t proc = (int32_t)OL_tonumber(L, 3);
    bool hasParam = top >= 4 && OL_isstring(L, 4);
    std::string param = hasParam ? OL_tostring(L, 4) : "";
    OL_settop(L, 0);
    TextureArgument(n);
    if (proc < 0 || proc >= TextureFunctionCount) LuaFail(FmtTextureCallUnregistered, proc);
    PrepareTexture(n, name.c_str(), true);
    Texture& t = TextureSlots[n];
    TextureFunctions[proc](t.pixels, t.width, t.height, hasParam ? param.c_str() : nullptr);
    return 0;
}

// ---- texture to sprite, slots, screen -------------------------------------------------------

int LuaTexSetSprite(lua_State* L) {
    int top = OL_gettop(L);
    const char* usage = "OVDSetSprite(spnum,texnum(,tag))";
    LuaCheckArgs(L, top >= 3 ? "nns" : "nn", "OVDSetSprite", usage);
    int32_t sp = Int(L, 1), n = Int(L, 2);
    std::string tag = top >= 3 ? OL_tostring(L, 3) : ":a;";
    OL_settop(L, 0);
    if (sp < 0 || sp >= SpriteCount) LuaFail(FmtSpriteOutOfRange, "OVDSetSprite", sp);
    const Texture& t = LoadedTexture(n);
    Sprite& s = Sprites[sp];
    if (s.tag[0] && s.visible) {
        if (s.tag[0] == '*')
            AddDirtyRect(0, ScreenWidth, 0, ScreenHeight);
        else
            MarkSpriteDirty(sp);
    }
    s.x = ScreenWidth;
    s.y = ScreenHeight;
    s.visible = 1;
    char text[SpriteTagSize + 64];
    snprintf(text, sizeof text, "%s>%d,%d,#000000", tag.c_str(), 2 * t.width, t.height);
    CopySjisBounded(s.tag.Edit(), SpriteTagSize, text);
    LoadSurface(&s.surface, s.tag);
    if (s.surface.cellCount == 0) s.surface.cellCount = 1;
    Surface& p = s.surface;
    if (!HasPicture(&p) || p.dib.infoHeader.bitCount != 24) return 0;
    int32_t cells = CellCountOf(&p);
    int32_t c = t.width / cells, half = p.dib.width / cells / 2;
    int32_t cols = std::min(c, half), rows = std::min(t.height, p.dib.height);
    for (int32_t i = 0; i < cells; i++) {
        for (int32_t y = 0; y < rows; y++) {
            const uint32_t* src = t.pixels + (size_t)y * t.width + (size_t)i * c;
            uint8_t* colour = DibRow(&p.dib, y) + 3 * (size_t)(i * 2 * half);
            uint8_t* mask = colour + 3 * (size_t)half;
            for (int32_t x = 0; x < cols; x++) {
                uint32_t v = src[x];
                colour[3 * x] = (uint8_t)v;
                colour[3 * x + 1] = (uint8_t)(v >> 8);
                colour[3 * x + 2] = (uint8_t)(v >> 16);
                uint8_t m = (uint8_t)(255 - (v >> 24));
                mask[3 * x] = mask[3 * x + 1] = mask[3 * x + 2] = m;
            }
        }
    }
    return 0;
}

int LuaTexDelete(lua_State* L) {
    LuaCheckArgs(L, "n", "OVDDelete", "OVDDelete(num)");
    int32_t n = Int(L, 1);
    OL_settop(L, 0);
    Texture& t = TextureArgument(n);
    if (RendererMode) {
        if (DxPlugin.DeleteTexture) DxPlugin.DeleteTexture(n);
        return 0;
    }
    FreeTexture(&t);
    return 0;
}

int LuaTexGetSize(lua_State* L) {
    LuaCheckArgs(L, "n", "OVDGetSize", "OVDGetSize(num)");
    int32_t n = Int(L, 1);
    OL_settop(L, 0);
    Texture& t = TextureArgument(n);
    if (!TextureLoaded(&t)) LuaFail(FmtTextureGetSizeEmpty, n);
    OL_pushinteger(L, t.width);
    OL_pushinteger(L, t.height);
    return 2;
}

// Always the displayed picture, in off-screen mode too; the alpha bytes
// are 0, as a block copy into a 32-bit picture leaves them.
int LuaTexGetScreen(lua_State* L) {
    LuaCheckArgs(L, "n", "OVDGetScreen", "OVDGetScreen(num)");
    int32_t n = Int(L, 1);
    OL_settop(L, 0);
    Texture& t = TextureArgument(n);
    if (!HasPicture(&DestSurface) || !CreateTexturePicture(&t, ScreenWidth, ScreenHeight)) return 0;
    for (int32_t y = 0; y < ScreenHeight; y++) {
        const uint8_t* s = DibRow(&DestSurface.dib, y);
        uint32_t* d = t.pixels + (size_t)y * t.width;
        for (int32_t x = 0; x < ScreenWidth; x++)
            d[x] = (uint32_t)s[3 * x] | (uint32_t)s[3 * x + 1] << 8 | (uint32_t)s[3 * x + 2] << 16;
    }
    return 0;
}

int LuaTexDirectX(lua_State* L) {
    OL_settop(L, 0);
    BindRenderer();
    return 0;
}

void ClearTextureFunctions() {
    for (TextureFunction& f : TextureFunctions) f = nullptr;
    TextureFunctionCount = 0;
}
