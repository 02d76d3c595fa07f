// menu_commands.cpp - the define-block commands that make the window menu,
// the menu_* commands that click its items, and what game does with it.
#include "ui/menu_commands.h"

#include <cstdio>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/sjis.h"
#include "platform/platform.h"
#include "save/readlog.h"
#include "sound/window_sound.h"
#include "text/display.h"
#include "text/textline.h"
#include "ui/define_end.h"
#include "ui/gui_messages.h"
#include "ui/mainwindow.h"
#include "ui/menu.h"
#include "ui/window_links.h"

int32_t MenuRebuilt = 0;

void Cmd_deletemenu() {
    MenuDeleted = 1;
    MenuRebuilt = 1;
}

void Cmd_resetmenu() {
    MenuRebuilt = 1;
    if (MenuWasReset) ScriptError(CapError, MsgResetmenuTwice);
    MenuWasReset = 1;
    ClearMenu();
}

// insertmenu caption, keyword[, depth]: the item goes to position 0 of the
// bar or of the submenu `depth` levels down its first entries.
void Cmd_insertmenu() {
    if (!MenuWasReset) ScriptError(CapError, MsgInsertmenuNoReset);
    char caption[MenuCaptionSize];
    ReadStrExpr(caption, sizeof caption);
    ExpectComma();
    char word[WordBufferSize];
    char next = ReadWord(word);
    int target = 0;
    if (next == ',') {
        ExpectComma();
        int32_t depth = ReadIntExpr();
        // A level whose first entry is no submenu ends the descent there.
        for (int32_t d = 0; d < depth; d++) {
            int sub = FirstSubmenu(target);
            if (sub < 0) break;
            target = sub;
        }
    }
    if (!strcmp(word, "textspeed")) TextSpeedDialogInMenu = 1;
    int32_t command = FindMenuKeyword(word);
    if (command >= 0) {
        InsertMenuNode(target, caption, (uint32_t)command, false);
    } else if (!strcmp(word, "font")) {
        int sub = InsertMenuNode(target, caption, 0, true);
        if (sub >= 0) {
            int def = InsertMenuNode(sub, MnDefault, CmdDefaultFont, false);
            if (def >= 0) MenuNodes[def].checked = true;
            CustomFontMenu = sub;
            EnumerateMenuFonts(sub);
        }
    } else if (!strcmp(word, "sub")) {
        InsertMenuNode(target, caption, 0, true);
    } else {
        ScriptError(CapError, MsgInsertmenuKeyword);
    }
    PublishMenu();
}

void Cmd_killmenu() {
    int32_t n = ReadIntExpr();
    if (DeleteTopMenuEntry(n)) PublishMenu();
}

void Cmd_mode_ext() {}
void Cmd_automode() {}
void Cmd_english() { EnglishMode = 1; }

void Cmd_englishdialog() {
    snprintf(QuitQuestion, sizeof QuitQuestion, "%s", "quit?");
    snprintf(QuitCaption, sizeof QuitCaption, "%s", "quit");
    snprintf(ResetQuestion, sizeof ResetQuestion, "%s", "return to main menu?");
    snprintf(ResetCaption, sizeof ResetCaption, "%s", "reset");
}

void Cmd_mode_tavelo() { TaveloMode = 1; }

// versionstr line, line: each kept to 255 bytes, whole characters.
void Cmd_versionstr() {
    ReadStrExpr(VersionLine, sizeof VersionLine);
    ExpectComma();
    ReadStrExpr(CreditLine, sizeof CreditLine);
    TrimSjisTail(VersionLine);
    TrimSjisTail(CreditLine);
}

// ---- menu_* ------------------------------------------------------------------------------

// 50 passes of one message and 1 ms, the command, 50 passes more: the
// command has been carried out when the script goes on.
static void ClickMenuItem(uint32_t command) {
    for (int i = 0; i < 50; i++) {
        PumpMessage();
        PlatSleep(1);
    }
    PlatPostMessage(WM_COMMAND, command, 0);
    for (int i = 0; i < 50; i++) {
        PumpMessage();
        PlatSleep(1);
    }
}

void Cmd_menu_full() { ClickMenuItem(CmdFullScreen); }
void Cmd_menu_window() { ClickMenuItem(CmdWindowMode); }
void Cmd_menu_click_page() { ClickMenuItem(CmdPageMode); }
void Cmd_menu_click_def() { ClickMenuItem(CmdLineMode); }
void Cmd_menu_automode() { ClickMenuItem(CmdAutoMode); }
void Cmd_menu_dwavvol() { ClickMenuItem(CmdVolume); }
void Cmd_menu_cd_on() { ClickMenuItem(CmdCdOn); }
void Cmd_menu_end() { ClickMenuItem(CmdClose); }

void Cmd_menu_cd_off() {
    for (int i = 0; i < 50; i++) PumpMessageOrSleep();
    PlatPostMessage(WM_COMMAND, CmdCdOff, 0);
    for (int i = 0; i < 50; i++) PumpMessageOrSleep();
}

// ---- game -------------------------------------------------------------------------------

void DropDeletedMenu() {
    if (!MenuDeleted) return;
    SetMenuAttached(false);
    if (FullScreen != 1) RecentreWindow(ScreenWidth, ScreenHeight);
}

void RestoreResetMenu() {
    if (!MenuWasReset) return;
    if (FullScreen != 1) SetMenuAttached(true);
    PlatPostMessage(WM_COMMAND, FullScreen == 1 ? CmdFullScreen : CmdWindowMode, 0);
    PlatPostMessage(WM_COMMAND, SoundOn ? CmdSoundOn : CmdSoundOff, 0);
    PlatPostMessage(WM_COMMAND, KidokuMode ? CmdKidokuOn : CmdKidokuOff, 0);
    PlatPostMessage(WM_COMMAND, CdOn ? CmdCdOn : CmdCdOff, 0);
    PlatPostMessage(WM_COMMAND, PageAtATime ? CmdPageMode : CmdLineMode, 0);
    PlatPostMessage(WM_COMMAND, CmdSpeedSlow + (uint32_t)(TextSpeedIndex < 0 ? 0 : TextSpeedIndex > 2 ? 2 : TextSpeedIndex), 0);
    SelectedFontItem = (uint32_t)-1;
    PlatPostMessage(WM_COMMAND, CmdDefaultFont, 0);
}
