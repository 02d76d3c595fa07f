// gui.cpp - the window menu, the modal dialogs, the debug window and the
// clipboard: the backend in use draws them (platform/sdl/gui.cpp,
// debugwin.cpp) or answers them from the events file (headless).
#include "platform/common/gui_backends.h"
#include "platform/common/menubar.h"

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
    MenuBarSet(entries, attached);
    if (PlatIsHeadless()) HeadlessSetMenu(entries, attached);
    else GuiSetMenu(entries, attached);
}

int PlatInputDialog(const char* caption, const char* prompt, const char* button, std::string* text,
                    int limit, const PlatDialogSize* size, bool can_cancel) {
    MenuBarModal modal;
    if (PlatIsHeadless()) return HeadlessInputDialog(caption, prompt, text, limit, can_cancel);
    return GuiInputDialog(caption, prompt, button, text, limit, size, can_cancel);
}

void PlatSliderDialog(const char* caption, PlatSlider* sliders, int count, int width,
                      void (*moved)(const PlatSlider*, int, void*), void* user) {
    if (count <= 0) return;
    MenuBarModal modal;
    if (PlatIsHeadless()) HeadlessSliderDialog(caption, sliders, count, moved, user);
    else GuiSliderDialog(caption, sliders, count, width, moved, user);
}

int PlatListDialog(const char* caption, const char* const* items, int count, int selected,
                   const char* ok_label, const char* cancel_label, bool drop_down) {
    if (count < 0) count = 0;
    MenuBarModal modal;
    if (PlatIsHeadless()) return HeadlessListDialog(caption, count);
    return GuiListDialog(caption, items, count, selected, ok_label, cancel_label, drop_down);
}

int PlatComboDialog(const char* caption, const char* const* items, int count, int selected,
                    std::string* text, int limit, const char* ok_label, const char* cancel_label) {
    if (count < 0) count = 0;
    MenuBarModal modal;
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

void PlatSetClipboardText(const char* cp932) {
    std::string utf8 = Cp932ToUtf8(cp932 ? cp932 : "");
    if (PlatIsHeadless()) HeadlessSetClipboard(utf8);
    else GuiSetClipboard(utf8);
}

void PlatDebugWindowOpen(int left, int top, const char* caption, const char* check_label,
                         void (*changed)(bool, bool)) {
    if (!caption) caption = "";
    if (!check_label) check_label = "";
    if (PlatIsHeadless()) HeadlessDebugWindowOpen(left, top, caption, check_label, changed);
    else DebugWindowOpen(left, top, caption, check_label, changed);
}

void PlatDebugWindowText(const char* cp932) {
    if (!cp932) cp932 = "";
    if (PlatIsHeadless()) HeadlessDebugWindowText(cp932);
    else DebugWindowText(cp932);
}

void PlatDebugWindowClose() {
    if (PlatIsHeadless()) HeadlessDebugWindowClose();
    else DebugWindowClose();
}

void PlatWindowPosition(int* left, int* top) {
    int x = 0, y = 0;
    if (PlatIsHeadless()) HeadlessWindowPosition(&x, &y);
    else SdlWindowPosition(&x, &y);
    if (left) *left = x;
    if (top) *top = y;
}

void PlatTextFieldClose() {
    if (PlatIsHeadless()) HeadlessTextFieldClose();
    else GuiTextFieldClose();
}
