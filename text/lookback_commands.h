// lookback_commands.h - the lookback viewer's define-block settings: the
// page buttons as two sprites (lookbacksp) or four pictures
// (lookbackbutton), and the text colour (lookbackcolor).
#pragma once

void Cmd_lookbacksp();
void Cmd_lookbackbutton();
void Cmd_lookbackcolor();
