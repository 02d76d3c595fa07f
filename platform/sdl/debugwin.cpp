// debugwin.cpp - the debug window of the SDL backend: a second SDL window
// with its own renderer and ImGui context (sharing the GUI's glyphs), the
// trace text kept scrolled to its end above the step check box.  It is
// drawn when the queue runs empty, at most every 30 ms while its text
// changes, and at once when it is clicked.
#include <SDL.h>

#include <string>

#include "imgui.h"
#include "imgui_impl_sdl.h"
#include "imgui_impl_sdlrenderer.h"
#include "platform/common/gui_backends.h"
#include "platform/sdl/sdl_internal.h"

enum { DebugW = 480, DebugH = 240 };
enum : uint32_t { DebugFrameInterval = 30, DebugBusyMs = 250 };

struct DebugWin {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    ImGuiContext* context = nullptr;
    ImTextureID font_texture = nullptr;
    void (*changed)(bool, bool) = nullptr;
    std::string check_label;  // UTF-8
    std::string cp932;        // the text as given
    std::string text;         // its UTF-8, made when drawn
    bool text_new = false;    // not drawn yet: scroll to the end when it is
    bool checked = false;
    uint32_t last_frame = 0;
    uint32_t busy_until = 0;  // frames are drawn until then after input
};
static DebugWin D;

// Makes the debug window's context the current one for the life of the object.
struct DebugScope {
    ImGuiContext* outer;
    DebugScope() : outer(ImGui::GetCurrentContext()) { ImGui::SetCurrentContext(D.context); }
    ~DebugScope() { ImGui::SetCurrentContext(outer); }
};

static void Destroy() {
    if (D.context) {
        DebugScope scope;
        ImGui_ImplSDLRenderer_Shutdown();
        ImGui_ImplSDL2_Shutdown();
    }
    if (D.context) ImGui::DestroyContext(D.context);
    if (D.renderer) SDL_DestroyRenderer(D.renderer);
    if (D.window) SDL_DestroyWindow(D.window);
    D = DebugWin();
}

void DebugWindowOpen(int left, int top, const char* caption, const char* check_label, void (*changed)(bool, bool)) {
    Destroy();
    D.window = SDL_CreateWindow(Cp932ToUtf8(caption).c_str(), left, top, DebugW, DebugH, SDL_WINDOW_SHOWN);
    if (!D.window) {
        fprintf(stderr, "orva: cannot open the debug window (%s)\n", SDL_GetError());
        return;
    }
    D.renderer = SDL_CreateRenderer(D.window, -1, SDL_RENDERER_ACCELERATED);
    if (!D.renderer) D.renderer = SDL_CreateRenderer(D.window, -1, SDL_RENDERER_SOFTWARE);
    ImFontAtlas* atlas = GuiFontAtlas();
    if (!D.renderer || !atlas) {
        fprintf(stderr, "orva: cannot draw into the debug window (%s)\n", SDL_GetError());
        Destroy();
        return;
    }
    D.context = ImGui::CreateContext(atlas);
    {
        DebugScope scope;
        GuiSetUpContext();
        ImGui_ImplSDL2_InitForSDLRenderer(D.window);
        ImGui_ImplSDLRenderer_Init(D.renderer);
    }
    D.changed = changed;
    D.check_label = Cp932ToUtf8(check_label);
    D.text_new = true;
    D.busy_until = SDL_GetTicks() + DebugBusyMs;
}

void DebugWindowText(const char* cp932) {
    if (!D.window) return;
    D.cp932 = cp932;
    D.text_new = true;
}

void DebugWindowClose() { Destroy(); }
void DebugWindowShutdown() { Destroy(); }

static void Draw() {
    bool was = D.checked;
    {
        DebugScope scope;
        ImGui_ImplSDLRenderer_NewFrame();
        GuiUseFontTexture(&D.font_texture);
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        ImGuiIO& io = ImGui::GetIO();
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(io.DisplaySize);
        ImGui::Begin("##debug", nullptr,
                     ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                         ImGuiWindowFlags_NoBringToFrontOnFocus);
        bool scroll = D.text_new;
        if (D.text_new) D.text = Cp932ToUtf8(D.cp932);
        D.text_new = false;
        ImGui::BeginChild("##trace", ImVec2(0, -ImGui::GetFrameHeightWithSpacing()), true);
        ImGui::PushTextWrapPos(0);
        ImGui::TextUnformatted(D.text.c_str());
        ImGui::PopTextWrapPos();
        if (scroll) ImGui::SetScrollHereY(1.0f);
        ImGui::EndChild();
        ImGui::Checkbox(D.check_label.c_str(), &D.checked);
        ImGui::End();
        ImGui::Render();
        SDL_SetRenderDrawColor(D.renderer, 240, 240, 240, 255);
        SDL_RenderClear(D.renderer);
        ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
        SDL_RenderPresent(D.renderer);
    }
    D.last_frame = SDL_GetTicks();
    // The engine hears of it outside the frame.
    if (D.checked != was && D.changed) D.changed(true, D.checked);
}

bool DebugWindowTakeEvent(const SDL_Event& e) {
    if (!D.window) return false;
    if (SdlEventWindowId(e) != SDL_GetWindowID(D.window)) return false;
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
        void (*changed)(bool, bool) = D.changed;
        Destroy();
        if (changed) changed(false, false);
        return true;
    }
    {
        DebugScope scope;
        ImGui_ImplSDL2_ProcessEvent(&e);
    }
    D.busy_until = SDL_GetTicks() + DebugBusyMs;
    // A frame now, so that a press and its release fall in different frames.
    if (e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP || e.type == SDL_KEYDOWN) Draw();
    return true;
}

bool DebugWindowWantsFrames() {
    return D.window && (D.text_new || (int32_t)(D.busy_until - SDL_GetTicks()) > 0);
}

void DebugWindowIdle() {
    if (DebugWindowWantsFrames() && SDL_GetTicks() - D.last_frame >= DebugFrameInterval) Draw();
}
