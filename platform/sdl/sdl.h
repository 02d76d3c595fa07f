// sdl.h - the SDL backend's window and renderer, for tests that run it on
// SDL's dummy video driver.
#pragma once

struct SDL_Window;
struct SDL_Renderer;

SDL_Window* SdlWindow();      // null before PlatCreateWindow
SDL_Renderer* SdlRenderer();
// Counters since the start: copies to the display, and picture rows
// uploaded to the texture.
int SdlPresentCount();
int SdlUploadedRows();
