// labels.h - the label table, built by ScanLabels at load and searched by
// JumpToLabel.
#pragma once

struct Label {
    char* name = nullptr;  // lower-case, without the '*'
    int offset = 0;        // script offset behind the label
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
