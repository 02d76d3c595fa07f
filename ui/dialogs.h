// dialogs.h - the input dialog the input commands and the debug variable
// editor share, and the modal dialogs the window menu opens.  Each returns
// when its dialog has closed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The CD drive chosen in the CD dialog, kept in "envdata": "" for the
// default, else a drive, a disc image or a folder of track files
// (sound/cd.h).
enum { CdDriveSize = 256 };
extern char CdDrive[CdDriveSize];

// The input dialog's state: InputText is the prompt when it opens and the
// answer when it closes; InputDefault fills the field and is the answer of
// Esc (which does nothing while it is empty); InputMaxLength is the longest
// answer in bytes, -1 for numeric input.  Sizes in points.
enum { InputTextSize = 256 };
extern char InputText[InputTextSize];
extern std::string InputDefault;  // at most 255 bytes
extern int32_t InputMaxLength, InputFullWidthOnly, InputSizeSet;
extern int32_t InputDialogWidth, InputDialogHeight, InputEditWidth, InputEditHeight;
// Runs it until an answer passes its tests (each refusal is reported in a
// box and the player tries again).
void RunInputDialog();
// The refusal text of an answer (CP932), null when it is accepted.
const char* CheckInputAnswer(const std::string& answer, bool numeric, int32_t max_length, bool full_width);
// Every character's first byte leads a two-byte character (stepping two
// bytes at a time).
bool AllFullWidth(const std::string& s);

// The CD drive dialog's entries after デフォルト (CP932): the drives
// libcdio finds, the game folder's disc images (".cue", ".toc", ".nrg") and
// its folders holding track files, mounted media.  A path may be typed too.
std::vector<std::string> CdDriveChoices();
void RunCdDriveDialog();     // command 40020
void RunVolumeDialog();      // command 40024
void RunTextSpeedDialog();   // command 40030
void RunAutoSpeedDialog();   // command 40031
void RunVariableEditor();    // command 40005 in debug mode
