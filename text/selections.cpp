// selections.cpp - the choice lists and SelectionWait.
#include "text/selections.h"

char SelectTexts[SelectLimit][SelectTextSize];
char SelectLabels[SelectLimit][SelectTextSize];
char CselTexts[CselLimit][SelectTextSize];
int32_t CselCount = 0;
uint32_t SelectColors[2] = {0xFFFFFF, 0xAAAAAA};
uint32_t MenuSelectColors[3] = {0xFFFFFF, 0xAAAAAA, 0x555599};

void SetSelectionPassDefaults() {
    SelectColors[0] = 0xFFFFFF;
    SelectColors[1] = 0xAAAAAA;
    MenuSelectColors[0] = 0xFFFFFF;
    MenuSelectColors[1] = 0xAAAAAA;
    MenuSelectColors[2] = 0x555599;
}

int32_t SelectionWait(int32_t, int32_t, int32_t, const char (*)[SelectTextSize]) { return -1; }
