// system_commands.h - the commands that reach outside the game: date and
// time from the local clock, getreg (no registry here: always ""), getini,
// shell (the desktop's default application) and winexec (another program,
// optionally waited for).
#pragma once
#include <string>
#include <vector>

void Cmd_date();
void Cmd_time();
void Cmd_getreg();
void Cmd_getini();
void Cmd_shell();
void Cmd_winexec();

// A command line (CP932) as words: blanks separate them, double quotes group
// blanks into a word and are dropped.
std::vector<std::string> SplitCommandLine(const char* cp932);
// The arguments PlatStartProgram gets for a command line (UTF-8): the
// program is a file of the game folder when one has that name (a name ending
// in ".exe" also without that ending), else a name looked for in PATH
// (".exe" dropped); the other words are converted as they are.
std::vector<std::string> ProgramArguments(const char* cp932);

// What winexec stops first: the CD music and device and the MCI wave (the
// sound subsystem's).
void StopCdAndWaveForWinexec();

// The window messages a started program posts to the main window: go on
// after winexec's wait, and close the program.
enum : uint32_t { MsgExecContinue = 0x040A, MsgExecQuit = 0x0414 };
