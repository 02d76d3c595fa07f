// rootsize.cpp - the size of the X root window, asked over SDL's own
// connection through the Xlib SDL loaded (nothing is linked), apart from
// sdl.cpp because the window-manager header brings Xlib's names along.
#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include "platform/sdl/sdl_internal.h"

bool SdlRootSize(SDL_Window* window, int* w, int* h) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    typedef unsigned long (*DefaultRoot)(void*);
    typedef int (*GetGeometry)(void*, unsigned long, unsigned long*, int*, int*, unsigned*, unsigned*, unsigned*,
                               unsigned*);
    static DefaultRoot root_of;
    static GetGeometry geometry;
    if (!geometry) {
        void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        if (!xlib) return false;
        root_of = (DefaultRoot)dlsym(xlib, "XDefaultRootWindow");
        geometry = (GetGeometry)dlsym(xlib, "XGetGeometry");
        dlclose(xlib);  // SDL keeps it loaded
        if (!root_of || !geometry) {
            geometry = nullptr;
            return false;
        }
    }
    void* dpy = info.info.x11.display;
    unsigned long root_back;
    int x, y;
    unsigned rw, rh, border, depth;
    if (!geometry(dpy, root_of(dpy), &root_back, &x, &y, &rw, &rh, &border, &depth)) return false;
    *w = (int)rw;
    *h = (int)rh;
    return true;
}

