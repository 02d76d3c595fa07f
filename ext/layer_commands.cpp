// layer_commands.cpp - exec_dll, getret, setlayer and layermessage.
#include "ext/layer_commands.h"

#include <cstring>

#include "core/arrays.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/return_value.h"
#include "core/script.h"
#include "core/variables.h"
#include "ext/dllcache.h"
#include "ext/layers.h"
#include "ext/orva_plugin.h"
#include "ext/plugin_messages.h"
#include "graphics/compose.h"
#include "ui/mainwindow.h"

// Only their addresses matter: plug-ins hand them back, never look inside.
static char InstanceToken, WindowToken;
OrvaInstance* PluginInstanceHandle() { return reinterpret_cast<OrvaInstance*>(&InstanceToken); }
OrvaWindow* PluginWindowHandle() { return reinterpret_cast<OrvaWindow*>(&WindowToken); }

enum { DllNameMax = 255 };

// exec_dll "x.dll/parameters": OrvaPlugInMain runs with the window's
// painting left to it; a result of 1 repaints the whole window.
void Cmd_exec_dll() {
    StrScratch text;
    ReadStrExprFull(text.p);
    if (strlen(text.p) > StrValueMax) ScriptError(CapError, MsgDllNameTooLong);
    const char* slash = strchr(text.p, '/');
    size_t len = slash ? (size_t)(slash - text.p) : strlen(text.p);
    if (len > DllNameMax) ScriptError(CapError, MsgDllNameTooLong);
    char name[DllNameMax + 1];
    memcpy(name, text.p, len);
    name[len] = 0;
    auto main_proc = (OrvaPlugInMainProc)GetDllProc(name, "OrvaPlugInMain");
    if (!main_proc) ScriptError(CapError, MsgExecDllBad);
    // The painting comes back also when the plug-in's work ends in an error
    // that unwinds (tests turn exits into throws).
    struct Suspend {
        Suspend() { PaintSuspended = ExecPluginRunning = 1; }
        ~Suspend() { PaintSuspended = ExecPluginRunning = 0; }
    };
    int result;
    {
        Suspend suspend;
        int value = ReturnValue;
        result = main_proc(PluginInstanceHandle(), PluginWindowHandle(), slash ? slash + 1 : "",
                           &value, ReturnString);
        ReturnValue = value;
        ReturnString[ReturnStringSize - 1] = 0;
    }
    if (result == 1) InvalidateMainWindow(nullptr);
}

// getret %N | getret ?array | getret $N.
void Cmd_getret() {
    switch (SkipBlanks()) {
    case '%': {
        ReadPosition++;
        int n = ReadIntVarNumber();
        IntVariables[n] = ReturnValue;
        ClampIntVars();
        return;
    }
    case '?': {
        ReadPosition++;
        int number = 0, subs[ArrayMaxDims], nsubs = 0;
        ArrayVariable* a = ReadArrayRef(&number, subs, &nsubs, ArrayRefElement);
        *ArrayElement(a, subs, nsubs) = ReturnValue;
        return;
    }
    case '$': {
        ReadPosition++;
        int n = ReadStrVarNumber();
        AssignString(&StrVariables[n], ReturnString);
        return;
    }
    default:
        ScriptError(CapSyntax, MsgGetretArg);
    }
}

// setlayer N,interval,"x.dll/parameters" (define block).
void Cmd_setlayer() {
    int32_t n = ReadIntExpr();
    if (n < 0 || n >= LayerSlotCount) ScriptError(CapError, MsgLayerNumberBad);
    ExpectComma();
    int32_t interval = ReadIntExpr();
    ExpectComma();
    StrScratch text;
    ReadStrExprFull(text.p);
    LoadLayerPlugin(n, interval, text.p);
}

// layermessage N,text: the layer's Message entry fills ReturnValue and
// ReturnString; nonzero redraws the whole screen.
void Cmd_layermessage() {
    int32_t n = ReadIntExpr();
    if (n < 0 || n >= LayerSlotCount) ScriptError(CapError, MsgLayerNumberBad);
    ExpectComma();
    StrScratch text;
    ReadStrExprFull(text.p);
    LayerSlot& slot = LayerSlots[n];
    if (!slot.Message) ScriptError(CapError, MsgLayerNoMessage);
    int32_t value = ReturnValue;
    int redraw = slot.Message(text.p, &value, ReturnString);
    ReturnValue = value;
    ReturnString[ReturnStringSize - 1] = 0;
    if (redraw) AddDirtyRect(0, ScreenWidth, 0, ScreenHeight);
}
