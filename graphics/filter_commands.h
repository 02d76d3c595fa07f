// filter_commands.h - the commands of the screen filters and overlays: nega,
// monocro, bar, barclear, prnum, prnumclear.  They change the settings in
// graphics/filters.h and mark the screen dirty; the next composition draws.
#pragma once

void Cmd_bar();
void Cmd_barclear();
void Cmd_monocro();
void Cmd_nega();
void Cmd_prnum();
void Cmd_prnumclear();
