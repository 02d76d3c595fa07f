// menubar.cpp - the window menu's state and its keyboard.  Released alone,
// Alt (or F10) puts the menu in menu mode with the first bar entry
// highlighted; Left and Right move along the bar, Down and Enter open a
// submenu, Up and Down move in it, Right and Left open and close nested
// ones, Enter chooses an item and Esc closes one level after another.
// While the menu is in menu mode every key is its own, as in the modal
// loop of a menu.
#include "platform/common/menubar.h"

static MenuBarState S;
static std::vector<PlatMenuEntry> Entries;
static bool Attached;
static int Blocked;    // modal dialogs open
static bool Follow;    // a submenu was open: moving along the bar opens the next one
static bool Taken[256];  // presses the menu took, until released
static bool Held[256];   // keys down as of the key messages taken
static bool AltAlone;  // Alt went down with no other key held, and none since

const MenuBarState& MenuBarNow() { return S; }
const std::vector<PlatMenuEntry>& MenuBarEntries() { return Entries; }
bool MenuBarShown() { return Attached && !Entries.empty(); }
bool MenuBarUsable() { return MenuBarShown() && Blocked == 0; }

// Closing also forgets a lone Alt: released after the window lost the
// focus (or after a click or a choice), it opens no menu.
void MenuBarClose() {
    S = MenuBarState();
    Follow = false;
    AltAlone = false;
}

static bool SameShape(const std::vector<PlatMenuEntry>& a, const std::vector<PlatMenuEntry>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); i++)
        if (a[i].depth != b[i].depth || a[i].command != b[i].command) return false;
    return true;
}

void MenuBarSet(const std::vector<PlatMenuEntry>& entries, bool attached) {
    bool same = SameShape(entries, Entries);
    Entries = entries;
    Attached = attached;
    if (!same || !MenuBarUsable()) MenuBarClose();
}

void MenuBarBlock(bool on) {
    Blocked += on ? 1 : -1;
    if (Blocked < 0) Blocked = 0;
    MenuBarClose();
}

void MenuBarReset() {
    MenuBarClose();
    Entries.clear();
    Attached = false;
    Blocked = 0;
    for (int i = 0; i < 256; i++) Taken[i] = Held[i] = false;
    AltAlone = false;
}

// ---- the tree ----------------------------------------------------------------------

static bool Valid(int i) { return i >= 0 && i < (int)Entries.size(); }

bool MenuBarIsSubmenu(int i) { return Valid(i) && Entries[(size_t)i].command == 0; }

std::vector<int> MenuBarChildren(int i) {
    std::vector<int> out;
    if (i >= 0 && !MenuBarIsSubmenu(i)) return out;
    int depth = i < 0 ? 0 : Entries[(size_t)i].depth + 1;
    for (int k = i + 1; k < (int)Entries.size() && Entries[(size_t)k].depth >= depth; k++)
        if (Entries[(size_t)k].depth == depth) out.push_back(k);
    return out;
}

// The entries of `level`: the bar's, or those of the highlighted submenu
// one level up.
static std::vector<int> LevelEntries(int level) {
    if (level == 0) return MenuBarChildren(-1);
    int parent = S.sel[level - 1];
    return parent >= 0 ? MenuBarChildren(parent) : std::vector<int>();
}

// Shows the submenu of the highlighted entry at `level` as level + 1, its
// first (or last) entry highlighted when `highlight`.
static void OpenBelow(int level, bool highlight, bool last = false) {
    int i = S.sel[level];
    if (!MenuBarIsSubmenu(i) || level + 1 >= MenuBarLevels) return;
    S.open = level + 1;
    std::vector<int> c = MenuBarChildren(i);
    S.sel[level + 1] = highlight && !c.empty() ? (last ? c.back() : c.front()) : -1;
    Follow = true;
}

// Next or previous entry of a level, wrapping.
static int Step(int level, int from, int dir) {
    std::vector<int> e = LevelEntries(level);
    if (e.empty()) return -1;
    int n = (int)e.size(), at = -1;
    for (int k = 0; k < n; k++)
        if (e[(size_t)k] == from) at = k;
    if (at < 0) return dir > 0 ? e.front() : e.back();
    return e[(size_t)((at + dir + n) % n)];
}

// Another bar entry; its submenu shows when one was showing.
static void MoveAlongBar(int dir) {
    bool was_open = S.open > 0;
    S.sel[0] = Step(0, S.sel[0], dir);
    S.open = 0;
    if (was_open) OpenBelow(0, true);
}

// ---- choosing --------------------------------------------------------------------------

void MenuBarChoose(int i) {
    if (!Valid(i) || MenuBarIsSubmenu(i)) return;
    uint32_t command = Entries[(size_t)i].command;
    MenuBarClose();
    PlatPostMessage(WM_COMMAND, command, 0);
}

// ---- the mouse ---------------------------------------------------------------------------

void MenuBarPressEntry(int i) {
    if (!MenuBarUsable() || !Valid(i) || Entries[(size_t)i].depth != 0) return;
    if (S.active && S.sel[0] == i && S.open > 0) {
        MenuBarClose();
        return;
    }
    S = MenuBarState();
    S.active = true;
    S.sel[0] = i;
    OpenBelow(0, false);
}

void MenuBarHover(int level, int i) {
    if (!S.active || level < 0 || level >= MenuBarLevels || level > S.open || !Valid(i)) return;
    if (S.sel[level] == i && (level < S.open || !MenuBarIsSubmenu(i))) return;
    S.sel[level] = i;
    S.open = level;
    if (level > 0 || Follow) OpenBelow(level, false);
}

// ---- keys ---------------------------------------------------------------------------------

// A key in menu mode.
static void MenuKey(int vk) {
    int deepest = S.open;
    switch (vk) {
    case VK_ESCAPE:
        if (S.open > 0) S.open--;
        else MenuBarClose();
        break;
    case VK_MENU:
    case VK_F10:
        MenuBarClose();
        break;
    case VK_LEFT:
        if (S.open >= 2) S.open--;
        else MoveAlongBar(-1);
        break;
    case VK_RIGHT:
        if (S.open >= 1 && MenuBarIsSubmenu(S.sel[deepest])) OpenBelow(deepest, true);
        else MoveAlongBar(1);
        break;
    case VK_UP:
    case VK_DOWN:
        if (S.open == 0) OpenBelow(0, true, vk == VK_UP);
        else S.sel[deepest] = Step(deepest, S.sel[deepest], vk == VK_UP ? -1 : 1);
        break;
    case VK_RETURN: {
        int i = S.sel[deepest];
        if (MenuBarIsSubmenu(i)) OpenBelow(deepest, true);
        else if (i >= 0) MenuBarChoose(i);
        break;
    }
    default:
        break;  // taken, no effect
    }
}

static int ButtonOf(uint32_t message) {
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: return VK_LBUTTON;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: return VK_RBUTTON;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: return VK_MBUTTON;
    }
    return 0;
}

bool MenuBarTakeMessage(const PlatMsg& m) {
    int vk = (int)(m.wparam & 0xFF);
    switch (m.message) {
    case WM_KEYDOWN: {
        bool repeat = (m.lparam & 0x40000000) != 0;
        if (vk == VK_MENU) {
            if (!repeat) {
                AltAlone = true;
                for (int k = 0; k < 256; k++)
                    if (Held[k] && k != VK_MENU) AltAlone = false;
            }
        } else {
            AltAlone = false;
        }
        Held[vk] = true;
        if (!S.active && !Taken[vk]) return false;
        Taken[vk] = true;
        if (S.active) MenuKey(vk);
        return true;
    }
    case WM_KEYUP:
        Held[vk] = false;
        return MenuBarTakeRelease(vk);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        AltAlone = false;
        if (!S.active) {
            // A press that reaches the window is the game's, and so is its
            // release, even when the release of one the menu or a dialog
            // took never came.
            Taken[ButtonOf(m.message)] = false;
            return false;
        }
        // A click outside the open menu closes it and goes no further.
        MenuBarClose();
        Taken[ButtonOf(m.message)] = true;
        return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        return MenuBarTakeRelease(ButtonOf(m.message));
    case WM_MOUSEWHEEL:
        return S.active;
    }
    return false;
}

void MenuBarTakePress(int vk) {
    if (vk > 0 && vk < 256) Taken[vk] = true;
}

bool MenuBarTakeRelease(int vk) {
    if (vk <= 0 || vk >= 256 || !Taken[vk]) return false;
    Taken[vk] = false;
    return true;
}

bool MenuBarHolds(int vk) { return vk > 0 && vk < 256 && Taken[vk]; }

void MenuBarKeyReleased(int vk) {
    bool alone = AltAlone;
    AltAlone = false;
    if ((vk != VK_F10 && !(vk == VK_MENU && alone)) || !MenuBarUsable()) return;
    if (S.active) {
        MenuBarClose();
        return;
    }
    S = MenuBarState();
    S.active = true;
    std::vector<int> bar = MenuBarChildren(-1);
    S.sel[0] = bar.empty() ? -1 : bar.front();
}
