// input_commands.cpp - the commands that read or set the input state, the
// mouse pointer and the window: mousemode, mousecursor, caption, usewheel,
// useescspc, ctrlalt, autoclick, isfull, skipoff, isctrl, isskip, checkkey,
// getjoypad, movemousecursor, minimizewindow, clickclear, getmousepos.
#include "ui/input_commands.h"

#include <cctype>
#include <cstring>
#include <string>

#include "archive/extract.h"
#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "save/journal.h"
#include "platform/platform.h"
#include "ui/cursor_file.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/window_messages.h"

// A string operand (StrValueSize bytes at most).
struct StrOperand {
    std::string bytes = std::string(StrValueSize, '\0');
    const char* Read() {
        ReadStrExpr(&bytes[0], StrValueSize);
        return bytes.c_str();
    }
};

// mousemode n: 0 hides the pointer over the window, anything else shows the arrow.
void Cmd_mousemode() {
    int32_t n = ReadIntExpr();
    MouseCursorHidden = n == 0;
    PlatShowCursor(n != 0);
    if (n != 0) PlatUseCustomCursor(false);
}

// The cursor picture of a file in the folder or the archives.  A file that
// is no cursor picture leaves the arrow.
static void LoadCursorFile(const char* name) {
    std::string path = name;
    bool extracted = false;
    if (!PlatExists(name)) {
        if (!ExtractToTemp(&path)) ScriptError(CapError, MsgCursorMissing);
        extracted = true;
    }
    std::vector<uint8_t> bytes;
    CursorPicture pic;
    bool ok = PlatReadFile(path.c_str(), false, &bytes) && DecodeCursorFile(bytes.data(), bytes.size(), &pic);
    if (extracted) DeleteExtractedFile(path);
    if (!ok || !PlatSetCustomCursor(pic.argb.data(), pic.width, pic.height, pic.hot_x, pic.hot_y)) {
        UseArrowCursor();
        return;
    }
    CustomCursorSet = 1;
    PlatUseCustomCursor(true);
}

// mousecursor "file" or off
void Cmd_mousecursor() {
    if (SkipBlanks() == 'o') {
        char word[WordBufferSize];
        ReadWord(word);
        if (strcmp(word, "off") != 0) ScriptError(CapError, MsgCursorWord);
        UseArrowCursor();
        return;
    }
    StrOperand name;
    LoadCursorFile(name.Read());
}

// caption "s"
void Cmd_caption() {
    StrOperand text;
    PlatSetCaption(text.Read());
}

void Cmd_usewheel() { UseWheel = 1; }
void Cmd_useescspc() { UseEscSpace = 1; }
void Cmd_ctrlalt() { CtrlAltSkip = 1; }

// autoclick n: every click wait ends after n ms (0: off); the display goes
// back to a line at a time either way.
void Cmd_autoclick() {
    int32_t n = ReadIntExpr();
    AutoClickOn = 1;
    PlatPostMessage(WM_COMMAND, CmdLineMode, 0);
    AutoClickTime = n;
    if (n == 0) AutoClickOn = 0;
}

void Cmd_isfull() { StoreIntVar(ReadIntTarget("isfull", SufOnlyInt), FullScreen); }

void Cmd_skipoff() {
    SkipMode = 0;
    AutoMode = 0;
}

// Ctrl whatever window is in front, as far as the platform can tell.
void Cmd_isctrl() { StoreIntVar(ReadIntTarget("isctrl", SufOnlyInt), PlatCtrlHeldAnywhere() ? 1 : 0); }

void Cmd_isskip() {
    int v = ReadIntTarget("isskip", SufOnlyInt);
    StoreIntVar(v, AutoMode ? 2 : SkipMode ? 1 : 0);
}

// The key code of a checkkey name; 0 for none (an empty name, or a longer
// name not in the table).
static int CheckKeyCode(const char* name) {
    size_t n = strlen(name);
    if (n == 0) return 0;
    if (n == 1) return toupper((unsigned char)name[0]);
    char upper[64];
    size_t k = 0;
    for (; k < n && k < sizeof upper - 1; k++) upper[k] = (char)toupper((unsigned char)name[k]);
    upper[k] = 0;
    static const struct {
        const char* name;
        int vk;
    } Keys[] = {
        {"ESC", VK_ESCAPE}, {"CTRL", VK_CONTROL}, {"UP", VK_UP}, {"DOWN", VK_DOWN},
        {"LEFT", VK_LEFT}, {"RIGHT", VK_RIGHT}, {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN},
        {"PAGEUP", VK_PRIOR}, {"PAGEDOWN", VK_NEXT}, {"SPACE", VK_SPACE}, {"SHIFT", VK_SHIFT},
    };
    for (const auto& key : Keys)
        if (strcmp(upper, key.name) == 0) return key.vk;
    if (upper[0] == 'F' && upper[1] >= '1' && upper[1] <= '9') {
        int f = upper[1] - '0';
        if (upper[2] >= '0' && upper[2] <= '9' && !upper[3]) f = f * 10 + upper[2] - '0';
        else if (upper[2]) f = 0;
        if (f >= 1 && f <= 12) return VK_F1 + f - 1;
    }
    return 0;
}

// checkkey %v,"key": 1 while the key is held and the window is in front.
void Cmd_checkkey() {
    int v = ReadIntTarget("checkkey", SufFirstInt);
    ExpectComma();
    StrOperand name;
    int vk = CheckKeyCode(name.Read());
    StoreIntVarUnclamped(v, vk && PlatIsForeground() && PlatKeyDown(vk) ? 1 : 0);
}

// getjoypad %a,...,%j: the first game controller's ten values, unclamped.
void Cmd_getjoypad() {
    static const char* const Suffixes[JoypadValueCount] = {
        SufFirstInt, SufSecondInt, SufThirdInt, SufFourthInt, SufFifthInt,
        SufSixthInt, SufSeventhInt, SufEighthInt, SufNinthInt, SufTenthInt,
    };
    int vars[JoypadValueCount];
    for (int i = 0; i < JoypadValueCount; i++) {
        if (i) ExpectComma();
        vars[i] = ReadIntTarget("getjoypad", Suffixes[i], TargetNumberExpr);
    }
    int32_t values[JoypadValueCount];
    PlatReadJoypad(values);
    for (int i = 0; i < JoypadValueCount; i++) IntVariables[vars[i]] = values[i];
}

// movemousecursor x,y: the pointer to that client position.
void Cmd_movemousecursor() {
    int32_t x = ReadIntExpr();
    ExpectComma();
    int32_t y = ReadIntExpr();
    PlatWarpCursor(x, y);
}

// minimizewindow: the desktop gets its own display mode back; FullScreen
// stays, so that restoring the window enters full screen again.
void Cmd_minimizewindow() {
    if (PlatIsFullScreen()) PlatSetFullScreen(false);
    PlatMinimizeWindow();
}

void Cmd_clickclear() { MouseX = MouseY = -1; }

// getmousepos %x,%y: the pointer's client position, which may lie outside
// the screen; unclamped.
void Cmd_getmousepos() {
    int vx = ReadIntTarget("getmousepos", SufFirstInt);
    ExpectComma();
    int vy = ReadIntTarget("getmousepos", SufSecondInt);
    int x, y;
    PlatCursorPos(&x, &y);
    StoreIntVarUnclamped(vx, x);
    StoreIntVarUnclamped(vy, y);
}
