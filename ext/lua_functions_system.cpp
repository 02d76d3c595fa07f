// lua_functions_system.cpp - the script-side functions of input, waits,
// dialogs, the window and Ogg sound.
#include <string>

#include "ext/layers.h"
#include "ext/lua_functions.h"
#include "ext/lua_messages.h"
#include "ext/optional.h"
#include "ext/orva_exec.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "sound/ogg_channels.h"
#include "text/click_commands.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"

int LuaGetMouse(lua_State* L) {
    OL_settop(L, 0);
    int x, y;
    OrvaGetMouse(&x, &y);
    OL_pushinteger(L, x);
    OL_pushinteger(L, y);
    return 2;
}

// The clicks and presses not yet taken, taken now.
int LuaGetClick(lua_State* L) {
    OL_settop(L, 0);
    OL_pushboolean(L, Clicked != 0);
    OL_pushboolean(L, RightClicked != 0);
    OL_pushinteger(L, WheelDelta);
    OL_pushboolean(L, LeftPressSeen != 0);
    OL_pushboolean(L, RightPressSeen != 0);
    Clicked = RightClicked = WheelDelta = LeftPressSeen = RightPressSeen = 0;
    return 5;
}

int LuaGetKey(lua_State* L) {
    LuaCheckArgs(L, "s", "OVGetKey", "OVGetKey(keycodestr)");
    int down = OrvaGetKey(OL_tostring(L, 1));
    OL_settop(L, 0);
    OL_pushboolean(L, down);
    return 1;
}

int LuaDoEvents(lua_State* L) {
    OL_settop(L, 0);
    PumpMessage();
    OL_pushboolean(L, QuitRequested != 0);
    return 1;
}

int LuaSleep(lua_State* L) {
    LuaCheckArgs(L, "n", "OVSleep", "OVSleep(waitms)");
    int32_t ms = OL_tointeger(L, 1);
    OL_settop(L, 0);
    PlatSleep(ms > 0 ? (uint32_t)ms : 0);
    return 0;
}

int LuaSystemCall(lua_State* L) {
    LuaCheckArgs(L, "s", "OVSystemCall", "OVSystemCall(str)");
    std::string word = OL_tostring(L, 1);
    OL_settop(L, 0);
    OrvaSystemCall(word.c_str());
    return 0;
}

// ---- Ogg through the newer plug-in ---------------------------------------------

// Checks the arguments and the plug-in; the channel number in range.
static int NeedOgg2(lua_State* L, const char* kinds, const char* name, const char* usage) {
    LuaCheckArgs(L, kinds, name, usage);
    if (!OggPlugin2Active) LuaFail("%s", MsgOgg2NotLoaded);
    int32_t ch = OL_tointeger(L, 1);
    if (ch < 0 || ch >= OggChannelCount) LuaFail(FmtOggChannelOutOfRange, name, ch);
    return ch;
}

int LuaOggLoad(lua_State* L) {
    int ch = NeedOgg2(L, "ns", "OVOggLoad", "OVOggLoad(num,filename)");
    std::string file = OL_tostring(L, 2);
    OL_settop(L, 0);
    if (OggOpenFile(ch, file.c_str()) < 0) LuaFail(FmtOggNotFound, file.c_str());
    return 0;
}

int LuaOggPlay(lua_State* L) {
    int ch = NeedOgg2(L, "nb", "OVOggPlay", "OVOggPlay(num,isloop)");
    bool loop = OL_toboolean(L, 2) != 0;
    OL_settop(L, 0);
    OggPlay(ch, loop);
    return 0;
}

int LuaOggPlay2(lua_State* L) {
    int ch = NeedOgg2(L, "nx", "OVOggPlay2", "OVOggPlay2(num,looppoint)");
    double seconds = OL_tonumber(L, 2);
    OL_settop(L, 0);
    OggPlay2(ch, seconds);
    return 0;
}

int LuaOggClose(lua_State* L) {
    int ch = NeedOgg2(L, "n", "OVOggClose", "OVOggClose(num)");
    OL_settop(L, 0);
    OggClose(ch);
    return 0;
}

// The volume in hundredths of a dB, as the plug-in takes it.
int LuaOggVolume(lua_State* L) {
    int ch = NeedOgg2(L, "nn", "OVOggVolume", "OVOggVolume(num,volume)");
    int32_t mb = OL_tointeger(L, 2);
    OL_settop(L, 0);
    OggVolume(ch, mb);
    return 0;
}

int LuaOggFade(lua_State* L) {
    int ch = NeedOgg2(L, "nnnnb", "OVOggFade", "OVOggFade(num,startvol,endvol,time,closeflag)");
    int32_t from = OL_tointeger(L, 2), to = OL_tointeger(L, 3), ms = OL_tointeger(L, 4);
    bool close = OL_toboolean(L, 5) != 0;
    OL_settop(L, 0);
    OggFade(ch, from, to, ms, close);
    return 0;
}

int LuaOggIsPlaying(lua_State* L) {
    int ch = NeedOgg2(L, "n", "OVOggIsPlaying", "OVOggIsPlaying(num)");
    OL_settop(L, 0);
    OL_pushboolean(L, OggIsPlaying(ch));
    return 1;
}

// ---- dialogs and the window ----------------------------------------------------------

int LuaOkBox(lua_State* L) {
    LuaCheckArgs(L, "ss", "OVOkBox", "OVOkBox(text,title)");
    std::string text = OL_tostring(L, 1), title = OL_tostring(L, 2);
    OL_settop(L, 0);
    PlatMessageBox(text.c_str(), title.c_str(), MB_OK, true);
    return 0;
}

int LuaYesNoBox(lua_State* L) {
    LuaCheckArgs(L, "ss", "OVYesNoBox", "OVYesNoBox(text,title)");
    std::string text = OL_tostring(L, 1), title = OL_tostring(L, 2);
    OL_settop(L, 0);
    int answer = PlatMessageBox(text.c_str(), title.c_str(), MB_YESNO, true);
    OL_pushboolean(L, answer == IDYES);
    return 1;
}

int LuaEnd(lua_State* L) {
    OL_settop(L, 0);
    FinalizeLayers();
    DestroyMainWindow();
}

// The click wait; no right-click action runs inside it.  A reset the system
// menu asked for meanwhile is carried out here.
int LuaClick(lua_State* L) {
    OL_settop(L, 0);
    ClickWaitNoRightClick();
    EndScriptWait();
    return 0;
}

int LuaMouseMode(lua_State* L) {
    LuaCheckArgs(L, "b", "OVMouseMode", "OVMouseMode(boolswitch)");
    bool shown = OL_toboolean(L, 1) != 0;
    OL_settop(L, 0);
    PlatShowCursor(shown);
    MouseCursorHidden = shown ? 0 : 1;
    return 0;
}
