// interp.cpp - the interpreter loop and the reading of text lines and tags.
#include "core/interp.h"

#include <cstring>
#include <vector>

#include "core/callstack.h"
#include "core/core_messages.h"
#include "core/debug.h"
#include "core/dispatch.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/startup.h"
#include "ext/luahooks.h"
#include "platform/platform.h"
#include "save/namelog.h"
#include "save/readlog.h"
#include "save/savepoint.h"
#include "text/textline.h"
#include "ui/input_state.h"
#include "ui/traps.h"

int DefineEnded = 0;
static int StatementBudget = PlatStatementBatch;  // statements left in this batch

enum { TagTextLimit = WorkBufferSize - 1 };  // bytes of a tag's text kept

static bool AutoSavepoints() { return NoCommandSavepoints || SaveOn; }

// ---- traps ----------------------------------------------------------------------------

// Jumps to a trap label and empties it.
static void FireTrapJump(char* label) {
    char name[sizeof Traps.label];
    memcpy(name, label, sizeof name);
    name[sizeof name - 1] = 0;
    label[0] = 0;
    JumpToLabel(name);
}

static void TestTraps() {
    TrapSettings& t = Traps;
    if (t.timer_armed) {
        // Elapsed time in unsigned arithmetic: a wrapped clock is no special
        // case, and the trap does not fire in the millisecond it was armed.
        if (t.timer_label[0] && (uint32_t)(PlatTicks() - t.timer_start) >= t.timer_duration) {
            if (t.timer_state == 1)
                t.timer_state = 2;
            else if (t.timer_state == 0)
                FireTrapJump(t.timer_label);
        }
        return;
    }
    if (!t.label[0]) return;
    if (!t.right_click_only) {
        // A left-button release still queued fires the trap and never reaches
        // the window procedure.
        PlatMsg m;
        if (PlatPeekRemove(WM_LBUTTONUP, &m)) {
            if (t.state == 1) {
                t.state = 2;
                Clicked = 0;
                RightClicked = 0;
            } else if (t.state == 0) {
                FireTrapJump(t.label);
            }
            return;
        }
    }
    bool fire = (!t.right_click_only && (Clicked || (t.skip_also && SkipMode))) ||
                (RightClicked && (t.right_click_also || t.right_click_only));
    if (!fire || t.state == 2) return;
    if (t.state == 1)
        t.state = 2;
    else
        FireTrapJump(t.label);
    Clicked = 0;
    RightClicked = 0;
}

// ---- read-log -------------------------------------------------------------------------

static void MarkRead(int p) {
    int byte = p >> 3;
    uint8_t bit = (uint8_t)(1u << (p & 7));
    bool inside = p >= 0 && byte < ReadFlagsSize;
    if (KidokuMode && (!inside || !(ReadFlags[byte] & bit))) SkipMode = 0;
    if (inside) ReadFlags[byte] |= bit;
}

// ---- text lines -------------------------------------------------------------------------

static void AppendFullWidthNumber(std::string* out, int32_t v) {
    if (v < 0) out->append(TxtFullMinus);
    uint32_t u = v < 0 ? 0u - (uint32_t)v : (uint32_t)v;
    char digits[16];
    int n = 0;
    do {
        digits[n++] = (char)(u % 10);
        u /= 10;
    } while (u);
    while (n > 0) {
        out->push_back((char)0x82);
        out->push_back((char)(0x4F + digits[--n]));  // "０".."９"
    }
}

void ExpandTextLine(std::string* out, std::vector<int>* resume) {
    out->clear();
    if (resume) resume->clear();
    bool brace = false;
    // Each byte added in a step resumes the script where that step ended.
    auto note = [&] {
        if (resume)
            while (resume->size() < out->size()) resume->push_back(ReadPosition);
    };
    for (;;) {
        note();
        const char* s = ScriptBuffer;
        int p = ReadPosition;
        unsigned char c = (unsigned char)s[p];
        if (c == 0) break;
        if (c == '\n') {
            if (!PageTagMode) break;
            // One tagged page per text: the line is padded to whole rows.
            if (TextColumns > 0) {
                int chars = (int)(out->size() / 2);
                int pad = (TextColumns - chars % TextColumns) % TextColumns;
                while (pad-- > 0) out->append(TxtFullSpace);
            }
            ReadPosition++;
            continue;
        }
        if (IsSjisLead(c)) {
            out->push_back((char)c);
            if (s[p + 1]) {
                out->push_back(s[p + 1]);
                ReadPosition += 2;
            } else {
                ReadPosition++;
            }
            continue;
        }
        if (c == '{' || c == '}' || brace) {
            // Inside braces nothing is expanded: the assignments there are
            // the text display's.
            if (c == '{') brace = true;
            if (c == '}') brace = false;
            out->push_back((char)c);
            ReadPosition++;
            continue;
        }
        if ((c == '@' || c == '\\') && (TextGosubOn || PageTagMode)) {
            out->push_back((char)c);
            ReadPosition++;
            note();
            return;  // a wait ends the segment, without the line-end marks
        }
        if (c == '$') {
            StrScratch value;
            ReadStrExprFull(value.p);
            out->append(value.p);
            continue;
        }
        // '!', a letter and a variable is an in-text control: the variable
        // stays for the display.
        if ((c == '%' || c == '?') && !(p >= 2 && s[p - 2] == '!')) {
            AppendFullWidthNumber(out, ReadNumTerm());
            continue;
        }
        out->push_back((char)c);
        ReadPosition++;
    }
    if (LinePageOn) out->push_back('\\');
    if (LinePage2On) out->push_back(TextCursorLine >= TextRows - ClickstrLines ? '\\' : '@');
    note();
}

// Step "Show": the :text hook or DisplayText, then a pending system-menu reset.
static void ShowSegment(const std::string& segment, const std::vector<int>& resume) {
    const char* hook = FindLuaHook(":text");
    if (hook) {
        if (!CallLuaTextHook(hook, segment.c_str())) ScriptError(CapError, MsgTextHookFailed);
    } else {
        DisplayText(segment.c_str(), resume.data());
    }
    if (MenuResetRequested) ResetToStart();
}

// A text-tag call: the position of the tag is pushed like any other call.
static void CallTagRoutine(int position) {
    if (CallStackDepth >= CallStackSize) ScriptError(CapStack, MsgTagStackFull);
    CallStack[CallStackDepth++] = position;
    JumpToLabel(PreTextGosubLabel);
}

static void NewPage() {
    NewPageBeforeText = 0;
    TextCursorColumn = 0;
    TextCursorLine = 0;
    CommitBacklogPage();
    ClearTextPage();
}

// The tag at ReadPosition (its '['): the text up to the first ']' becomes the
// page's tag and goes to the :tag hook, or the pretextgosub routine is called.
static void RunTag(bool doubled) {
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    int end = p + 1;
    while (s[end] && s[end] != ']') end++;
    int len = end - (p + 1);
    std::string tag(s + p + 1, (size_t)(len > TagTextLimit ? TagTextLimit : len));
    SetBacklogPageTag(tag.c_str());
    const char* hook = FindLuaHook(":tag");
    if (hook) {
        if (!CallLuaTextHook(hook, tag.c_str())) ScriptError(CapError, MsgTagHookFailed);
        TagHandled = 1;
        // Behind the tag, the doubled form's second ']' included (as gettag
        // passes it): counting the tag's length + 2 from the second '[' would
        // stop on that ']' and show it as text.  A tag the text ends in stops
        // at its end instead of running past it.
        int q = end;
        if (s[q] == ']') {
            q++;
            if (doubled && s[q] == ']') q++;
        }
        ReadPosition = q;
        return;
    }
    CallTagRoutine(p);
    SaveOn = 0;
    TagHandled = 1;
}

// Text statements change state the savepoint journal does not record: each
// builds a pending savepoint image first.
static void TextTag() {
    // A savepoint taken at once replaces the pending one unbuilt.
    bool saved = false;
    if (!LuaTextHooksOn && AutoSavepoints()) {
        TakeSavepoint();
        saved = true;
    } else {
        KeepSavepoint();
    }
    if (NewPageBeforeText) {
        NewPage();
        if (!LuaTextHooksOn && !saved && AutoSavepoints()) TakeSavepoint();
    }
    bool doubled = ScriptBuffer[ReadPosition + 1] == '[';  // [[name]]
    if (doubled) ReadPosition++;
    RunTag(doubled);
}

// 【name】 with zenkakko: rewritten in the script text as [[name]] for the
// rest of the run, then read as a tag.
static void FullWidthTag() {
    KeepSavepoint();
    char* s = ScriptBuffer;
    int p = ReadPosition;
    s[p] = '[';
    s[p + 1] = '[';
    ScriptChanged();
    ReadPosition = p + 1;
    // Characters are stepped over whole, so the trail byte of one character
    // and the lead byte of the next never make a false closing pair.
    for (int q = p + 2; s[q] && s[q + 1]; q += IsSjisLead((unsigned char)s[q]) ? 2 : 1) {
        if ((unsigned char)s[q] == 0x81 && (unsigned char)s[q + 1] == 0x7A) {
            s[q] = ']';
            s[q + 1] = ']';
            break;
        }
    }
    RunTag(true);
}

void ReadEnglishLine(std::string* out, std::vector<int>* resume) {
    const char* s = ScriptBuffer;
    int p = ReadPosition + 1;
    out->clear();
    if (resume) resume->clear();
    auto add = [&](char c, int after) {
        out->push_back(c);
        if (resume) resume->push_back(after);
    };
    while (s[p] && s[p] != '\n' && s[p] != '\r' && s[p] != '@' && s[p] != '\\') {
        add(s[p], p + 1);
        p++;
    }
    if (out->size() % 2) add(' ', p);  // the display works on two-byte cells
    if (s[p] == '@' || s[p] == '\\') {
        add(s[p], p + 1);
        p++;
    }
    ReadPosition = p;
}

static void EnglishLine() {
    KeepSavepoint();
    std::string segment;
    std::vector<int> resume;
    ReadEnglishLine(&segment, &resume);
    ShowSegment(segment, resume);
}

static bool AtLineStart(int p) {
    return p == 0 || ScriptBuffer[p - 1] == '\n' || ScriptBuffer[p - 1] == '\r';
}

static void TextLine(int define) {
    // When the line takes a savepoint before it changes anything (a new
    // page aside, which no Lua savepoint hook can save before the savepoint
    // is taken), the pending one is replaced unbuilt.
    bool at_page_start = TextCursorColumn == 0 && TextCursorLine == 0;
    bool takes_at_once;
    if (NewPageBeforeText)
        takes_at_once = !LuaTextHooksOn && AutoSavepoints() && !LuaBridgeLoaded;
    else if (TagModeOn)
        takes_at_once = !TagHandled && AtLineStart(ReadPosition) && at_page_start && !define &&
                        !LuaTextHooksOn && AutoSavepoints();
    else
        takes_at_once = at_page_start && !define && !LuaTextHooksOn;
    if (!takes_at_once) KeepSavepoint();
    bool saved = false;
    if (NewPageBeforeText) {
        NewPage();
        if (!LuaTextHooksOn && AutoSavepoints()) {
            TakeSavepoint();
            saved = true;
        }
    }
    // In tag mode a line without a tag still runs the tag routine, with "".
    if (!TagHandled && TagModeOn && AtLineStart(ReadPosition)) {
        const char* hook = FindLuaHook(":tag");
        bool page_start = TextCursorColumn == 0 && TextCursorLine == 0;
        if (!LuaTextHooksOn && !saved && !define && page_start && AutoSavepoints()) {
            TakeSavepoint();
            saved = true;
        }
        SetBacklogPageTag("");
        if (hook) {
            if (!CallLuaTextHook(hook, "")) ScriptError(CapError, MsgTagHookFailed);
        } else {
            CallTagRoutine(ReadPosition);
            TagHandled = 1;
            SaveOn = 0;
            return;
        }
    }
    if (define) ScriptError(CapDefineBlock, MsgTextInDefine);
    TagHandled = 0;
    const char* hook0 = FindLuaHook(":text0");
    if (!LuaTextHooksOn && !TagModeOn && !saved && TextCursorColumn == 0 && TextCursorLine == 0)
        TakeSavepoint();
    if (hook0) {
        const char* s = ScriptBuffer;
        int p = ReadPosition;
        int end = p;
        while (s[end] && s[end] != '\n') end++;
        std::string raw(s + p, (size_t)(end - p));
        ReadPosition = s[end] ? end + 1 : end;
        if (!CallLuaTextHook(hook0, raw.c_str())) ScriptError(CapError, MsgText0HookFailed);
        if (MenuResetRequested) ResetToStart();
        return;
    }
    std::string segment;
    std::vector<int> resume;
    ExpandTextLine(&segment, &resume);
    ShowSegment(segment, resume);
}

// ---- the loop ----------------------------------------------------------------------------

[[noreturn]] static void EndOfScript() {
    if (LuaOnlyMode) {
        PlatMessageBox(MsgLuaMainEnded, CapError, MB_OK, true);
        PlatExit(-1);
    }
    ScriptError(CapScript, MsgEndOfScript);
}

static bool IsLetter(unsigned char c) { return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_'; }

void RunInterpreter(int define) {
    if (define) {
        JumpToLabel("define");
        Traps.label[0] = 0;
        DefineEnded = 0;
    }
    while (ScriptBuffer[ReadPosition] == ' ' || ScriptBuffer[ReadPosition] == '\t') ReadPosition++;
    char word[WordBufferSize];
    while (!RestartRequested) {
        // Every batch of statements moves headless virtual time and lets a
        // signal close the window, also in a loop that never waits.
        if (--StatementBudget == 0 || PlatSignalPending) {
            StatementBudget = PlatStatementBatch;
            PlatStatementBatchRan();
        }
        if (ResetRequested) ServiceResetRequest();
        if (Traps.timer_armed || Traps.label[0]) TestTraps();
        const char* s = ScriptBuffer;
        int p = ReadPosition;
        unsigned char c = (unsigned char)s[p];
        if (LuaTextHooksOn && SaveOn && (p == 0 || s[p - 1] == '\n') && !strchr("\t :~*;", c) && c)
            TakeSavepoint();
        if (ReadFlagsSize > 0) MarkRead(p);
        switch (c) {
        case 0:
            EndOfScript();
        case '\t':
        case '\n':
        case ' ':
        case ':':
        case '~':
            ReadPosition++;
            continue;
        case '*':
            PassLabelLine();
            continue;
        case ';':
            ReadPosition += (int)strcspn(s + p, "\n");
            continue;
        case '[':
            if (TagModeOn)
                TextTag();
            else
                TextLine(define);
            continue;
        case '>':
            if (EnglishMode)
                EnglishLine();
            else
                TextLine(define);
            continue;
        default:
            break;
        }
        if (IsLetter(c)) {
            const CachedCommand* known = FindCachedCommand(p, define);
            CommandHandler handler = nullptr;
            if (known) {
                ReadPosition = known->end;
                handler = known->handler;
                CurrentCommandName = known->name;
            } else {
                ReadWord(word);
            }
            if (!NoCommandSavepoints && SaveOn) TakeCommandSavepoint();
            if (handler) {
                if (!known->journaled) KeepSavepoint();
                handler();
            } else {
                ExecCommandAt(p, word, define);
            }
            if (DebugWindowOpen && DebugStepChecked) {
                KeepSavepoint();
                PlatMessageBox(MsgStepRunning, CapStep, MB_OK, false);
            }
            if ((define && DefineEnded) || QuitRequested) return;
            continue;
        }
        if (c == 0x81 && (unsigned char)s[p + 1] == 0x79 && TagModeOn && ZenkakkoOn) {
            FullWidthTag();
            continue;
        }
        TextLine(define);
    }
}
