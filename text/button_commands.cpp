// button_commands.cpp - the button-table and button-wait commands (stubs until built).
#include "text/button_commands.h"

#include "core/dispatch.h"

void Cmd_transbtn() { Cmd_Unbuilt(); }
void Cmd_btnnowindowerase() { Cmd_Unbuilt(); }
void Cmd_maskbtn() { Cmd_Unbuilt(); }
void Cmd_btncancel() { Cmd_Unbuilt(); }
void Cmd_getmouseover() { Cmd_Unbuilt(); }
void Cmd_getmclick() { Cmd_Unbuilt(); }
void Cmd_btndef() { Cmd_Unbuilt(); }
void Cmd_btn() { Cmd_Unbuilt(); }
void Cmd_spbtn() { Cmd_Unbuilt(); }
void Cmd_spbtn2() { Cmd_Unbuilt(); }
void Cmd_cellcheckspbtn() { Cmd_Unbuilt(); }
void Cmd_existspbtn() { Cmd_Unbuilt(); }
void Cmd_delbtn() { Cmd_Unbuilt(); }
void Cmd_btnarea() { Cmd_Unbuilt(); }
void Cmd_btndown() { Cmd_Unbuilt(); }
void Cmd_btn0down() { Cmd_Unbuilt(); }
void Cmd_spclclk() { Cmd_Unbuilt(); }
void Cmd_getpageup() { Cmd_Unbuilt(); }
void Cmd_getskipoff() { Cmd_Unbuilt(); }
void Cmd_getinsert() { Cmd_Unbuilt(); }
void Cmd_getzxc() { Cmd_Unbuilt(); }
void Cmd_getpage() { Cmd_Unbuilt(); }
void Cmd_getcursor() { Cmd_Unbuilt(); }
void Cmd_getfunction() { Cmd_Unbuilt(); }
void Cmd_gettab() { Cmd_Unbuilt(); }
void Cmd_getenter() { Cmd_Unbuilt(); }
void Cmd_escoutcursor() { Cmd_Unbuilt(); }
void Cmd_btnwait() { Cmd_Unbuilt(); }
void Cmd_btntime() { Cmd_Unbuilt(); }
void Cmd_btntimer() { Cmd_Unbuilt(); }
void Cmd_btntime2() { Cmd_Unbuilt(); }
void Cmd_btnwait2() { Cmd_Unbuilt(); }
void Cmd_getbtntimer() { Cmd_Unbuilt(); }
void Cmd_selectbtnwait() { Cmd_Unbuilt(); }
void Cmd_tbtnwait() { Cmd_Unbuilt(); }
void Cmd_textbtnwait() { Cmd_Unbuilt(); }
void Cmd_isdown() { Cmd_Unbuilt(); }
