// menu.cpp - the window menu tree.  Nodes live in one fixed table; the bar
// is node 0 and every change hands a flat copy to the platform, which draws
// it and posts WM_COMMAND for a click.
#include "ui/menu.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "text/pass_defaults.h"
#include "ui/gui_messages.h"
#include "ui/mainwindow.h"
#include "ui/menu_commands.h"
#include "ui/window_links.h"

MenuNode MenuNodes[MenuNodeLimit];
static int MenuNodeCount;
int32_t MenuWasReset;
int32_t CustomFontMenu = -1;
int32_t TaveloMode;
int32_t MenuDeleted;
static bool MenuAttached;
static bool MenuBuilt;  // the built-in bar was made once

char FontMenuNames[FontMenuLimit][FontNameSize];
int32_t FontMenuCount;
uint32_t SelectedFontItem = CmdDefaultFont;
int32_t PageAtATime;
int32_t TextSpeedIndex = 1;

// ---- the tree --------------------------------------------------------------------

static void ResetTree() {
    MenuNodeCount = 1;
    MenuNode& bar = MenuNodes[0];
    bar = MenuNode();
    bar.submenu = true;
    bar.child = bar.next = -1;
    CustomFontMenu = -1;
}

// The bar exists, empty, before the first menu is built.
static struct EmptyBar {
    EmptyBar() { ResetTree(); }
} StartEmpty;

int InsertMenuNode(int parent, const char* caption, uint32_t command, bool submenu) {
    if (parent < 0 || parent >= MenuNodeCount || !MenuNodes[parent].submenu) return -1;
    if (MenuNodeCount >= MenuNodeLimit) return -1;
    int i = MenuNodeCount++;
    MenuNode& n = MenuNodes[i];
    snprintf(n.caption, sizeof n.caption, "%s", caption ? caption : "");
    n.command = command;
    n.submenu = submenu;
    n.checked = false;
    n.child = -1;
    n.next = MenuNodes[parent].child;
    MenuNodes[parent].child = i;
    return i;
}

int FirstSubmenu(int parent) {
    if (parent < 0 || parent >= MenuNodeCount) return -1;
    int c = MenuNodes[parent].child;
    return c >= 0 && MenuNodes[c].submenu ? c : -1;
}

bool DeleteTopMenuEntry(int n) {
    if (n < 0) return false;
    int* link = &MenuNodes[0].child;
    for (int k = 0; *link >= 0 && k < n; k++) link = &MenuNodes[*link].next;
    if (*link < 0) return false;
    if (*link == CustomFontMenu) CustomFontMenu = -1;
    *link = MenuNodes[*link].next;  // its nodes stay unused until the next bar
    return true;
}

// Appends the entries of `parent`'s children, depth first.
static void Flatten(int parent, int depth, std::vector<PlatMenuEntry>* out) {
    for (int c = MenuNodes[parent].child; c >= 0; c = MenuNodes[c].next) {
        PlatMenuEntry e;
        e.caption = MenuNodes[c].caption;
        e.command = MenuNodes[c].submenu ? 0 : MenuNodes[c].command;
        e.depth = depth;
        e.checked = MenuNodes[c].checked;
        out->push_back(e);
        if (MenuNodes[c].submenu) Flatten(c, depth + 1, out);
    }
}

void PublishMenu() {
    std::vector<PlatMenuEntry> flat;
    Flatten(0, 0, &flat);
    PlatSetMenu(flat, MenuAttached);
}

void SetMenuAttached(bool on) {
    MenuAttached = on;
    PublishMenu();
}

void SetMenuCheck(uint32_t command, bool checked) {
    bool changed = false;
    for (int i = 1; i < MenuNodeCount; i++)
        if (!MenuNodes[i].submenu && MenuNodes[i].command == command && MenuNodes[i].checked != checked) {
            MenuNodes[i].checked = checked;
            changed = true;
        }
    if (changed) PublishMenu();
}

// ---- the built-in bar ---------------------------------------------------------------

struct DefaultEntry {
    int depth;
    const char* caption;
    uint32_t command;  // 0: a submenu
    bool checked;
};

static const DefaultEntry DefaultMenu[] = {
    {0, MnScreen, 0, false},
    {1, MnFullScreen, CmdFullScreen, false},
    {1, MnWindow, CmdWindowMode, true},
    {0, MnFont, 0, false},
    {1, MnDefault, CmdDefaultFont, false},
    {0, MnDisplay, 0, false},
    {1, MnDefault, CmdLineMode, true},
    {1, MnPage, CmdPageMode, false},
    {0, MnTextSpeed, 0, false},
    {1, MnSlow, CmdSpeedSlow, false},
    {1, MnNormal, CmdSpeedNormal, true},
    {1, MnFast, CmdSpeedFast, false},
    {0, MnVolume, 0, false},
    {1, MnOn, CmdSoundOn, true},
    {1, MnOff, CmdSoundOff, false},
    {1, MnVolume, CmdVolume, false},
    {0, MnSkip, CmdSkip, false},
    {0, MnAutoMode, CmdAutoMode, false},
    {0, MnCdDa, 0, false},
    {1, MnCdDrive, CmdCdDrive, false},
    {1, MnCdPlay, 0, false},
    {2, MnOn, CmdCdOn, true},
    {2, MnOff, CmdCdOff, false},
    {0, MnVersion, CmdVersion, false},
    {0, MnEnd, CmdClose, false},
};

// Appends after the last child of `parent` (the table is in reading order).
static int AppendMenuNode(int parent, const DefaultEntry& d) {
    int i = InsertMenuNode(parent, d.caption, d.command, d.command == 0);
    if (i < 0) return -1;
    // InsertMenuNode put it first: move it behind its siblings.
    MenuNodes[parent].child = MenuNodes[i].next;
    MenuNodes[i].next = -1;
    int* link = &MenuNodes[parent].child;
    while (*link >= 0) link = &MenuNodes[*link].next;
    *link = i;
    MenuNodes[i].checked = d.checked;
    return i;
}

void BuildDefaultMenu() {
    MenuBuilt = true;
    ResetTree();
    int parents[4] = {0, -1, -1, -1};
    for (const DefaultEntry& d : DefaultMenu) {
        int i = AppendMenuNode(parents[d.depth], d);
        if (d.command == 0) parents[d.depth + 1] = i;
    }
    MenuAttached = true;
    PublishMenu();
}

void ClearMenu() {
    ResetTree();
    PublishMenu();
}

// ---- keywords ------------------------------------------------------------------------

struct MenuKeyword {
    const char* keyword;
    int32_t command;
};

static const MenuKeyword MenuKeywords[] = {
    {"RESET", 40028}, {"END", 40001}, {"FULL", 40002}, {"WINDOW", 40003},
    {"VERSION", 40005}, {"SKIP", 40006}, {"AUTO", 40019}, {"CDDRIVE", 40020},
    {"DWAVEVOLUME", 40024}, {"WAVEON", 40017}, {"WAVEOFF", 40018}, {"CDON", 40021},
    {"CDOFF", 40022}, {"TEXTSLOW", 40014}, {"TEXTMIDDLE", 40015}, {"TEXTFAST", 40016},
    {"CLICKDEF", 40008}, {"CLICKPAGE", 40007}, {"KIDOKUON", 40025}, {"KIDOKUOFF", 40026},
    {"TEXTSPEED", 40030}, {"AUTOSPEED", 40031},
};

int32_t FindMenuKeyword(const char* word) {
    char up[64];
    size_t n = 0;
    for (; word[n] && n + 1 < sizeof up; n++) up[n] = (char)(word[n] >= 'a' && word[n] <= 'z' ? word[n] - 32 : word[n]);
    up[n] = 0;
    if (word[n]) return -1;  // longer than any keyword
    for (const MenuKeyword& k : MenuKeywords)
        if (!strcmp(k.keyword, up)) return k.command;
    return -1;
}

// ---- font items -------------------------------------------------------------------------

// The Japanese font families fontconfig knows, sorted by name, with whether
// each may be listed: a TrueType (or OpenType) face of fixed pitch whose
// name does not begin with '@' and converts to CP932.
struct FontFamily {
    std::string name;  // CP932
    bool listed;
};

static std::vector<FontFamily> JapaneseFamilies() {
    std::vector<FontFamily> out;
    if (!FcInit()) return out;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_LANG, (const FcChar8*)"ja");
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, FC_SPACING, FC_FONTFORMAT, nullptr);
    FcFontSet* set = FcFontList(nullptr, pat, os);
    struct Seen {
        std::string utf8;
        bool listed;
    };
    std::vector<Seen> seen;
    for (int i = 0; set && i < set->nfont; i++) {
        FcChar8* fam = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &fam) != FcResultMatch || !fam) continue;
        int spacing = FC_PROPORTIONAL;
        FcPatternGetInteger(set->fonts[i], FC_SPACING, 0, &spacing);
        FcChar8* format = nullptr;
        FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format);
        bool truetype = format && (!strcmp((const char*)format, "TrueType") || !strcmp((const char*)format, "CFF"));
        bool listed = truetype && spacing >= FC_DUAL;
        std::string name = (const char*)fam;
        auto at = std::find_if(seen.begin(), seen.end(), [&](const Seen& s) { return s.utf8 == name; });
        if (at == seen.end()) seen.push_back({name, listed});
        else at->listed = at->listed || listed;
    }
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    std::sort(seen.begin(), seen.end(), [](const Seen& a, const Seen& b) { return a.utf8 < b.utf8; });
    for (const Seen& s : seen) {
        std::string cp = Utf8ToCp932(s.utf8);
        bool converts = Cp932ToUtf8(cp) == s.utf8;
        out.push_back({cp, s.listed && converts && !cp.empty() && cp[0] != '@' && cp.size() < FontNameSize});
    }
    return out;
}

// The item 40004 under `menu`, or -1.
static int DefaultFontItem(int menu) {
    for (int c = MenuNodes[menu].child; c >= 0; c = MenuNodes[c].next)
        if (!MenuNodes[c].submenu && MenuNodes[c].command == CmdDefaultFont) return c;
    return -1;
}

// The submenu of the built-in bar that holds the item 40004.
static int BuiltInFontMenu() {
    for (int c = MenuNodes[0].child; c >= 0; c = MenuNodes[c].next)
        if (MenuNodes[c].submenu && DefaultFontItem(c) >= 0) return c;
    return -1;
}

void EnumerateMenuFonts(int into) {
    int menu = into >= 0 ? into : BuiltInFontMenu();
    FontMenuCount = 0;
    static std::vector<FontFamily> families;  // fontconfig is asked once a run
    static bool asked;
    if (!asked) {
        families = JapaneseFamilies();
        asked = true;
    }
    if (menu >= 0) {
        // The items of an earlier pass go first.
        int* link = &MenuNodes[menu].child;
        while (*link >= 0)
            if (!MenuNodes[*link].submenu && MenuNodes[*link].command >= FontCommandBase) *link = MenuNodes[*link].next;
            else link = &MenuNodes[*link].next;
    }
    for (const FontFamily& f : families) {
        if (FontMenuCount > FontMenuLimit - 1) break;
        if (f.listed) {
            snprintf(FontMenuNames[FontMenuCount], FontNameSize, "%s", f.name.c_str());
            if (menu >= 0) {
                // In front of the item 40004: fonts in their order, ahead of デフォルト.
                int i = InsertMenuNode(menu, f.name.c_str(), FontCommandBase + (uint32_t)FontMenuCount, false);
                if (i >= 0) {
                    MenuNodes[menu].child = MenuNodes[i].next;
                    int* link = &MenuNodes[menu].child;
                    while (*link >= 0 && !(MenuNodes[*link].command == CmdDefaultFont && !MenuNodes[*link].submenu))
                        link = &MenuNodes[*link].next;
                    MenuNodes[i].next = *link;
                    *link = i;
                }
            }
        }
        FontMenuCount++;
    }
    PublishMenu();
}

// ---- start-up passes -------------------------------------------------------------------

void UpdateMenuForPass(bool restart) {
    // Each pass runs *define afresh: its resetmenu starts over.
    MenuRebuilt = 0;
    MenuWasReset = 0;
    if (!MenuBuilt) BuildDefaultMenu();
    SetMenuCheck(CmdDefaultFont, true);
    if (restart && !MenuDeleted && !FullScreen) SetMenuAttached(true);
}

void EnumerateFontsForMenu() { EnumerateMenuFonts(-1); }
