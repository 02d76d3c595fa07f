// sdl_internal.h - what the SDL backend's window (sdl.cpp) and its in-window
// GUI (gui.cpp) offer each other.
#pragma once
#include <SDL.h>

#include <cstdint>

// ---- the window (sdl.cpp) --------------------------------------------------------------
SDL_Window* SdlWindow();
SDL_Renderer* SdlRenderer();
// Draws again at the next present, or at once when none came for a while.
void SdlRequestRender();
void SdlRenderNow();
// The menu bar came or went: the window takes its height (not in full screen).
void SdlLayoutChanged();
bool SdlFullScreenNow();
bool SdlWindowShown();
// The X root window's size on the window's display; false on other
// displays or when it cannot be asked (rootsize.cpp).
bool SdlRootSize(SDL_Window* window, int* w, int* h);
// 1 while a Ctrl key is held, whatever window has the keyboard, as the X
// server of the window's display knows it; -1 on other displays or when
// it cannot be asked (xkeyboard.cpp).
int SdlX11CtrlHeld(SDL_Window* window);
// A client point in window coordinates (the picture's scale and place).
void SdlClientToWindow(int x, int y, float* wx, float* wy);
// A dialog came or went: the pointer shows over it even when the game
// hides it.
void SdlPointerChanged();
// A dialog or box opens over the window: the window takes the keyboard
// when another window of the program has it.
void SdlFocusForModal();
// The virtual key of a mouse button (VK_LBUTTON ...), 0 for another.
int SdlButtonVk(Uint8 button);
// The window an event is for; 0 for an event of no window.
Uint32 SdlEventWindowId(const SDL_Event& e);

// ---- the GUI (gui.cpp) ------------------------------------------------------------------
// Starts building the GUI's glyphs (at the window's creation).
void GuiPrepare();
// The glyphs every ImGui context of the program shares (built at the first
// call; null when no face could be loaded).
struct ImFontAtlas;
ImFontAtlas* GuiFontAtlas();
// Gives the current ImGui context the GUI's settings and look.
void GuiSetUpContext();
// Before a frame of the current context, after its renderer's NewFrame:
// the atlas's texture on that renderer (kept in *texture).
void GuiUseFontTexture(void** texture);
// The height the menu bar takes above the picture while attached.
int GuiBarHeight();
// Draws the bar, the field and the open dialog over what the renderer holds.
void GuiDraw();
bool GuiVisible();
// Something is being interacted with: frames are wanted even without presents.
bool GuiWantsFrames();
// A modal dialog or message box is open.
bool GuiModal();
// An SDL event the GUI takes (the window does not get it then).
bool GuiTakeEvent(const SDL_Event& e);
// The pointer at this window point is over the GUI (a dialog, the open
// menu or the bar), where it always shows.
bool GuiWantsPointer(int wx, int wy);
// A message box drawn in the window, or in a window of its own while the
// game's does not show; -1 when no window can show one.
int GuiMessageBox(const char* text, const char* caption, uint32_t flags);
// An event of the box's own window: handled there (true).
bool GuiBoxWindowTakeEvent(const SDL_Event& e);
void GuiShutdown();
// The characters of a text the GUI's font has no glyph for (-1 without a
// window to draw in).
int GuiMissingGlyphs(const char* cp932);

// ---- the debug window (debugwin.cpp) ---------------------------------------------------
// An event of the debug window: handled there (true).
bool DebugWindowTakeEvent(const SDL_Event& e);
// The queue found empty: the debug window is drawn when due.
void DebugWindowIdle();
// It has a new text or input to show: frames are wanted.
bool DebugWindowWantsFrames();
// Closes it without telling the engine (before the GUI goes).
void DebugWindowShutdown();
