// system_commands.cpp - date, time, getreg, getini, shell, winexec.
#include "core/system_commands.h"

#include <cstring>
#include <ctime>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/ini.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "save/journal.h"
#include "platform/platform.h"
#include "ui/mainwindow.h"

// date / time %A,%B,%C: each '%' right at its operand, the variable number
// an integer expression; all three are checked before anything is stored.
static void StoreClockFields(const char* name, const int values[3]) {
    int n[3];
    for (int i = 0; i < 3; i++) {
        if (i) ExpectComma();
        if (ScriptBuffer[ReadPosition] != '%')
            OperandKindError(CapSyntax, name, i == 0 ? SufFirstInt : SufSecondInt);
        ReadPosition++;
        n[i] = ReadIntExpr();
    }
    for (int i = 0; i < 3; i++)
        if (n[i] < 0 || n[i] >= VariableCount) ScriptError(CapError, MsgVarRange);
    for (int i = 0; i < 3; i++) {
        JournalIntVar(n[i]);
        IntVariables[n[i]] = values[i];
    }
}

void Cmd_date() {
    struct tm t;
    PlatLocalTime(&t);
    int values[3] = {t.tm_year % 100, t.tm_mon + 1, t.tm_mday};
    StoreClockFields("date", values);
}

void Cmd_time() {
    struct tm t;
    PlatLocalTime(&t);
    int values[3] = {t.tm_hour, t.tm_min, t.tm_sec};
    StoreClockFields("time", values);
}

// getreg $N, subkey, value name: there is no registry, so every value is
// one that cannot be read: "".
void Cmd_getreg() {
    int n = ReadStrTarget("getreg", SufFirstStr, TargetNumberExpr);
    StrScratch text;
    ExpectComma();
    ReadStrExpr(text.p, StrValueSize);
    ExpectComma();
    ReadStrExpr(text.p, StrValueSize);
    AssignString(&StrVariables[n], "");
}

// getini $N, file, section, key
void Cmd_getini() {
    int n = ReadStrTarget("getini", SufFirstStr, TargetNumberExpr);
    StrScratch file, section, key;
    ExpectComma();
    ReadStrExpr(file.p, StrValueSize);
    ExpectComma();
    ReadStrExpr(section.p, StrValueSize);
    ExpectComma();
    ReadStrExpr(key.p, StrValueSize);
    AssignString(&StrVariables[n], ReadIniValue(file.p, section.p, key.p).c_str());
}

// shell text: a file of the game folder is opened by its real path, any
// other text (an address) as it is.  The result is not looked at.
void Cmd_shell() {
    StrScratch text;
    ReadStrExpr(text.p, StrValueSize);
    std::string target = PlatExists(text.p) ? PlatResolve(text.p) : Cp932ToUtf8(text.p);
    PlatOpenWithDefault(target);
}

std::vector<std::string> SplitCommandLine(const char* cp932) {
    std::vector<std::string> words;
    const unsigned char* p = (const unsigned char*)cp932;
    for (;;) {
        while (*p == ' ' || *p == '\t') p++;
        if (!*p) break;
        std::string word;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '"') {
                quoted = !quoted;
                p++;
            } else if (IsSjisLead(*p) && p[1]) {
                word += (char)p[0];
                word += (char)p[1];
                p += 2;
            } else {
                word += (char)*p++;
            }
        }
        words.push_back(word);
    }
    return words;
}

static bool HasFolder(const std::string& name) { return name.find_first_of("\\/") != std::string::npos; }

// A regular file of that name (CP932): its path, made explicit ("./name")
// so that no search of PATH takes its place.
static bool FindProgramFile(const std::string& name, std::string* path) {
    if (name.empty() || !PlatExists(name.c_str()) || PlatFileSize(name.c_str()) < 0) return false;
    *path = PlatResolve(name.c_str());
    if (path->find('/') == std::string::npos) *path = "./" + *path;
    return true;
}

static bool EndsWithExe(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = (char)((c >= 'A' && c <= 'Z') ? c + 32 : c);
    return tail == ".exe";
}

std::vector<std::string> ProgramArguments(const char* cp932) {
    std::vector<std::string> words = SplitCommandLine(cp932);
    std::vector<std::string> argv;
    if (words.empty()) return argv;
    std::string program = words[0];
    std::string stem = EndsWithExe(program) ? program.substr(0, program.size() - 4) : program;
    std::string path;
    if (FindProgramFile(program, &path) || FindProgramFile(stem, &path))
        argv.push_back(path);
    else if (!HasFolder(stem))
        argv.push_back(Cp932ToUtf8(stem));
    else
        argv.push_back(PlatResolve(program.c_str()));
    for (size_t i = 1; i < words.size(); i++) argv.push_back(Cp932ToUtf8(words[i]));
    return argv;
}

// Waits for the started program: its end (or a continue message) goes on,
// a quit message closes the main window.  Messages are taken meanwhile.
static void WaitForProgram(int handle) {
    for (;;) {
        if (PlatProgramEnded(handle)) return;
        PlatMsg m;
        if (PlatPeekRemove(MsgExecContinue, &m)) break;
        if (PlatPeekRemove(MsgExecQuit, &m)) {
            PlatReleaseProgram(handle);
            DestroyMainWindow();
        }
        if (!PumpMessage()) PlatSleep(10);
    }
    PlatReleaseProgram(handle);
}

// winexec command line, wait
void Cmd_winexec() {
    StrScratch line;
    ReadStrExpr(line.p, StrValueSize);
    ExpectComma();
    int32_t wait = ReadIntExpr();
    StopCdAndWaveForWinexec();
    std::vector<std::string> argv = ProgramArguments(line.p);
    int handle = argv.empty() ? 0 : PlatStartProgram(argv);
    if (wait)
        WaitForProgram(handle);
    else
        PlatReleaseProgram(handle);
}
