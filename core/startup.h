// startup.h - the program's road from its entry to the story: the single
// instance, the work buffers, the once-only bindings and the start-up loop.
#pragma once
#include <cstdint>

enum { WorkBufferSize = 204800 };
extern char* ScratchText;        // shared text buffer for messages and operands
extern uint8_t* SavepointBuffer;
extern uint8_t* GlobalSaveBuffer;

extern int DebugMode;            // "debug.872" was there at start
extern int CdFadeOff;            // "config.txt" said cdfadeoff
extern int RestartRequested;     // set by definereset
extern uint8_t DefineRunning;    // 1 while *define runs
extern uint8_t* GlyphLayer;      // ScreenWidth x ScreenHeight coverage bytes, top-down

// The program's entry after the command line: takes the instance lock,
// allocates the work buffers, seeds the random generator and runs the engine.
// Never returns.
[[noreturn]] void WinMain();
// Called when the main window has been created; never returns.
[[noreturn]] void StartEngine();
// Reads "config.txt" in the current folder.
void ReadConfigFile();
