// lua_functions_sprites.cpp - the script-side functions of sprites, rotated
// sprites and the screen.  Sprite numbers are checked (0..999, 0..255)
// before use.
#include <string>

#include "core/script.h"
#include "core/sjis.h"
#include "ext/lua_functions.h"
#include "ext/lua_messages.h"
#include "graphics/anim.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/imagetag.h"
#include "graphics/sprite.h"

static Sprite& SpriteArgument(lua_State* L, const char* name) {
    int32_t n = OL_tointeger(L, 1);
    if (n < 0 || n >= SpriteCount) LuaFail(FmtSpriteOutOfRange, name, n);
    return Sprites[n];
}

static Sprite2& Sprite2Argument(lua_State* L, const char* name) {
    int32_t n = OL_tointeger(L, 1);
    if (n < 0 || n >= Sprite2Count) LuaFail(FmtSpriteOutOfRange, name, n);
    return Sprites2[n];
}

static int IndexOf(const Sprite& s) { return (int)(&s - Sprites); }
static int IndexOf(const Sprite2& s) { return (int)(&s - Sprites2); }

// A layer sprite ("*N") is drawn by its plug-in anywhere: the whole screen.
static void MarkSpriteArea(const Sprite& s) {
    if (LayerSlotOfTag(s.tag) >= 0)
        AddDirtyRect(0, ScreenWidth, 0, ScreenHeight);
    else
        MarkSpriteDirty(IndexOf(s));
}

int LuaSpLoad(lua_State* L) {
    LuaCheckArgs(L, "ns", "OVSpLoad", "OVSpLoad(num,filename)");
    Sprite& s = SpriteArgument(L, "OVSpLoad");
    std::string tag = OL_tostring(L, 2);
    OL_settop(L, 0);
    if (s.tag[0] && s.visible) MarkSpriteArea(s);
    CopySjisBounded(s.tag.Edit(), SpriteTagSize, tag.c_str());
    LoadSurface(&s.surface, s.tag);
    s.x = ScreenWidth + 1;  // just off the right edge until moved
    s.y = 0;
    s.visible = 1;
    s.surface.alpha = 255;
    return 0;
}

int LuaSpMove(lua_State* L) {
    LuaCheckArgs(L, "nnnn", "OVSpMove", "OVSpMove(num,lx,ly,alpha)");
    Sprite& s = SpriteArgument(L, "OVSpMove");
    int32_t x = OL_tointeger(L, 2), y = OL_tointeger(L, 3), alpha = OL_tointeger(L, 4);
    OL_settop(L, 0);
    if (s.visible) MarkSpriteDirty(IndexOf(s));
    s.x = x;
    s.y = y;
    s.surface.alpha = alpha;
    if (s.visible) MarkSpriteDirty(IndexOf(s));
    return 0;
}

int LuaSpClear(lua_State* L) {
    LuaCheckArgs(L, "n", "OVSpClear", "OVSpClear(num)");
    Sprite& s = SpriteArgument(L, "OVSpClear");
    OL_settop(L, 0);
    if (s.tag[0] && s.visible) MarkSpriteArea(s);
    ResetSurface(&s.surface);
    s.tag.Edit()[0] = 0;
    return 0;
}

int LuaSpVisible(lua_State* L) {
    LuaCheckArgs(L, "nb", "OVSpVisible", "OVSpVisible(num,isvisible)");
    Sprite& s = SpriteArgument(L, "OVSpVisible");
    int visible = OL_toboolean(L, 2) ? 1 : 0;
    OL_settop(L, 0);
    if (s.tag[0] && s.visible) MarkSpriteArea(s);
    s.visible = visible;
    if (s.visible) MarkSpriteArea(s);
    return 0;
}

int LuaSp2Load(lua_State* L) {
    LuaCheckArgs(L, "ns", "OVSp2Load", "OVSp2Load(num,filename)");
    Sprite2& s = Sprite2Argument(L, "OVSp2Load");
    std::string tag = OL_tostring(L, 2);
    OL_settop(L, 0);
    if (s.tag[0] && s.visible) MarkSprite2Dirty(IndexOf(s));
    CopySjisBounded(s.tag.Edit(), SpriteTagSize, tag.c_str());
    LoadSurface(&s.surface, s.tag);
    s.surface.alpha = 255;
    s.visible = 1;
    s.cx = ScreenWidth;
    s.cy = 0;
    s.xscale = s.yscale = 0;  // nothing shows until a scale is set
    s.rotation = 0;
    s.blend = 0;
    return 0;
}

int LuaSp2Move(lua_State* L) {
    LuaCheckArgs(L, "nnnnnnnn", "OVSp2Move", UsageSp2Move);
    Sprite2& s = Sprite2Argument(L, "OVSp2Move");
    int32_t v[7];
    for (int i = 0; i < 7; i++) v[i] = OL_tointeger(L, i + 2);
    OL_settop(L, 0);
    if (s.tag[0] && s.visible) MarkSprite2Dirty(IndexOf(s));
    int32_t rotation = v[4] % 360;
    if (rotation < 0) rotation += 360;
    s.cx = v[0], s.cy = v[1], s.xscale = v[2], s.yscale = v[3], s.rotation = rotation;
    s.surface.alpha = v[5];
    s.blend = v[6];
    if (s.visible) MarkSprite2Dirty(IndexOf(s));
    return 0;
}

int LuaSp2Clear(lua_State* L) {
    LuaCheckArgs(L, "n", "OVSp2Clear", "OVSp2Clear(num)");
    Sprite2& s = Sprite2Argument(L, "OVSp2Clear");
    OL_settop(L, 0);
    if (s.tag[0] && s.visible) MarkSprite2Dirty(IndexOf(s));
    s.tag.Edit()[0] = 0;
    ResetSurface(&s.surface);
    return 0;
}

int LuaSp2Visible(lua_State* L) {
    LuaCheckArgs(L, "nb", "OVSp2Visible", "OVSp2Visible(num,isvisible)");
    Sprite2& s = Sprite2Argument(L, "OVSp2Visible");
    int visible = OL_toboolean(L, 2) ? 1 : 0;
    OL_settop(L, 0);
    if (s.tag[0] && s.visible) MarkSprite2Dirty(IndexOf(s));
    s.visible = visible;
    if (s.visible) MarkSprite2Dirty(IndexOf(s));
    return 0;
}

// Width of one cell: the picture's width over the cells, halved in alpha
// mode (colour and mask side by side).
static int32_t CellWidth(const Surface& s) {
    int32_t w = s.dib.width / CellCountOf(&s);
    return s.transMode == TransAlpha ? w / 2 : w;
}

int LuaSpGetInfo(lua_State* L) {
    LuaCheckArgs(L, "n", "OVSpGetInfo", "OVSpGetInfo(num)");
    Sprite& s = SpriteArgument(L, "OVSpGetInfo");
    OL_settop(L, 0);
    if (!s.tag[0]) LuaFail(FmtSpriteNotLoaded, "OVSpGetInfo");
    OL_pushinteger(L, CellWidth(s.surface));
    OL_pushinteger(L, s.surface.dib.height);
    OL_pushinteger(L, CellCountOf(&s.surface));
    return 3;
}

int LuaSp2GetInfo(lua_State* L) {
    LuaCheckArgs(L, "n", "OVSp2GetInfo", "OVSp2GetInfo(num)");
    Sprite2& s = Sprite2Argument(L, "OVSp2GetInfo");
    OL_settop(L, 0);
    if (!s.tag[0]) LuaFail(FmtSpriteNotLoaded, "OVSp2GetInfo");
    OL_pushinteger(L, CellWidth(s.surface));
    OL_pushinteger(L, s.surface.dib.height);
    return 2;
}

int LuaSpGetPos(lua_State* L) {
    LuaCheckArgs(L, "n", "OVSpGetPos", "OVSpGetPos(num)");
    Sprite& s = SpriteArgument(L, "OVSpGetPos");
    OL_settop(L, 0);
    if (!s.tag[0]) LuaFail(FmtSpriteNotLoaded, "OVSpGetPos");
    OL_pushinteger(L, s.x);
    OL_pushinteger(L, s.y);
    OL_pushinteger(L, s.surface.alpha);
    return 3;
}

int LuaSp2GetPos(lua_State* L) {
    LuaCheckArgs(L, "n", "OVSp2GetPos", "OVSp2GetPos(num)");
    Sprite2& s = Sprite2Argument(L, "OVSp2GetPos");
    OL_settop(L, 0);
    if (!s.tag[0]) LuaFail(FmtSpriteNotLoaded, "OVSp2GetPos");
    const int32_t v[7] = {s.cx, s.cy, s.xscale, s.yscale, s.rotation, s.surface.alpha, s.blend};
    for (int32_t x : v) OL_pushinteger(L, x);
    return 7;
}

int LuaSpCell(lua_State* L) {
    LuaCheckArgs(L, "nn", "OVSpCell", "OVSpCell(num,cell)");
    Sprite& s = SpriteArgument(L, "OVSpCell");
    int32_t cell = OL_tointeger(L, 2);
    OL_settop(L, 0);
    if (!s.tag[0]) return 0;
    int32_t last = CellCountOf(&s.surface) - 1;
    s.surface.cell = cell < 0 ? 0 : cell > last ? last : cell;
    if (s.visible) MarkSpriteDirty(IndexOf(s));
    return 0;
}

int LuaExecAnimation(lua_State* L) {
    OL_settop(L, 0);
    AdvanceAnimation();
    return 0;
}

int LuaUpdate(lua_State* L) {
    OL_settop(L, 0);
    ScreenRect rect = DirtyRect;
    ComposeScreen(&rect);
    RunEffect("", EffectInstant, 0, &rect);
    return 0;
}

int LuaInvalidate(lua_State* L) {
    LuaCheckArgs(L, "nnnn", "OVInvalidate", "OVInvalidate(lx,uy,rx,dy)");
    int32_t lx = OL_tointeger(L, 1), uy = OL_tointeger(L, 2), rx = OL_tointeger(L, 3),
            dy = OL_tointeger(L, 4);
    OL_settop(L, 0);
    AddDirtyRect(lx, rx, uy, dy);
    return 0;
}
