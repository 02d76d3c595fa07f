// debug.cpp - the debug window, the trace and "debuglog.txt", and the debug
// commands.
#include "core/debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "graphics/anim_query.h"
#include "platform/platform.h"

int DebugWindowOpen = 0;
int DebugStepChecked = 0;
int DebugLogOn = 0;
char TraceText[TraceTextSize];
char TraceLine[TraceTextSize];

static char DebugEditText[TraceTextSize];  // the window's edit control

static const char DebugLogFile[] = "debuglog.txt";

static void SetDebugText(const char* text) {
    CopySjisBounded(DebugEditText, sizeof DebugEditText, text);
    PlatDebugWindowText(DebugEditText);
}

const char* DebugWindowText() { return DebugEditText; }

// The player ticked the box or closed the window (its procedure).
static void DebugWindowChanged(bool open, bool checked) {
    DebugWindowOpen = open ? 1 : 0;
    DebugStepChecked = open && checked ? 1 : 0;
}

// Below the game's window: at its left edge, ScreenHeight + 40 below its top.
void CreateDebugWindow() {
    if (DebugWindowOpen) return;
    DebugWindowOpen = 1;
    DebugStepChecked = 0;
    DebugEditText[0] = 0;
    int left, top;
    PlatWindowPosition(&left, &top);
    PlatDebugWindowOpen(left, top + ScreenHeight + 40, TxtDebugWindow, CapStep, DebugWindowChanged);
}

void CloseDebugWindow() {
    if (DebugWindowOpen) PlatDebugWindowClose();
    DebugWindowOpen = 0;
    DebugStepChecked = 0;
}

// Appends s (len bytes) to `text`, cut at a character so that it fits.
static void AppendBounded(char* text, const char* s, size_t len) {
    size_t used = strlen(text);
    size_t room = TraceTextSize - 1 - used;
    size_t n = SjisCutLength(s, len, room);
    memcpy(text + used, s, n);
    text[used + n] = 0;
}

// Appends text and a newline to "debuglog.txt".  Command blocks were written
// in binary mode (CR LF is added as it is); access lines in text mode, where
// every LF became CR LF.
static void AppendDebugLog(const char* text, bool text_mode) {
    FILE* f = PlatOpen(DebugLogFile, "ab");
    if (!f) return;
    if (text_mode) {
        for (const char* p = text; *p; p++) {
            if (*p == '\n') fputc('\r', f);
            fputc(*p, f);
        }
    } else {
        fputs(text, f);
    }
    fputs("\r\n", f);
    fclose(f);
}

void TraceCommand(const char* name) {
    int file = 0, line = 1;
    PositionToLine(ReadPosition, &file, &line);
    int start = ReadPosition;
    while (start > 0 && ScriptBuffer[start - 1] != '\n') start--;
    int end = start;
    while (ScriptBuffer[end] && ScriptBuffer[end] != '\n') end++;
    if (ScriptBuffer[end] == '\n') end++;
    int n = snprintf(TraceLine, sizeof TraceLine, FmtTraceCommand, file, line, name);
    if (n >= (int)sizeof TraceLine) TrimSjisTail(TraceLine);
    strcpy(TraceText, TraceLine);
    AppendBounded(TraceText, ScriptBuffer + start, (size_t)(end - start));
    SetDebugText(TraceText);
    if (DebugLogOn) AppendDebugLog(TraceText, false);
}

void TraceAccess() {
    // The window keeps at most 999 bytes of what it showed, then the line.
    size_t keep = SjisCutLength(DebugEditText, strlen(DebugEditText), 999);
    memcpy(TraceText, DebugEditText, keep);
    TraceText[keep] = 0;
    AppendBounded(TraceText, "\r\n", 2);
    AppendBounded(TraceText, TraceLine, strlen(TraceLine));
    SetDebugText(TraceText);
    if (DebugLogOn) AppendDebugLog(TraceLine, true);
}

void TraceAccessF(const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(TraceLine, sizeof TraceLine, format, ap);
    va_end(ap);
    if (n >= (int)sizeof TraceLine) TrimSjisTail(TraceLine);
    TraceAccess();
}

void ShowDebugPosition() {
    int file = 0, line = 1;
    PositionToLine(ReadPosition, &file, &line);
    char caption[64];
    snprintf(caption, sizeof caption, FmtDebugCaption, file, line);
    PlatSetCaption(caption);
}

// debuglog value
void Cmd_debuglog() { DebugLogOn = ReadIntExpr(); }

// testfunc: the animation clock and sprite 1's cell as a fatal error.
void Cmd_testfunc() {
    char text[64];
    snprintf(text, sizeof text, "%d %d", AnimationClockValue(), SpriteCurrentCell(1));
    ScriptError(text, text);
}

// createdebugwindow
void Cmd_createdebugwindow() { CreateDebugWindow(); }

// chkdbg %N: 1 when the file "46017283" is in the folder, else 0 (no limits).
void Cmd_chkdbg() {
    if (SkipBlanks() != '%') ScriptError(CapSyntax, MsgChkdbgArg);
    ReadPosition++;
    int n = ReadNumTerm();
    if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgVarRange);
    IntVariables[n] = PlatExists("46017283") ? 1 : 0;
}

void ClearDebugLogFlag() { DebugLogOn = 0; }
