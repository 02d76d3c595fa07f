// persist_commands.cpp - globalon, kidokumode, kidokuskip, filelog, labellog.
#include "save/persist_commands.h"

#include "core/readers.h"
#include "graphics/loader_links.h"
#include "save/namelog.h"
#include "save/persist.h"
#include "save/readlog.h"

void Cmd_globalon() { GlobalOn = 1; }
void Cmd_kidokumode() { KidokuMode = ReadIntExpr() != 0; }
void Cmd_kidokuskip() { InitReadFlags(); }
void Cmd_filelog() { FileLogOn = 1; }
void Cmd_labellog() { LabelLogOn = 1; }
