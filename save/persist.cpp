// persist.cpp - the persistent data files.  The file formats fill in as the
// save subsystem is built; until then nothing is read or written.
#include "save/persist.h"

std::string SaveDirectory;

void ReadEnvSaveDirectory() {}
void ReadGlobalVariables() {}
void ApplyEnvData() {}
void LoadNameLogs() {}
void SavePersistentData() {}
void SaveReadFlags() {}
void SetSavePassDefaults() {}
bool NameLogsRequested() { return false; }
