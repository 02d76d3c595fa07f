// orva_exec.cpp - commands run from text, key and mouse queries, system calls.
#include "ext/orva_exec.h"

#include <cctype>
#include <cstring>

#include "core/core_messages.h"
#include "core/dispatch.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/startup.h"
#include "ext/layers.h"
#include "ext/lua_messages.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/system_actions.h"

int OrvaExecWord(const char* text) {
    int area = ScriptCapacity - ExecAreaOffset;
    if (!ScriptBuffer || area <= 1) return 0;
    size_t n = strlen(text);
    if (n > OrvaExecWordMax) return 0;
    if (n > (size_t)area - 1) n = (size_t)area - 1;
    memcpy(ScriptBuffer + ExecAreaOffset, text, n);
    ScriptBuffer[ExecAreaOffset + n] = 0;
    // The outer command text's saved position comes back also when the
    // command ends in an error that unwinds (tests turn exits into throws).
    struct Restore {
        int outer = ExecAreaSavedPosition;
        ~Restore() { ExecAreaSavedPosition = outer; }
    } restore;
    int saved = ReadPosition;
    ExecAreaSavedPosition = saved;
    ReadPosition = ExecAreaOffset;
    char word[WordBufferSize];
    ReadWord(word);
    ExecCommand(word, DefineRunning);
    if (ReadPosition >= ExecAreaOffset) ReadPosition = saved;
    return 1;
}

int OrvaGetKey(const char* name) {
    static const struct {
        const char* name;
        int vk;
    } kKeys[] = {
        {"SPACE", VK_SPACE}, {"ESC", VK_ESCAPE},  {"CTRL", VK_CONTROL}, {"UP", VK_UP},
        {"DOWN", VK_DOWN},   {"LEFT", VK_LEFT},   {"RIGHT", VK_RIGHT},  {"RETURN", VK_RETURN},
        {"ENTER", VK_RETURN}, {"PAGEUP", VK_PRIOR}, {"PAGEDOWN", VK_NEXT}, {"SHIFT", VK_SHIFT},
    };
    int vk = 0;
    if (name[0] && !name[1]) {
        vk = toupper((unsigned char)name[0]);
    } else {
        char upper[64];
        size_t i = 0;
        for (; name[i] && i < sizeof upper - 1; i++) upper[i] = (char)toupper((unsigned char)name[i]);
        upper[i] = 0;
        for (const auto& k : kKeys)
            if (strcmp(upper, k.name) == 0) vk = k.vk;
        if (upper[0] == 'F' && upper[1] >= '1' && upper[1] <= '9') {
            int f = atoi(upper + 1);
            char back[8];
            snprintf(back, sizeof back, "F%d", f);
            if (f >= 1 && f <= 12 && strcmp(back, upper) == 0) vk = VK_F1 + f - 1;
        }
    }
    if (vk == 0) return 0;
    return (GetForegroundKeyState(vk) & 0x8000) ? 1 : 0;
}

void OrvaGetMouse(int* x, int* y) {
    int cx = -1, cy = -1;
    if (PlatIsForeground()) PlatCursorPos(&cx, &cy);
    if (cx < 0 || cy < 0 || cx > ScreenWidth || cy > ScreenHeight) cx = cy = -1;
    *x = cx;
    *y = cy;
}

void OrvaSystemCall(const char* word) {
    if (strcmp(word, "close") == 0) {
        PlatSendMessage(WM_CLOSE, 0, 0);
    } else if (strcmp(word, "end") == 0) {
        FinalizeLayers();
        DestroyMainWindow();
    } else if (strcmp(word, "reset") == 0) {
        ResetToStart();
    } else if (strcmp(word, "full") == 0) {
        PlatSendMessage(WM_COMMAND, 40002, 0);
    } else if (strcmp(word, "window") == 0) {
        PlatSendMessage(WM_COMMAND, 40003, 0);
    } else if (strcmp(word, "automode") == 0) {
        PlatSendMessage(WM_COMMAND, 40019, 0);
    } else if (strcmp(word, "skip") == 0) {
        RunSystemAction(ActionSkip);
    } else if (strcmp(word, "skipoff") == 0) {
        SkipMode = AutoMode = 0;
    } else {
        ScriptError(CapError, MsgSystemCallBad);
    }
}
