// slotmenu_commands.cpp - savenumber and savename.  The menu lists at most
// SaveMenuSlotMax slots whatever savenumber says; each savename text is cut
// to 255 bytes on a character boundary.
#include "save/slotmenu_commands.h"

#include <string>

#include "core/readers.h"
#include "core/sjis.h"
#include "save/slot_menu.h"

void Cmd_savenumber() { SaveMenuSlotCount = ReadIntExpr(); }

void Cmd_savename() {
    std::string buffer(StrValueSize, '\0');
    for (int i = 0; i < 3; i++) {
        if (i) ExpectComma();
        ReadStrExpr(&buffer[0], StrValueSize);
        CopySjisBounded(SaveMenuTitles[i], SaveMenuTitleSize, buffer.c_str());
    }
}
