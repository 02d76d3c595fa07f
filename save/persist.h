// persist.h - the persistent data kept beside the game: save directory,
// global variables ("gloval.sav"), read-log ("kidoku.dat"), player settings
// ("envdata") and name logs, loaded at start and written together.
#pragma once
#include <cstdint>
#include <string>

extern std::string SaveDirectory;  // CP932; "" = the game folder
extern int32_t GlobalOn;           // globalon: "gloval.sav" is written

// A file of the save folder: "DIR\name", or the name alone.
std::string PersistPath(const char* name);

void ReadEnvSaveDirectory();  // from "envdata", when it exists
void ReadGlobalVariables();   // "gloval.sav"; missing: globals cleared
void ApplyEnvData();          // the player's settings, once per pass
void LoadNameLogs();          // "Orvaflog.dat", "Orvallog.dat" when asked for
// The read-log, the global variables when GlobalOn, the settings and the
// name logs asked for (these two not while the define block runs, before
// they are read); at the main window's destruction and in long waits.
void SavePersistentData();
void SaveReadFlags();         // at exit: the read-log written and freed
void SetSavePassDefaults();   // KidokuMode 1, SaveOn 0, at every start-up pass
bool NameLogsRequested();     // filelog or labellog was given in *define
// The temporary files of writes killed before their rename, in the game
// folder, the save folder and the name logs' folder (under the folder's
// lock, once the save folder is known).
void RemoveStaleSaveTemps();

// A file that could not be written: a message box the first time for that
// file (later failures and those at exit only on standard error).
void ReportWriteFailure(const char* cp932_name, const std::string& why);
