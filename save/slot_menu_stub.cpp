// slot_menu_stub.cpp - no slot menu until it is built (then this file goes).
#include "save/slot_menu.h"

int32_t SaveDialogMode = 0;
int32_t RunSaveLoadMenu(int, char* caption) {
    if (caption) caption[0] = 0;
    return -1;
}
void RunSaveLoadDialog() {}
