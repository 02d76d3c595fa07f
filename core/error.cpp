// error.cpp - ScriptError, the one path of every fatal script fault: the
// errorsave slot, the box that places the fault in the script, the layer
// plug-ins' end, silence, and the main window's destruction, which saves the
// persistent data and ends the process.
#include "core/error.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/core_messages.h"
#include "core/script.h"
#include "core/sjis.h"
#include "ext/layers.h"
#include "platform/platform.h"
#include "save/savepoint.h"
#include "sound/error_stop.h"
#include "ui/mainwindow.h"

enum {
    MessageLimit = 2048,     // bytes of the message kept (cut at a character)
    CaptionLimit = 256,
    ExcerptLineLimit = 600,  // bytes shown of one excerpt line
    BoxTextSize = 16384,
};

// Appends to a bounded buffer, never overrunning it.
struct TextOut {
    char* p;
    int size;
    int len;
};

static void Put(TextOut* o, const char* s, int n) {
    if (n > o->size - 1 - o->len) n = o->size - 1 - o->len;
    if (n <= 0) return;
    memcpy(o->p + o->len, s, (size_t)n);
    o->len += n;
    o->p[o->len] = 0;
}

static void PutChar(TextOut* o, char c) { Put(o, &c, 1); }

// First character boundary at or after `want` in the line that starts at
// `begin` (the line is scanned from its start, lead bytes taking their trail).
static int BoundaryAtOrAfter(int begin, int want) {
    int i = begin;
    while (i < want) i += IsSjisLead((unsigned char)ScriptBuffer[i]) ? 2 : 1;
    return i;
}

// One line of the excerpt, bytes [from, to), with its newline (if to stands
// on one) followed by `mark`.  A long line keeps its head, or its tail when
// it is the line of the read position.
static void PutExcerptLine(TextOut* o, int from, int to, bool tail) {
    int n = to - from;
    if (n > ExcerptLineLimit) {
        if (tail) {
            int cut = BoundaryAtOrAfter(from, to - ExcerptLineLimit);
            Put(o, "...", 3);
            Put(o, ScriptBuffer + cut, to - cut);
        } else {
            int keep = (int)SjisCutLength(ScriptBuffer + from, (size_t)n, ExcerptLineLimit);
            Put(o, ScriptBuffer + from, keep);
            Put(o, "...", 3);
        }
    } else {
        Put(o, ScriptBuffer + from, n);
    }
}

static void PutExcerpt(TextOut* o, int pos) {
    // The last three newlines before pos, nearest first.
    int nl[3];
    int count = 0;
    for (int i = pos - 1; i >= 0 && count < 3; i--)
        if (ScriptBuffer[i] == '\n') nl[count++] = i;
    int start = count == 3 ? nl[2] : 0;
    int last = count > 0 ? nl[0] : -1;
    int line = start;
    for (int i = start; i < pos; i++) {
        if (ScriptBuffer[i] != '\n') continue;
        PutExcerptLine(o, line, i, false);
        PutChar(o, '\n');
        PutChar(o, i == last ? '>' : '|');
        line = i + 1;
    }
    PutExcerptLine(o, line, pos, true);
}

void FormatErrorText(const char* message, char* out, int size) {
    TextOut o = {out, size, 0};
    if (size <= 0) return;
    out[0] = 0;
    char line[600];
    if (ScriptBuffer && ExecAreaSavedPosition != 0) {
        const char* command = ScriptBuffer + ExecAreaOffset;
        char cut[MessageLimit];
        CopySjisBounded(cut, sizeof cut, command);
        int n = snprintf(out, (size_t)size, FmtOvExec, message, cut);
        if (n >= size) TrimSjisTail(out);
        return;
    }
    Put(&o, message, (int)strlen(message));
    Put(&o, "\n\n", 2);
    int pos = ReadPosition;
    int file = 0, lineno = 1;
    if (ScriptBuffer) {
        if (pos < 0) pos = 0;
        if (pos > ScriptLength) pos = ScriptLength;
        PositionToLine(pos, &file, &lineno);
    }
    char name[32];
    ScriptFileName(file, name, sizeof name);
    snprintf(line, sizeof line, "%s line:%d\n", name, lineno);
    Put(&o, line, (int)strlen(line));
    if (ScriptBuffer) PutExcerpt(&o, pos);
}

// A second fault while the first is being reported ends the process at once,
// after showing the first fault's box when it was not shown yet (the second
// fault came from the error save or the layer plug-ins).  The guard is
// released when a test's exit hook unwinds through ScriptError.
enum { NotReporting, BoxPending, BoxShown };
static int ReportingError = NotReporting;
static char ErrorBox[BoxTextSize];
static char ErrorCaption[CaptionLimit];
struct ErrorGuard {
    ErrorGuard() { ReportingError = BoxPending; }
    ~ErrorGuard() { ReportingError = NotReporting; }
};

void ScriptError(const char* caption, const char* message) {
    PlatMarkFailure();  // the process ends with status 1, not 0
    if (ReportingError) {
        if (ReportingError == BoxPending) PlatMessageBox(ErrorBox, ErrorCaption, MB_OK, true);
        PlatExit(1);
    }
    ErrorGuard guard;
    PlatReleaseInstanceLock();
    // Own copies, made before anything else runs: the message may live in
    // ScratchText, which the steps below reuse.
    char msg[MessageLimit];
    CopySjisBounded(msg, sizeof msg, message);
    CopySjisBounded(ErrorCaption, sizeof ErrorCaption, caption);
    FormatErrorText(msg, ErrorBox, sizeof ErrorBox);
    if (ErrorSave) SaveGame(999);
    FinalizeLayers();
    PlatMessageBox(ErrorBox, ErrorCaption, MB_OK, true);
    ReportingError = BoxShown;
    StopSoundForError();
    DestroyMainWindow();
}

void ScriptErrorF(const char* caption, const char* format, ...) {
    char msg[MessageLimit];
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(msg, sizeof msg, format, ap);
    va_end(ap);
    if (n >= (int)sizeof msg) TrimSjisTail(msg);
    ScriptError(caption, msg);
}
