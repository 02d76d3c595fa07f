// backlog_commands.cpp - the backlog commands.  A negative page number
// copies nothing: the string variable then receives "".
#include "text/backlog_commands.h"

#include <string>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/heapstring.h"
#include "core/readers.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "text/backlog.h"
#include "text/backlog_messages.h"
#include "text/textline.h"

void Cmd_maxkaisoupage() { BacklogPageLimit = ReadIntExpr(); }
void Cmd_pagetag() { PageTagMode = 1; }
void Cmd_lookbackon() { LookbackOn = 1; }
void Cmd_lookbackoff() { LookbackOn = 0; }
void Cmd_lookbackflush() { ClearBacklog(); }

// checkpage %v, n: 1 when at least n pages are committed (not clamped).
void Cmd_checkpage() {
    int v = ReadIntTarget("checkpage", SufFirstInt);
    ExpectComma();
    int32_t n = ReadIntExpr();
    IntVariables[v] = IsBacklogShorterThan(n) == 0 ? 1 : 0;
}

void Cmd_getlog() {
    int v = ReadStrTarget("getlog", SufOnlyStrVar);
    ExpectComma();
    const char* page = "";
    if (!GetBacklogPage(ReadIntExpr(), &page)) page = "";
    AssignString(&StrVariables[v], page);
}

void Cmd_gettaglog() {
    int v = ReadStrTarget("gettaglog", SufOnlyStrVar);
    ExpectComma();
    const char* tag = "";
    if (!GetBacklogTag(ReadIntExpr(), &tag)) tag = "";
    AssignString(&StrVariables[v], tag);
}

// getlogtext $s, n: the page without its line breaks; n is one term.
void Cmd_getlogtext() {
    int v = ReadStrTarget("getlogtext", SufOnlyStrVar);
    ExpectComma();
    const char* page = "";
    if (!GetBacklogPage(ReadNumTerm(), &page)) page = "";
    std::string out;
    for (size_t i = 0; page[i];) {
        unsigned char c = (unsigned char)page[i];
        if (IsSjisLead(c) && page[i + 1]) {
            out.append(page + i, 2);
            i += 2;
            continue;
        }
        if (c != '\n') out.push_back((char)c);
        i++;
    }
    AssignString(&StrVariables[v], out.c_str());
}
