// slot_menu.cpp - the slot menu and the save/load dialog.  The menu draws
// its title and one line per slot with DrawStringAt at pixel positions
// (negative row and column), tracks the hovered slot from mouse moves (the
// Up and Down keys move the pointer, so the hover follows the move they
// cause) and returns on a click or Enter on a usable slot, a right click,
// Esc or a reset request.  It lists at most SaveMenuSlotMax slots and sleeps
// between polls of an empty queue.
#include "save/slot_menu.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/sjis.h"
#include "core/script.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "save/savepoint.h"
#include "sound/voices.h"
#include "text/glyph.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/selections.h"
#include "text/textwindow.h"

int32_t SaveMenuSlotCount = 9;
char SaveMenuTitles[3][SaveMenuTitleSize];
int32_t SaveDialogMode = 0;
SaveLoadDialogState SaveLoadDialog;

static const char FullSpace[] = "\x81@";  // 　
static const char FullDash[] = "\x81|";   // －

void SetSlotMenuPassDefaults() {
    SaveMenuSlotCount = 9;
    strcpy(SaveMenuTitles[0], "\x81\x83\x83Z\x81[\x83u\x81\x84");      // ＜セーブ＞
    strcpy(SaveMenuTitles[1], "\x81\x83\x83\x8d\x81[\x83h\x81\x84");   // ＜ロード＞
    strcpy(SaveMenuTitles[2], "\x82\xb5\x82\xa8\x82\xe8");             // しおり
}

// Each ASCII digit becomes its full-width form ("０" 0x82 0x4F ...), each
// space "　"; two-byte characters are copied whole.
static void AppendFullWidth(std::string* out, const char* s) {
    for (size_t i = 0; s[i];) {
        unsigned char c = (unsigned char)s[i];
        if (IsSjisLead(c) && s[i + 1]) {
            out->append(s + i, 2);
            i += 2;
            continue;
        }
        if (c >= '0' && c <= '9') {
            out->push_back('\x82');
            out->push_back((char)(0x4F + (c - '0')));
        } else if (c == ' ') {
            out->append(FullSpace);
        } else {
            out->push_back((char)c);
        }
        i++;
    }
}

std::string SaveMenuSlotText(int i, bool* exists) {
    std::string t = SaveMenuTitles[2];
    int count = SaveMenuSlotCount;
    if (count > 9 && i < 9) t += FullSpace;
    char number[16];
    snprintf(number, sizeof number, "%d", i + 1);
    AppendFullWidth(&t, number);
    t += FullSpace;
    std::string file = SlotFileName(i + 1, "dat");
    *exists = PlatExists(file.c_str());
    struct stat st;
    if (*exists && stat(PlatResolve(file.c_str()).c_str(), &st) == 0) {
        time_t when = st.st_mtime;
        struct tm lt;
        localtime_r(&when, &lt);
        char stamp[64];
        // %2d月%2d日%2d時%02d分
        snprintf(stamp, sizeof stamp, "%2d\x8c\x8e%2d\x93\xfa%2d\x8e\x9e%02d\x95\xaa", lt.tm_mon + 1,
                 lt.tm_mday, lt.tm_hour, lt.tm_min);
        AppendFullWidth(&t, stamp);
    } else {
        // No file, or one whose time cannot be read: the dashes.
        for (int k = 0; k < 12; k++) t += FullDash;
    }
    return t;
}

static void PlayMenuSound(const std::string& name) {
    if (!name.empty()) PlayClickVoice(name.c_str());
}

namespace {

struct SlotMenu {
    int count = 0;
    std::string texts[SaveMenuSlotMax];
    bool exists[SaveMenuSlotMax] = {};
    int32_t left = 1, right = 1, firstTop = 1, line = 1;
    int hovered = -1;

    int32_t Top(int i) const { return firstTop + i * line; }
    void Draw(int i, uint32_t color) {
        int32_t row = -Top(i), column = -left;
        DrawStringAt(row, column, texts[i].c_str(), color);
    }
    void DrawPlain(int i) { Draw(i, exists[i] ? MenuSelectColors[1] : MenuSelectColors[2]); }
    int Hit(int32_t x, int32_t y) const {
        for (int i = 0; i < count; i++)
            if (y >= Top(i) && y < Top(i) + line && x >= left && x <= right) return i;
        return -1;
    }
};

}  // namespace

// Moves the pointer to a slot; the hover follows the mouse move it causes.
static void PointAt(const SlotMenu& m, int i) { PlatWarpCursor(m.left, m.Top(i)); }

int32_t RunSaveLoadMenu(int mode, char* caption) {
    if (caption) caption[0] = 0;
    SlotMenu m;
    m.count = SaveMenuSlotCount < 0 ? 0 : SaveMenuSlotCount > SaveMenuSlotMax ? SaveMenuSlotMax : SaveMenuSlotCount;
    const char* title = SaveMenuTitles[mode ? 0 : 1];
    int64_t half = ScreenWidth / 2;
    int64_t tx = half - (int64_t)strlen(title) * MenuCharAdvance / 4;
    int64_t ty = ScreenHeight / 2 - (int64_t)(m.count / 2 + 1) * MenuLineAdvance;
    int32_t titleX = tx < 1 ? 1 : (int32_t)tx, titleY = ty < 1 ? 1 : (int32_t)ty;

    PlayMenuSound(MenuVoiceEnter);
    uint32_t textColor = (uint32_t)(TextColorRed & 0xFF) << 16 | (uint32_t)(TextColorGreen & 0xFF) << 8 |
                         (uint32_t)(TextColorBlue & 0xFF);
    {
        int32_t row = -titleY, column = -titleX;
        DrawStringAt(row, column, title, textColor);
    }

    for (int i = 0; i < m.count; i++) m.texts[i] = SaveMenuSlotText(i, &m.exists[i]);
    // A line step below 1 would stack every slot on one row.
    m.line = MenuLineAdvance < 1 ? 1 : MenuLineAdvance;
    int64_t width = m.count ? (int64_t)m.texts[0].size() * MenuCharAdvance / 4 : 0;
    int64_t left = half - width, first = ScreenHeight / 2 - (int64_t)(m.count / 2 - 1) * m.line;
    m.left = left < 1 ? 1 : (int32_t)left;
    m.right = (int32_t)(half + width);
    m.firstTop = first < 1 ? 1 : (int32_t)first;
    for (int i = 0; i < m.count; i++) m.DrawPlain(i);

    uint32_t lastKeyMove = 0;
    for (;;) {
        bool got = PumpMessage();
        if (ResetRequested) return -1;
        // Keys repeat at most every 125 ms (or at once when the clock went back).
        uint32_t now = PlatTicks();
        bool keyTime = now - lastKeyMove > 125 || now < lastKeyMove;
        if (m.count > 0 && keyTime && (GetForegroundKeyState(VK_UP) & 0x8000)) {
            lastKeyMove = now;
            PointAt(m, m.hovered <= 0 ? m.count - 1 : m.hovered - 1);
        } else if (m.count > 0 && keyTime && (GetForegroundKeyState(VK_DOWN) & 0x8000)) {
            lastKeyMove = now;
            PointAt(m, m.hovered < 0 || m.hovered >= m.count - 1 ? 0 : m.hovered + 1);
        }
        bool esc = (GetForegroundKeyState(VK_ESCAPE) & 0x8000) != 0;
        if (!got && !esc) {
            // Nothing came: block until input, or until a held Up or Down
            // key moves again (headless, the empty poll moved the virtual
            // clock already).
            bool held = m.count > 0 && ((GetForegroundKeyState(VK_UP) | GetForegroundKeyState(VK_DOWN)) & 0x8000);
            IdleFor(held ? MsLeft(126, now - lastKeyMove) : IdleNoLimit, 0, false);
            continue;
        }
        if (got && LastMessage == WM_MOUSEMOVE) {
            int hit = m.Hit(LastX, LastY);
            if (hit < 0) {
                if (m.hovered >= 0) m.DrawPlain(m.hovered);
                m.hovered = -1;
            } else if (hit != m.hovered) {
                PlayMenuSound(MenuVoiceOver);
                if (m.hovered >= 0) m.DrawPlain(m.hovered);
                m.Draw(hit, MenuSelectColors[0]);
                m.hovered = hit;
            }
        }
        if (got && (LastMessage == WM_LBUTTONUP || (LastMessage == WM_CHAR && LastX == 13))) {
            Clicked = 0;
            if (m.hovered >= 0) {
                int i = m.hovered;
                if (mode || m.exists[i]) {
                    PlayMenuSound(MenuVoiceClick);
                    m.DrawPlain(i);
                    size_t n = strlen(SaveMenuTitles[2]) + (m.count < 10 ? 2 : 4);
                    if (n > m.texts[i].size()) n = m.texts[i].size();
                    if (n > SaveMenuCaptionSize - 1) n = SaveMenuCaptionSize - 1;
                    if (caption) {
                        memcpy(caption, m.texts[i].data(), n);
                        caption[n] = 0;
                    }
                    return i;
                }
                PlayMenuSound(MenuVoiceWarning);
            }
        }
        if ((got && LastMessage == WM_RBUTTONUP) || esc) {
            while (GetForegroundKeyState(VK_ESCAPE) & 0x8000) {
                if (!PumpMessage()) IdleFor(IdleNoLimit, 1, false);
                if (ResetRequested) return -1;
            }
            RightClicked = 0;
            if (!MenuVoiceCancel.empty()) {
                if (m.hovered >= 0) m.DrawPlain(m.hovered);
                PlayMenuSound(MenuVoiceCancel);
            }
            return -1;
        }
    }
}

int SaveLoadDialogProc(uint32_t message, uintptr_t wparam, intptr_t) {
    if (message == DialogInit) {
        if (SaveDialogMode) {
            SaveLoadDialog.caption = "\x83Z\x81[\x83u\x83\x81\x83j\x83\x85\x81[";  // セーブメニュー
            SaveLoadDialog.ok = "\x83Z\x81[\x83u";                                // セーブ
        } else {
            SaveLoadDialog.caption = "\x83\x8d\x81[\x83h\x83\x81\x83j\x83\x85\x81[";  // ロードメニュー
            SaveLoadDialog.ok = "\x83\x8d\x81[\x83h";                                // ロード
        }
        SaveLoadDialog.ended = false;
        return 0;
    }
    if (message == WM_COMMAND && ((wparam & 0xFFFF) == 1 || (wparam & 0xFFFF) == 2)) {
        SaveLoadDialog.ended = true;
        SaveLoadDialog.result = 0;
        return 1;
    }
    return 0;
}

int RunSaveLoadDialog() {
    SaveLoadDialogProc(DialogInit, 0, 0);
    // The list stays empty; OK and Cancel (Esc, the close box) both end it.
    int chosen = PlatListDialog(SaveLoadDialog.caption.c_str(), nullptr, 0, -1, SaveLoadDialog.ok.c_str(),
                                "\xb7\xac\xdd\xbe\xd9", false);  // ｷｬﾝｾﾙ
    SaveLoadDialogProc(WM_COMMAND, chosen >= 0 ? 1 : 2, 0);
    return SaveLoadDialog.result;
}
