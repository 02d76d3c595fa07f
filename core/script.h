// script.h - the script text in memory, the read position, the first-line
// settings and the tables sized by them; LoadScript fills them all.
#pragma once
#include <cstddef>
#include <cstdint>

extern char* ScriptBuffer;   // NUL-terminated, ScriptCapacity bytes
extern int ScriptCapacity;   // source size + 2048
extern int ScriptLength;     // bytes of text, the NUL not counted
extern int ReadPosition;     // offset of the next byte to read
extern int ExecAreaOffset;   // where a command given as text is copied (size + 512)
extern int ExecAreaSavedPosition;  // ReadPosition while such a command runs, else 0
extern int ScriptFileEnds[100];
extern int TextFileMode;     // 1 when the script came from the numbered text files
extern uint8_t LuaOnlyMode;  // 1 when only the Lua bridge drives the game

// First-line settings; kept across restarts when the new line does not set them.
extern int ScreenWidth, ScreenHeight;  // 640 x 480
extern int VariableCount;              // 4096
extern int GlobalBorder;               // 200
extern int LabelMax;                   // 10000

// Reads the script from its source, applies the first line, re-centres the
// window and allocates the variable, limit, array and label tables.
void LoadScript();
void FreeScript();
// Puts len bytes of text in place of the script, as one file, to be read
// from its start: how the tests, benchmarks and fuzzers load a script.
void UseScriptText(const char* text, size_t len);

// Applies the first-line settings found at `text` (len bytes, which need not
// be NUL-terminated); lua_form: the line begins with "--" instead of ';'.
// A bad value shows the loader's message box and ends the process with -1.
void ApplyFirstLine(const char* text, int len, bool lua_form);

// What the interpreter keeps by script position (a command's handler, a
// label operand's label, a literal's value) is valid only in the generation
// it was read in.  Bumped whenever the script text, the label table or the
// user command names change: a load, ScriptTextReplaced, FreeScript, the
// label scan, defsub.  Only positions inside the text (below ScriptLength)
// are kept, never the exec area's.
extern uint32_t ScriptGeneration;
inline void ScriptChanged() { ScriptGeneration++; }

// Script file number and line of a byte offset, for messages; an offset past
// the text counts as its end, and a missing script reads as empty.  The
// newlines are indexed at the first call after a load; code that puts a new
// text into ScriptBuffer by hand calls ScriptTextReplaced.
void PositionToLine(int position, int* file, int* line);
void ScriptTextReplaced();
// "%d.txt", or "0%d.txt" when there is no "%d.txt" (CP932).
void ScriptFileName(int file, char* out, int size);

// The byte key the scrambled sources and the scrambled data files use.
enum : uint8_t { ScrambleKey = 0x5B, ZatScrambleKey = 0xD3 };
void ScrambleBytes(uint8_t* bytes, int len, uint8_t key);

// Re-centres the window for a client size (the loader's rule).
void RecentreWindow(int w, int h);
