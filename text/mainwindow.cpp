// mainwindow.cpp - the main window and its procedure.
#include "text/mainwindow.h"

#include "core/script.h"
#include "core/startup.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "save/persist.h"
#include "sound/sound.h"

void CreateMainWindow() {
    PlatCreateWindow(ScreenWidth, ScreenHeight);
    RecentreWindow(ScreenWidth, ScreenHeight);
    PlatSetWindowProc(MainWndProc);
    StartEngine();
}

intptr_t MainWndProc(uint32_t message, uintptr_t, intptr_t) {
    switch (message) {
    case WM_CLOSE:
    case WM_DESTROY:
        DestroyMainWindow();
    default:
        return 0;
    }
}

void PaintWindow(const ScreenRect*) {
    if (HasPicture(&DestSurface))
        PlatPresent(DestSurface.dib.bits, DestSurface.dib.width, DestSurface.dib.height);
}

void DestroyMainWindow() {
    PlatKillTimer(1);
    SavePersistentData();
    ShutdownSound();
    PlatExit(0);
}
