// labels.h - the label table, built by ScanLabels at load and searched by
// JumpToLabel.
#pragma once
#include <cstdint>

struct Label {
    char* name = nullptr;  // lower-case, without the '*'
    int offset = 0;        // script offset behind the label
    uint32_t logged = 0;   // LabelLog.clears + 1 when the name was last put in the log
};
extern Label* Labels;   // LabelMax records
extern int LabelCount;

void AllocateLabelTable(int max);
void FreeLabelTable();
void ScanLabels();
// Moves ReadPosition behind the label (name without '*', any case); a label
// that does not exist is a fatal error.
void JumpToLabel(const char* name);
// Index in Labels of the label called name (any case), or -1; logs nothing.
int FindLabel(const char* name);

// ReadLabelOperand for a jump: the index of the label read, or -1 with its
// name in buffer (WordBufferSize bytes) when there is no such label.  A
// "*name" operand is kept by position: read again in the same
// ScriptGeneration it costs no look-up (buffer is then not filled).
int ReadLabelTarget(char* buffer);
// Moves ReadPosition behind label e and logs it, as JumpToLabel does.
void JumpToLabelIndex(int e);
// The label line at ReadPosition (its '*') as the interpreter runs it: read
// and put in the label log.
void PassLabelLine();
