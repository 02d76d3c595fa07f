// persist.h - the persistent data kept beside the game: save directory,
// global variables, read-log, player settings and name logs.
#pragma once
#include <string>

extern std::string SaveDirectory;  // CP932; "" = the game folder

void ReadEnvSaveDirectory();  // from "envdata", when it exists
void ReadGlobalVariables();   // "gloval.sav"; missing: globals cleared
void ApplyEnvData();          // the player's settings, once per pass
void LoadNameLogs();          // "Orvaflog.dat", "Orvallog.dat" when asked for
void SavePersistentData();    // at the main window's destruction
void SaveReadFlags();         // at exit
void SetSavePassDefaults();   // GameLoaded, slot count, slot names, KidokuMode
bool NameLogsRequested();     // filelog or labellog was given in *define
