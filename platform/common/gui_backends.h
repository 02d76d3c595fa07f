// gui_backends.h - the menu and dialog halves of the two backends, chosen
// by platform/common/gui.cpp.
#pragma once
#include <string>
#include <vector>

#include "platform/platform.h"

void HeadlessSetMenu(const std::vector<PlatMenuEntry>& entries, bool attached);
int HeadlessInputDialog(const char* caption, const char* prompt, std::string* text, int limit, bool can_cancel);
void HeadlessSliderDialog(const char* caption, PlatSlider* sliders, int count,
                          void (*moved)(const PlatSlider*, int, void*), void* user);
int HeadlessListDialog(const char* caption, int count);
int HeadlessComboDialog(const char* caption, const char* const* items, int count, std::string* text,
                        int limit);
void HeadlessTextFieldOpen(const char* text);
std::string HeadlessTextFieldText();
void HeadlessTextFieldSetText(const char* text);
int HeadlessTextFieldKey();
void HeadlessTextFieldClose();
void HeadlessSetClipboard(const std::string& utf8);
void HeadlessDebugWindowOpen(int left, int top, const char* caption, const char* check_label,
                             void (*changed)(bool, bool));
void HeadlessDebugWindowText(const char* cp932);
void HeadlessDebugWindowClose();
void HeadlessWindowPosition(int* left, int* top);

void GuiSetMenu(const std::vector<PlatMenuEntry>& entries, bool attached);
int GuiInputDialog(const char* caption, const char* prompt, const char* button, std::string* text,
                   int limit, const PlatDialogSize* size, bool can_cancel);
void GuiSliderDialog(const char* caption, PlatSlider* sliders, int count, int width,
                     void (*moved)(const PlatSlider*, int, void*), void* user);
int GuiListDialog(const char* caption, const char* const* items, int count, int selected,
                  const char* ok_label, const char* cancel_label, bool drop_down);
int GuiComboDialog(const char* caption, const char* const* items, int count, int selected,
                   std::string* text, int limit, const char* ok_label, const char* cancel_label);
void GuiTextFieldOpen(int left, int top, int width, int height, int font_w, int font_h, const char* text);
std::string GuiTextFieldText();
void GuiTextFieldSetText(const char* cp932);
void GuiTextFieldFocus();
int GuiTextFieldKey();
void GuiTextFieldClose();
void GuiSetClipboard(const std::string& utf8);
void DebugWindowOpen(int left, int top, const char* caption, const char* check_label, void (*changed)(bool, bool));
void DebugWindowText(const char* cp932);
void DebugWindowClose();
void SdlWindowPosition(int* left, int* top);
