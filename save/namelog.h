// namelog.h - the name logs: the pictures loaded (FileLog) and the labels
// reached (LabelLog).  Names compare upper-cased with '/' and '\' equal.
#pragma once

struct NameLog;
extern NameLog FileLog;
extern NameLog LabelLog;

void AddToNameLog(const char* name, NameLog* log);
bool FindInNameLog(const NameLog* log, const char* name);
