// quake_commands.h - script commands (not built yet: see quake_commands.cpp).
#pragma once

void Cmd_flushout();
void Cmd_panoramatest();
void Cmd_quake();
void Cmd_quakex();
void Cmd_quakey();
void Cmd_yugami();
