// mainwindow.h - the main window: creation, its procedure, painting the
// displayed picture, and the destruction path every normal end and fatal
// error takes.
#pragma once
#include <cstdint>

#include "graphics/compose.h"

void CreateMainWindow();   // creates it hidden, then runs StartEngine
intptr_t MainWndProc(uint32_t message, uintptr_t wparam, intptr_t lparam);
// Copies that rectangle of DestSurface (null = all of it) to the window.
void PaintWindow(const ScreenRect* rect);
// Saves the persistent data, shuts sound down and ends the process with 0.
[[noreturn]] void DestroyMainWindow();
