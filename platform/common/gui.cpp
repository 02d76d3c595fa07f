// gui.cpp - the window menu and the modal dialogs: the backend in use
// draws them (platform/sdl/gui_*.cpp) or answers them from the events file
// (headless).
#include "platform/common/gui_backends.h"

static bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

size_t Cp932Cut(const char* s, size_t len, size_t limit) {
    size_t i = 0;
    while (i < len) {
        size_t n = IsLead((unsigned char)s[i]) && i + 1 < len ? 2 : 1;
        if (i + n > limit) break;
        i += n;
    }
    return i;
}

void PlatSetMenu(const std::vector<PlatMenuEntry>& entries, bool attached) {
    if (PlatIsHeadless()) HeadlessSetMenu(entries, attached);
    else GuiSetMenu(entries, attached);
}

int PlatInputDialog(const char* caption, const char* prompt, const char* button, std::string* text,
                    int limit, const PlatDialogSize* size) {
    if (PlatIsHeadless()) return HeadlessInputDialog(caption, prompt, text, limit);
    return GuiInputDialog(caption, prompt, button, text, limit, size);
}

void PlatSliderDialog(const char* caption, PlatSlider* sliders, int count, int width,
                      void (*moved)(const PlatSlider*, int, void*), void* user) {
    if (count <= 0) return;
    if (PlatIsHeadless()) HeadlessSliderDialog(caption, sliders, count, moved, user);
    else GuiSliderDialog(caption, sliders, count, width, moved, user);
}

int PlatListDialog(const char* caption, const char* const* items, int count, int selected,
                   const char* ok_label, const char* cancel_label, bool drop_down) {
    if (count < 0) count = 0;
    if (PlatIsHeadless()) return HeadlessListDialog(caption, count);
    return GuiListDialog(caption, items, count, selected, ok_label, cancel_label, drop_down);
}

int PlatComboDialog(const char* caption, const char* const* items, int count, int selected,
                    std::string* text, int limit, const char* ok_label, const char* cancel_label) {
    if (count < 0) count = 0;
    if (PlatIsHeadless()) return HeadlessComboDialog(caption, items, count, text, limit);
    return GuiComboDialog(caption, items, count, selected, text, limit, ok_label, cancel_label);
}

void PlatTextFieldOpen(int left, int top, int width, int height, int font_w, int font_h, const char* text) {
    if (PlatIsHeadless()) HeadlessTextFieldOpen(text);
    else GuiTextFieldOpen(left, top, width, height, font_w, font_h, text);
}

std::string PlatTextFieldText() { return PlatIsHeadless() ? HeadlessTextFieldText() : GuiTextFieldText(); }

void PlatTextFieldSetText(const char* cp932) {
    if (PlatIsHeadless()) HeadlessTextFieldSetText(cp932);
    else GuiTextFieldSetText(cp932);
}

void PlatTextFieldFocus() {
    if (!PlatIsHeadless()) GuiTextFieldFocus();
}

int PlatTextFieldKey() { return PlatIsHeadless() ? HeadlessTextFieldKey() : GuiTextFieldKey(); }

void PlatTextFieldClose() {
    if (PlatIsHeadless()) HeadlessTextFieldClose();
    else GuiTextFieldClose();
}
