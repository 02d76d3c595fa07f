// gui.cpp - the in-window menu bar and dialogs on the SDL backend.
#include "platform/common/gui_backends.h"

void GuiSetMenu(const std::vector<PlatMenuEntry>&, bool) {}
int GuiInputDialog(const char*, const char*, const char*, std::string*, int, const PlatDialogSize*) { return IDCANCEL; }
void GuiSliderDialog(const char*, PlatSlider*, int, int, void (*)(const PlatSlider*, int, void*), void*) {}
int GuiListDialog(const char*, const char* const*, int, int, const char*, const char*, bool) { return -1; }
void GuiTextFieldOpen(int, int, int, int, int, int, const char*) {}
std::string GuiTextFieldText() { return std::string(); }
void GuiTextFieldSetText(const char*) {}
void GuiTextFieldFocus() {}
int GuiTextFieldKey() { return 0; }
void GuiTextFieldClose() {}
