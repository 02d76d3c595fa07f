// dispatch.cpp - the command dispatcher.  The built-in table is hashed once
// by name, each name keeping the first handler of each mode group, which is
// what testing the table in order finds.
#include "core/dispatch.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/callstack.h"
#include "core/core_messages.h"
#include "core/debug.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/nameindex.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/script.h"
#include "ext/luahooks.h"
#include "ext/optional.h"
#include "platform/platform.h"
#include "save/journal.h"
#include "save/savepoint.h"
#include "sound/voice_shortcuts.h"
#include "ui/input_state.h"

const char* CurrentCommandName = "";

// ---- built-in table ----------------------------------------------------------

namespace {

struct CommandSlot {
    const char* name;
    CommandHandler handler[3];  // by CommandGroup; null when the group lacks it
    bool journaled;
};

std::vector<CommandSlot> Slots;
NameIndex SlotIndex;

const char* SlotNameOf(int e) { return e < (int)Slots.size() ? Slots[e].name : nullptr; }

void BuildCommandIndex() {
    Slots.reserve((size_t)CommandTableSize);
    for (int i = 0; i < CommandTableSize; i++) {
        const CommandEntry& c = CommandTable[i];
        int e = NameIndexFind(&SlotIndex, c.name, SlotNameOf);
        if (e < 0) {
            e = (int)Slots.size();
            Slots.push_back({c.name, {nullptr, nullptr, nullptr}, CommandDefersImage(c.name)});
            NameIndexPut(&SlotIndex, c.name, e, SlotNameOf);
        }
        if (!Slots[e].handler[c.group]) Slots[e].handler[c.group] = c.handler;
    }
}

}  // namespace

// The handler and the table's name of a built-in command, or null.
static CommandHandler FindBuiltin(const char* name, int define, const char** table_name,
                                  bool* journaled = nullptr) {
    if (Slots.empty()) BuildCommandIndex();
    int e = NameIndexFind(&SlotIndex, name, SlotNameOf);
    if (e < 0) return nullptr;
    const CommandSlot& s = Slots[e];
    *table_name = s.name;
    if (journaled) *journaled = s.journaled;
    if (s.handler[GroupEvery]) return s.handler[GroupEvery];
    return s.handler[define ? GroupDefine : GroupStory];
}

CommandHandler FindBuiltinCommand(const char* name, int define) {
    const char* table_name;
    return FindBuiltin(name, define, &table_name);
}

// ---- user-defined commands ---------------------------------------------------------

StringList DefsubNames;

namespace {

std::vector<const char*> DefsubTexts;  // the list's texts, by position
NameIndex DefsubIndex;
int DefsubIndexed = 0;  // DefsubNames.count when the index was built

const char* DefsubNameOf(int e) { return e < (int)DefsubTexts.size() ? DefsubTexts[e] : nullptr; }

// Builds the index again when the list was changed behind its back.
void SyncDefsubIndex() {
    if (DefsubNames.count == DefsubIndexed) return;
    ScriptChanged();
    DefsubTexts.clear();
    NameIndexClear(&DefsubIndex);
    int i = 0;
    for (StringNode* n = DefsubNames.head; n && i < DefsubNames.count; n = n->next, i++) {
        DefsubTexts.push_back(StringText(n->value));
        NameIndexPut(&DefsubIndex, DefsubTexts.back(), i, DefsubNameOf);
    }
    DefsubIndexed = DefsubNames.count;
}

}  // namespace

void AddDefsubName(const char* name) {
    ScriptChanged();  // a kept built-in may be a user command now
    if (!DefsubNames.head) InitStringList(&DefsubNames);
    AppendStringList(&DefsubNames, name);
    SyncDefsubIndex();
}

void ClearDefsubNames() {
    ScriptChanged();
    if (!DefsubNames.head) InitStringList(&DefsubNames);
    ClearStringList(&DefsubNames);
    DefsubTexts.clear();
    NameIndexClear(&DefsubIndex);
    DefsubIndexed = 0;
}

bool IsDefsubName(const char* name) {
    if (DefsubNames.count == 0) return false;
    SyncDefsubIndex();
    return NameIndexFind(&DefsubIndex, name, DefsubNameOf) >= 0;
}

// ---- the dispatcher ------------------------------------------------------------------

char VoiceShortcutKind(const char* name, const char** rest) {
    char c0 = (char)(name[0] | 0x20);
    char c1 = name[0] ? (char)(name[1] | 0x20) : 0;
    if (c0 == 'v') {
        *rest = name + 1;
        return 'v';
    }
    if ((c0 == 'd' || c0 == 'm') && c1 == 'v') {
        *rest = name + 2;
        return c0;
    }
    return 0;
}

static bool RunVoiceShortcut(const char* name) {
    const char* rest = nullptr;
    char kind = VoiceShortcutKind(name, &rest);
    if (!kind) return false;
    char path[WordBufferSize + 16];
    snprintf(path, sizeof path, kind == 'm' ? "voice\\%s.mp3" : "voice\\%s.wav", rest);
    if (kind == 'v')
        PlayVoiceShortcutMci(path);
    else if (kind == 'd')
        PlayVoiceShortcutDwave(path);
    else
        PlayVoiceShortcutMp3(path);
    return true;
}

// ---- statements kept by position -------------------------------------------------------

CachedCommand CommandCache[CommandCacheSize];

namespace {

CachedCommand* CommandCacheSlot(int start) { return &CommandCache[(uint32_t)start & (CommandCacheSize - 1)]; }

// The built-in command name leads to at start, as ExecCommand decides it, or
// null; the statement is kept when it is one.
CommandHandler FindAndKeep(int start, const char* name, int define, bool* journaled) {
    const char* table_name = nullptr;
    CommandHandler handler = FindBuiltin(name, define, &table_name, journaled);
    if (handler && start >= 0 && start < ScriptLength) {
        CachedCommand* c = CommandCacheSlot(start);
        c->start = start;
        c->end = ReadPosition;
        c->generation = ScriptGeneration;
        c->define = define;
        c->handler = handler;
        c->name = table_name;
        c->journaled = *journaled;
    }
    return handler;
}

}  // namespace

void ExecCommand(const char* name, int define) { ExecCommandAt(-1, name, define); }

// Every path but a journaled or image-free built-in builds a pending savepoint image
// before it changes anything (save/journal.h).
void ExecCommandAt(int start, const char* name, int define) {
    if (MenuResetRequested) {
        ResetToStart();
        return;
    }
    if (DebugWindowOpen) TraceCommand(name);
    if (name[0] == '_') {
        name++;  // straight to the built-in commands
    } else {
        if (LuaBridgeLoaded) {
            char lower[WordBufferSize];
            size_t i = 0;
            for (; name[i] && i < sizeof lower - 1; i++)
                lower[i] = (name[i] >= 'A' && name[i] <= 'Z') ? (char)(name[i] + 32) : name[i];
            lower[i] = 0;
            const char* function = FindLuaHook(lower);
            if (function) {
                KeepSavepoint();
                if (!CallLuaCommandHook(function)) PlatExit(-1);
                return;
            }
        }
        if (IsDefsubName(name)) {
            // Only the call stack and the position change, as for gosub.
            if (CallStackDepth >= CallStackSize) ScriptError(CapStack, MsgDefsubStackFull);
            JournalCallStack();
            CallStack[CallStackDepth++] = ReadPosition;  // the first argument
            JumpToLabel(name);
            return;
        }
    }
    bool journaled = false;
    CommandHandler handler = FindAndKeep(start, name, define, &journaled);
    if (handler) {
        CurrentCommandName = name;
        if (!journaled) KeepSavepoint();
        handler();
        return;
    }
    KeepSavepoint();
    if (!define && RunVoiceShortcut(name)) return;
    ScriptErrorF(CapSyntax, MsgBadCommand, name);
}
