// xkeyboard.cpp - the Ctrl key's state asked of the X server over SDL's own
// connection, through the Xlib SDL loaded (nothing is linked): the server
// knows it whatever window has the keyboard, where SDL only follows the
// keys its own windows get.  Apart from sdl.cpp because the window-manager
// header brings Xlib's names along.
#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include "platform/sdl/sdl_internal.h"

int SdlX11CtrlHeld(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return -1;
    typedef int (*QueryKeymap)(void*, char*);
    typedef unsigned char (*KeysymToKeycode)(void*, unsigned long);
    static QueryKeymap query;
    static unsigned char codes[2];  // Control_L, Control_R; 0 where the keyboard has none
    static void* asked_on;          // the display the codes belong to
    void* dpy = info.info.x11.display;
    if (!query || asked_on != dpy) {
        void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        if (!xlib) return -1;
        query = (QueryKeymap)dlsym(xlib, "XQueryKeymap");
        auto to_code = (KeysymToKeycode)dlsym(xlib, "XKeysymToKeycode");
        dlclose(xlib);  // SDL keeps it loaded
        if (!query || !to_code) {
            query = nullptr;
            return -1;
        }
        codes[0] = to_code(dpy, 0xFFE3);  // XK_Control_L
        codes[1] = to_code(dpy, 0xFFE4);  // XK_Control_R
        asked_on = dpy;
    }
    char keys[32];
    if (!query(dpy, keys)) return -1;
    for (unsigned char c : codes)
        if (c && (keys[c / 8] >> (c % 8)) & 1) return 1;
    return 0;
}
