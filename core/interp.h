// interp.h - RunInterpreter, the main loop: one statement at a time at
// ReadPosition (blanks and separators, labels, comments, text tags, commands,
// English lines, full-width tags and text lines), with the reset request,
// the traps, savepoints and the read-log serviced between statements.
#pragma once
#include <string>
#include <vector>

extern int DefineEnded;  // set by game: the *define run returns

// define = 1: the *define run (from *define until game); 0: a story run, which
// returns when the game quits or a definereset asks for a reload.
void RunInterpreter(int define);

// Expands the text line at ReadPosition into `out` as DisplayText receives it:
// variables inserted ($ as text, % and ? in full-width digits), braces copied
// as they are, the line-end marks of linepage/linepage2.  ReadPosition ends
// behind what was read (at the newline that ended the line).  `resume`, when
// given, receives for every byte of `out` the script offset right behind the
// script text it came from (behind the whole expression for an inserted
// variable), so a wait handed to textgosub can read the rest again.
void ExpandTextLine(std::string* out, std::vector<int>* resume = nullptr);

// Reads the English line at ReadPosition (its '>') as it is shown: the bytes
// up to a newline, CR, NUL, '@' or '\', a space added to an odd count, and a
// '@' or '\' that ended it; `resume` as for ExpandTextLine.
void ReadEnglishLine(std::string* out, std::vector<int>* resume = nullptr);
