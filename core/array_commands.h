// array_commands.h - dim (declares an array, *define only) and movl (fills
// one row of an array's last dimension).
#pragma once

void Cmd_dim();
void Cmd_movl();
