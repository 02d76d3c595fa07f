// gui.cpp - the in-window GUI of the SDL backend on Dear ImGui: the menu
// bar above the picture (an overlay at the top edge in full screen) with
// its submenus, the modal dialogs and message boxes as panels over the
// picture, and the edit field on the picture.  A menu item chosen posts
// WM_COMMAND; a dialog runs a loop that keeps dispatching posted messages,
// timers and paints while the window takes no input (its menu included), as
// the owner of a modal dialog.
#include <SDL.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "imgui.h"
#include "imgui_internal.h"
#include "imgui_impl_sdl.h"
#include "imgui_impl_sdlrenderer.h"
#include "platform/common/backend.h"
#include "platform/common/gui_backends.h"
#include "platform/common/menubar.h"
#include "platform/sdl/sdl_internal.h"

// The bar as high as the window menu and the built-in menu on one line in
// a 640-pixel window.
enum { FontPixels = 12, BarHeight = 20, FieldLimit = 255 };

static bool Ready;  // ImGui runs on the window's renderer
static ImGuiContext* MainContext;
static ImTextureID MainFontTexture;  // the glyph atlas on the window's renderer

// ---- the font: IPA Gothic with every CP932 character -----------------------------------

// The file of a family through fontconfig (Japanese coverage asked when
// `japanese`).
static std::string FontFile(const char* family, bool japanese) {
    std::string path;
    if (!FcInit()) return path;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, (const FcChar8*)family);
    if (japanese) FcPatternAddString(pat, FC_LANG, (const FcChar8*)"ja");
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult r;
    if (FcPattern* m = FcFontMatch(nullptr, pat, &r)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(m, FC_FILE, 0, &file) == FcResultMatch && file) path = (const char*)file;
        FcPatternDestroy(m);
    }
    FcPatternDestroy(pat);
    return path;
}

// The code point of one UTF-8 character, 0 when it is not one.
static unsigned DecodeUtf8(const std::string& s) {
    const unsigned char* p = (const unsigned char*)s.data();
    if (s.size() == 1 && p[0] < 0x80) return p[0];
    if (s.size() == 2 && (p[0] & 0xE0) == 0xC0) return ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
    if (s.size() == 3 && (p[0] & 0xF0) == 0xE0) return ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
    return 0;
}

// Glyph ranges (pairs, 0-terminated) of every character CP932 has.
static const ImWchar* Cp932Ranges() {
    static std::vector<ImWchar> ranges;
    if (!ranges.empty()) return ranges.data();
    std::vector<unsigned> cps;
    for (unsigned c = 0x20; c < 0x7F; c++) cps.push_back(c);
    for (unsigned c = 0xA1; c <= 0xDF; c++) {
        std::string one(1, (char)c);
        if (unsigned u = DecodeUtf8(Cp932ToUtf8(one))) cps.push_back(u);
    }
    for (unsigned lead = 0x81; lead <= 0xFC; lead++) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; trail++) {
            if (trail == 0x7F) continue;
            std::string two{(char)lead, (char)trail};
            unsigned u = DecodeUtf8(Cp932ToUtf8(two));
            if (u && u != '?' && u <= 0xFFFF) cps.push_back(u);
        }
    }
    cps.push_back(0x2026);  // the ellipsis ImGui cuts texts with
    std::sort(cps.begin(), cps.end());
    cps.erase(std::unique(cps.begin(), cps.end()), cps.end());
    for (size_t i = 0; i < cps.size();) {
        size_t j = i;
        while (j + 1 < cps.size() && cps[j + 1] == cps[j] + 1) j++;
        ranges.push_back((ImWchar)cps[i]);
        ranges.push_back((ImWchar)cps[j]);
        i = j + 1;
    }
    ranges.push_back(0);
    return ranges.data();
}

// The glyph atlas: IPA Gothic for every CP932 character it has, the
// desktop's sans-serif face for the few it lacks.  Rasterising some 7900
// glyphs takes a good part of a second, so it is built on a thread of its
// own from the window's creation on, while the define block runs.  The
// thread leaves its atlas in BuiltAtlas, which only the join hands over to
// Atlas: the user-interface thread reads nothing the thread writes before.
static ImFontAtlas* Atlas;
static ImFontAtlas* BuiltAtlas;
// Never destroyed: an exit while it runs must not end in std::terminate.
static std::thread* AtlasThread;

static void JoinAtlas() {
    if (!AtlasThread) return;
    AtlasThread->join();
    delete AtlasThread;
    AtlasThread = nullptr;
    Atlas = BuiltAtlas;
    BuiltAtlas = nullptr;
}

// The faces, found on the user-interface thread (fontconfig is asked there
// only); the thread rasterises.
static std::string MainFace, FallbackFace;

static void BuildAtlas() {
    ImFontAtlas* a = IM_NEW(ImFontAtlas)();
    ImFontConfig cfg;
    cfg.OversampleH = 1;
    cfg.OversampleV = 1;
    cfg.PixelSnapH = true;
    const ImWchar* ranges = Cp932Ranges();
    bool any = !MainFace.empty() && a->AddFontFromFileTTF(MainFace.c_str(), FontPixels, &cfg, ranges);
    if (any && !FallbackFace.empty() && FallbackFace != MainFace) {
        cfg.MergeMode = true;
        a->AddFontFromFileTTF(FallbackFace.c_str(), FontPixels, &cfg, ranges);
    }
    if (!any) a->AddFontDefault();
    a->Build();
    BuiltAtlas = a;
}

void GuiPrepare() {
    if (Atlas || AtlasThread) return;
    Cp932Ranges();  // iconv on this thread
    MainFace = FontFile("IPAGothic", true);
    FallbackFace = FontFile("sans-serif", false);
    AtlasThread = new std::thread(BuildAtlas);
}

// ImGui settles within a few frames of a change: frames go on for this
// long after the last input the GUI took or its last opening, then stop
// until the next (the caret does not blink, so that an idle dialog costs
// no frames).
enum : uint32_t { GuiSettleMs = 500 };
static uint32_t LastStir;

static void Stir() { LastStir = SDL_GetTicks(); }

ImFontAtlas* GuiFontAtlas() {
    GuiPrepare();
    JoinAtlas();
    return Atlas;
}

void GuiSetUpContext() {
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing written beside the game
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;  // the game's cursor stays
    io.ConfigInputTextCursorBlink = false;  // no frames while nothing happens
    ImGui::StyleColorsLight();
    ImGuiStyle& st = ImGui::GetStyle();
    st.FramePadding.y = (BarHeight - FontPixels) / 2.0f;
    st.WindowRounding = 0;
    st.ItemSpacing.x = 4;
}

// The contexts share one atlas, but each renderer holds its own texture of
// it: each frame names its own before it starts.
void GuiUseFontTexture(ImTextureID* texture) {
    if (!Atlas) return;
    if (*texture) Atlas->SetTexID(*texture);
    else *texture = Atlas->TexID;  // made by this renderer's first frame
}

static void Start() {
    if (Ready || !SdlWindow() || !SdlRenderer()) return;
    GuiFontAtlas();
    IMGUI_CHECKVERSION();
    ImGuiContext* outer = ImGui::GetCurrentContext();
    MainContext = ImGui::CreateContext(Atlas);
    ImGui::SetCurrentContext(MainContext);
    GuiSetUpContext();
    ImGui_ImplSDL2_InitForSDLRenderer(SdlWindow());
    ImGui_ImplSDLRenderer_Init(SdlRenderer());
    if (outer) ImGui::SetCurrentContext(outer);
    Ready = true;
}

// Makes the window's context the current one for the life of the object.
struct MainScope {
    ImGuiContext* outer;
    MainScope() : outer(ImGui::GetCurrentContext()) {
        if (MainContext) ImGui::SetCurrentContext(MainContext);
    }
    ~MainScope() {
        if (outer) ImGui::SetCurrentContext(outer);
    }
};

// The characters of a UTF-8 text the current context's font has no glyph for.
static int MissingGlyphs(const char* utf8) {
    ImFont* font = ImGui::GetIO().Fonts->Fonts[0];
    int missing = 0;
    for (const char* p = utf8; *p;) {
        unsigned c = 0;
        int n = ImTextCharFromUtf8(&c, p, nullptr);
        if (n <= 0) break;
        p += n;
        if (c >= 0x20 && !font->FindGlyphNoFallback((ImWchar)c)) missing++;
    }
    return missing;
}

int GuiMissingGlyphs(const char* cp932) {
    Start();
    if (!Ready) return -1;
    MainScope scope;
    return MissingGlyphs(Cp932ToUtf8(cp932 ? cp932 : "").c_str());
}

static void DestroyBoxWindow();

void GuiShutdown() {
    DestroyBoxWindow();
    JoinAtlas();
    if (!Ready) {
        if (Atlas) IM_DELETE(Atlas);
        Atlas = nullptr;
        return;
    }
    ImGui::SetCurrentContext(MainContext);
    ImGui_ImplSDLRenderer_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext(MainContext);
    ImGui::SetCurrentContext(nullptr);
    MainContext = nullptr;
    MainFontTexture = nullptr;
    IM_DELETE(Atlas);
    Atlas = nullptr;
    Ready = false;
}

// ---- panels: dialogs and boxes ---------------------------------------------------------------

struct Panel {
    int kind = 0;  // PanelInput ...
    std::string caption, text;
    bool done = false;
    int result = 0;
    // Frames drawn: the first (0) gives the focus, sizes and places it; a
    // new panel shows from its second.
    int frames = 0;
    // input
    char edit[FieldLimit * 3 + 4] = {};  // UTF-8
    int limit = FieldLimit;
    const PlatDialogSize* size = nullptr;
    std::string button;
    bool can_cancel = true;  // Esc and the close box cancel
    bool field_active = false;  // the field had the keyboard in the last frame
    // The field's caret and selection (byte offsets into edit), kept while
    // it is without the keyboard; -1 until the dialog's first frame.
    int caret = -1, sel_a = 0, sel_b = 0;
    // sliders
    PlatSlider* sliders = nullptr;
    int count = 0, width = 0;
    void (*moved)(const PlatSlider*, int, void*) = nullptr;
    void* user = nullptr;
    // list
    std::vector<std::string> items;
    int selected = -1;
    std::string ok, cancel;
    bool drop_down = false;
    bool editable = false;  // the list's text can be typed (in edit)
    bool changed = false;  // a slider moved in the frame just drawn
    // box
    uint32_t flags = 0;
    bool own_window = false;  // drawn as the whole of a window of its own
    ImVec2 drawn_size;        // its size as last drawn there
    bool traced = false;      // written to the GUI trace
};
enum { PanelInput = 1, PanelSliders, PanelList, PanelBox };

static Panel* Active;  // the innermost open dialog

static std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }

// The CP932 length of a UTF-8 text.
static size_t Cp932Length(const char* utf8) { return Utf8ToCp932(utf8).size(); }

// What the character filter of an edit field needs: its limit in CP932
// bytes and its text so far (UTF-8).
struct FilterData {
    int limit;
    const char* text;
    void* owner;  // the panel, for the name dialog's own callback
};

// A typed character as UTF-8 (in u, 5 bytes) when CP932 has it and it keeps
// the text within the limit; false when it is refused.
static bool TakeChar(ImWchar c, const FilterData* f, char* u) {
    memset(u, 0, 5);
    if (c < 0x80) u[0] = (char)c;
    else if (c < 0x800) { u[0] = (char)(0xC0 | (c >> 6)); u[1] = (char)(0x80 | (c & 0x3F)); }
    else { u[0] = (char)(0xE0 | (c >> 12)); u[1] = (char)(0x80 | ((c >> 6) & 0x3F)); u[2] = (char)(0x80 | (c & 0x3F)); }
    std::string cp = Utf8ToCp932(u);
    if (cp == "?" && c != '?') return false;
    return Cp932Length(f->text) + cp.size() <= (size_t)f->limit;
}

// Refuses a typed character that CP932 lacks or that would pass the limit.
static int FilterChar(ImGuiInputTextCallbackData* d) {
    char u[5];
    return TakeChar(d->EventChar, (const FilterData*)d->UserData, u) ? 0 : 1;
}

static bool KeyPressed(ImGuiKey k) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(k), false); }

static void CentreNext() {
    ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(io.DisplaySize.x / 2, io.DisplaySize.y / 2), ImGuiCond_Appearing, ImVec2(0.5f, 0.5f));
}

static void Finish(Panel* p, int result) {
    p->done = true;
    p->result = result;
}

// What is typed while a dialog's field does not have the keyboard (it
// takes it a frame after the dialog opens, or after a click elsewhere) goes
// to the field's end instead of nowhere: true when something was added.
static bool AddQueuedChars(char* edit, size_t size, const FilterData* fd) {
    ImGuiIO& io = ImGui::GetIO();
    bool added = false;
    for (ImWchar c : io.InputQueueCharacters) {
        char u[5];
        if (c >= 0x20 && TakeChar(c, fd, u) && strlen(edit) + strlen(u) < size) strcat(edit, u), added = true;
    }
    io.InputQueueCharacters.resize(0);
    return added;
}

// Called right after a field: what was typed while it is without the
// keyboard.
static void TypeQueuedChars(char* edit, size_t size, const FilterData* fd) {
    if (!ImGui::IsItemActive()) AddQueuedChars(edit, size, fd);
}

// The name dialog's field.  ImGui drops the characters queued in the frame
// a field takes the keyboard and leaves its caret and selection as they
// happen to be, so the dialog keeps them itself, as a focused edit control
// would: the whole text selected when it opens; then what the field had
// when it lost the keyboard (a click beside the dialog).  What is typed
// until the field has the keyboard again replaces the selection, or goes
// in at the caret, before the field is drawn; the frame it takes the
// keyboard puts its caret and selection back (a click into it places the
// caret where it points instead).
static void TypeBeforeTheField(Panel* p, const FilterData* fd) {
    size_t len = strlen(p->edit);
    if (p->caret < 0) p->sel_a = 0, p->sel_b = p->caret = (int)len;
    if (p->field_active || ImGui::GetIO().InputQueueCharacters.empty()) return;
    size_t lo = (size_t)std::min(std::max(std::min(p->sel_a, p->sel_b), 0), (int)len);
    size_t hi = (size_t)std::min(std::max(std::max(p->sel_a, p->sel_b), 0), (int)len);
    if (lo == hi) lo = hi = (size_t)std::min(std::max(p->caret, 0), (int)len);
    std::string tail = p->edit + hi;
    p->edit[lo] = 0;
    FilterData room = *fd;  // the limit counts the text after the caret too
    room.limit -= (int)Cp932Length(tail.c_str());
    AddQueuedChars(p->edit, sizeof p->edit - tail.size(), &room);
    p->caret = p->sel_a = p->sel_b = (int)strlen(p->edit);
    strcat(p->edit, tail.c_str());
}

static int InputCallback(ImGuiInputTextCallbackData* d) {
    if (d->EventFlag == ImGuiInputTextFlags_CallbackCharFilter) return FilterChar(d);
    Panel* p = (Panel*)((const FilterData*)d->UserData)->owner;
    if (!p->field_active && !ImGui::GetIO().MouseClicked[0]) {
        d->CursorPos = std::min(p->caret, d->BufTextLen);
        d->SelectionStart = std::min(p->sel_a, d->BufTextLen);
        d->SelectionEnd = std::min(p->sel_b, d->BufTextLen);
    }
    p->caret = d->CursorPos, p->sel_a = d->SelectionStart, p->sel_b = d->SelectionEnd;
    return 0;
}

static void DrawInput(Panel* p) {
    if (p->size && p->size->dialog_w > 0 && p->size->dialog_h > 0)
        ImGui::SetNextWindowSize(ImVec2((float)p->size->dialog_w, (float)p->size->dialog_h), ImGuiCond_Always);
    CentreNext();
    bool open = true;
    ImGuiWindowFlags wf = ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                          (p->size && p->size->dialog_w > 0 ? ImGuiWindowFlags_NoResize : ImGuiWindowFlags_AlwaysAutoResize);
    ImGui::Begin((U(p->caption) + "###dialog").c_str(), &open, wf);
    ImGui::TextUnformatted(U(p->text).c_str());
    float edit_w = p->size && p->size->edit_w > 0 ? (float)p->size->edit_w : 300.0f;
    ImGui::SetNextItemWidth(edit_w);
    // The field keeps the keyboard while the dialog is open, whatever is
    // clicked (the game behind the dialog, the dialog's own background): it
    // takes it back once nothing else is held (the button being pressed).
    if (p->frames == 0 || !ImGui::IsAnyItemActive()) ImGui::SetKeyboardFocusHere();
    FilterData fd = {p->limit, p->edit, p};
    TypeBeforeTheField(p, &fd);
    bool enter = ImGui::InputText("##edit", p->edit, sizeof p->edit,
                                  ImGuiInputTextFlags_CallbackCharFilter | ImGuiInputTextFlags_CallbackAlways |
                                      ImGuiInputTextFlags_EnterReturnsTrue,
                                  InputCallback, &fd);
    p->field_active = ImGui::IsItemActive();
    ImGui::SameLine();
    // Enter is the default button's, as in the other dialogs, wherever the
    // keyboard is.
    if (ImGui::Button(U(p->button).c_str()) || enter || KeyPressed(ImGuiKey_Enter)) Finish(p, IDOK);
    if ((!open || KeyPressed(ImGuiKey_Escape)) && p->can_cancel) Finish(p, IDCANCEL);
    ImGui::End();
}

static void DrawSliders(Panel* p) {
    if (p->width > 0) ImGui::SetNextWindowSize(ImVec2((float)p->width, 0), ImGuiCond_Always);
    CentreNext();
    bool open = true;
    ImGui::Begin((U(p->caption) + "###dialog").c_str(), &open,
                 ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_AlwaysAutoResize);
    bool changed = false;
    for (int i = 0; i < p->count; i++) {
        PlatSlider& s = p->sliders[i];
        ImGui::PushID(i);
        ImGui::BeginDisabled(s.disabled);
        if (s.vertical) {
            if (i) ImGui::SameLine();
            ImGui::BeginGroup();
            ImGui::TextUnformatted(U(s.label).c_str());
            // The minimum at the top: the slider shows max + min - value.
            int shown = s.max + s.min - s.value;
            if (ImGui::VSliderInt("##v", ImVec2(40, 160), &shown, s.min, s.max, "")) {
                s.value = s.max + s.min - shown;
                changed = true;
            }
            ImGui::EndGroup();
        } else {
            ImGui::TextUnformatted(U(s.label).c_str());
            ImGui::TextUnformatted(U(s.min_label).c_str());
            ImGui::SameLine();
            ImGui::SetNextItemWidth(220);
            if (ImGui::SliderInt("##h", &s.value, s.min, s.max, "")) changed = true;
            ImGui::SameLine();
            ImGui::TextUnformatted(U(s.max_label).c_str());
        }
        ImGui::EndDisabled();
        ImGui::PopID();
    }
    if (changed) p->changed = true;
    if (!open || KeyPressed(ImGuiKey_Escape)) Finish(p, IDCANCEL);
    ImGui::End();
}

static void DrawList(Panel* p) {
    CentreNext();
    bool open = true;
    ImGui::Begin((U(p->caption) + "###dialog").c_str(), &open,
                 ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_AlwaysAutoResize);
    int n = (int)p->items.size();
    if (p->editable) {
        // The text field with the list's arrow beside it: an entry chosen
        // becomes the text.
        ImGui::SetNextItemWidth(320);
        if (p->frames == 0) ImGui::SetKeyboardFocusHere();
        FilterData fd = {p->limit, p->edit, nullptr};
        ImGui::InputText("##text", p->edit, sizeof p->edit, ImGuiInputTextFlags_CallbackCharFilter, FilterChar, &fd);
        TypeQueuedChars(p->edit, sizeof p->edit, &fd);
        ImGui::SameLine(0, 0);
        if (ImGui::BeginCombo("##list", nullptr, ImGuiComboFlags_NoPreview | ImGuiComboFlags_PopupAlignLeft)) {
            for (int i = 0; i < n; i++)
                if (ImGui::Selectable((p->items[(size_t)i] + "##" + std::to_string(i)).c_str(),
                                      p->items[(size_t)i] == p->edit)) {
                    p->selected = i;
                    snprintf(p->edit, sizeof p->edit, "%s", p->items[(size_t)i].c_str());
                }
            ImGui::EndCombo();
        }
    } else if (p->drop_down) {
        ImGui::SetNextItemWidth(240);
        const char* now = p->selected >= 0 && p->selected < n ? p->items[(size_t)p->selected].c_str() : "";
        if (ImGui::BeginCombo("##list", now)) {
            for (int i = 0; i < n; i++)
                if (ImGui::Selectable((p->items[(size_t)i] + "##" + std::to_string(i)).c_str(), i == p->selected))
                    p->selected = i;
            ImGui::EndCombo();
        }
    } else if (ImGui::BeginListBox("##list", ImVec2(240, 8 * ImGui::GetTextLineHeightWithSpacing()))) {
        for (int i = 0; i < n; i++) {
            if (ImGui::Selectable((p->items[(size_t)i] + "##" + std::to_string(i)).c_str(), i == p->selected,
                                  ImGuiSelectableFlags_AllowDoubleClick)) {
                p->selected = i;
                if (ImGui::IsMouseDoubleClicked(0)) Finish(p, IDOK);
            }
        }
        ImGui::EndListBox();
    }
    if (ImGui::Button(U(p->ok).c_str(), ImVec2(100, 0)) || KeyPressed(ImGuiKey_Enter)) Finish(p, IDOK);
    ImGui::SameLine();
    if (ImGui::Button(U(p->cancel).c_str(), ImVec2(100, 0)) || !open || KeyPressed(ImGuiKey_Escape)) Finish(p, IDCANCEL);
    ImGui::End();
}

// ORVA_GUI_TRACE=FILE (or 1 for standard error): each message box as the
// GUI first draws it, one line "box CAPTION: TEXT" (UTF-8, line breaks as
// \n), with the count of its characters the font has no glyph for when
// there are any.
static FILE* GuiTraceFile() {
    static int state;  // 0 not asked yet, 1 on, 2 off
    static FILE* file;
    if (state == 0) {
        const char* e = getenv("ORVA_GUI_TRACE");
        file = !e || !*e ? nullptr : !strcmp(e, "1") ? stderr : fopen(e, "a");
        state = file ? 1 : 2;
    }
    return state == 1 ? file : nullptr;
}

static void TraceBox(Panel* p, const std::string& drawn) {
    FILE* f = GuiTraceFile();
    std::string line = "box " + U(p->caption) + ": ";
    for (char c : drawn) line += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    int missing = MissingGlyphs((U(p->caption) + U(p->text)).c_str());
    if (missing) line += " [" + std::to_string(missing) + " without a glyph]";
    fprintf(f, "%s\n", line.c_str());
    fflush(f);
}

static void DrawBox(Panel* p) {
    ImGuiIO& io = ImGui::GetIO();
    bool open = true;
    float wrap = 480.0f;
    if (p->own_window) {
        // The window's frame carries the caption and the close box.
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSizeConstraints(ImVec2(200, 0), ImVec2(FLT_MAX, FLT_MAX));
        ImGui::Begin("###box", nullptr,
                     ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                         ImGuiWindowFlags_AlwaysAutoResize);
        p->drawn_size = ImGui::GetWindowSize();
    } else {
        CentreNext();
        ImGui::SetNextWindowSizeConstraints(ImVec2(200, 0), ImVec2(io.DisplaySize.x - 20, io.DisplaySize.y - 20));
        ImGui::Begin((U(p->caption) + "###box").c_str(), &open,
                     ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_AlwaysAutoResize);
        wrap = std::min(wrap, io.DisplaySize.x - 40);
    }
    // The text as the GUI renders it is what the trace records.
    bool record = !p->traced && GuiTraceFile();
    if (record) ImGui::LogToBuffer();
    ImGui::PushTextWrapPos(wrap);
    ImGui::TextUnformatted(U(p->text).c_str());
    ImGui::PopTextWrapPos();
    if (record) {
        std::string drawn = GImGui->LogBuffer.c_str();
        ImGui::LogFinish();
        while (!drawn.empty() && (drawn.back() == '\n' || drawn.back() == '\r')) drawn.pop_back();
        if (!drawn.empty() || p->text.empty()) {
            TraceBox(p, drawn);
            p->traced = true;
        }
    }
    ImGui::Separator();
    int yes, no;
    const char *yes_label, *no_label = nullptr;
    switch (p->flags & 0xF) {
    case MB_YESNO: yes = IDYES, no = IDNO, yes_label = "Yes", no_label = "No"; break;
    case MB_OKCANCEL: yes = IDOK, no = IDCANCEL, yes_label = "OK", no_label = "Cancel"; break;
    default: yes = no = IDOK, yes_label = "OK"; break;
    }
    // The first button has the keyboard, as in a Windows box: Enter and
    // Space press it.
    if (p->frames == 0) ImGui::SetKeyboardFocusHere();
    if (ImGui::Button(yes_label, ImVec2(90, 0)) || KeyPressed(ImGuiKey_Enter) || KeyPressed(ImGuiKey_Space))
        Finish(p, yes);
    if (no_label) {
        ImGui::SameLine();
        if (ImGui::Button(no_label, ImVec2(90, 0))) Finish(p, no);
    }
    if (!open || KeyPressed(ImGuiKey_Escape)) Finish(p, no);
    ImGui::End();
}

// ---- the edit field on the picture ---------------------------------------------------------

// The field's text is drawn in the script's font cell: the face's
// half-width glyphs are half as wide as high, so the field is drawn with
// glyphs of one side of the cell and stretched along the other.  Stretching
// only ever widens, so that the drawing before it fits in the window.
struct Field {
    bool open = false;
    int left = 0, top = 0, width = 0, height = 0, font_w = 0, font_h = 0;
    char edit[FieldLimit * 3 + 4] = {};
    int limit = FieldLimit;
    bool focus = false;
    std::vector<int> keys;
    ImDrawList* drawn = nullptr;  // the field's drawing in the frame being made
    ImVec2 origin, stretch{1, 1};  // its corner and stretch then
};
static Field TheField;

// Where the field lies in window coordinates, the stretch of its drawing
// and the glyph height it is drawn with (before the stretch).
struct FieldLayout {
    ImVec2 min, max, stretch;
    float glyph_h;
};

static FieldLayout LayField() {
    const Field& f = TheField;
    FieldLayout l;
    SdlClientToWindow(f.left, f.top, &l.min.x, &l.min.y);
    SdlClientToWindow(f.left + f.width, f.top + f.height, &l.max.x, &l.max.y);
    float scale = f.height > 0 ? (l.max.y - l.min.y) / f.height : 1;  // window pixels a screen pixel
    l.glyph_h = (f.font_h > 0 ? f.font_h : FontPixels) * scale;
    float wide = f.font_w > 0 && f.font_h > 0 ? 2.0f * f.font_w / f.font_h : 1.0f;
    if (wide >= 1) {
        l.stretch = ImVec2(wide, 1);
    } else {
        l.stretch = ImVec2(1, 1 / wide);
        l.glyph_h *= wide;
    }
    return l;
}

// The pointer over the field, as the drawing before the stretch places it.
static void FieldPointer(ImVec2* pos) {
    if (!TheField.open) return;
    FieldLayout l = LayField();
    if (pos->x < l.min.x || pos->x >= l.max.x || pos->y < l.min.y || pos->y >= l.max.y) return;
    pos->x = l.min.x + (pos->x - l.min.x) / l.stretch.x;
    pos->y = l.min.y + (pos->y - l.min.y) / l.stretch.y;
}

static void DrawField() {
    Field& f = TheField;
    FieldLayout l = LayField();
    ImVec2 size((l.max.x - l.min.x) / l.stretch.x, (l.max.y - l.min.y) / l.stretch.y);
    ImGui::SetNextWindowPos(l.min, ImGuiCond_Always);
    ImGui::SetNextWindowSize(size, ImGuiCond_Always);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(1, std::max(0.0f, (size.y - l.glyph_h) / 2)));
    ImGui::Begin("##field", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoBackground);
    ImGui::SetWindowFontScale(l.glyph_h / FontPixels);
    ImGui::SetNextItemWidth(size.x);
    if (f.focus) {
        ImGui::SetKeyboardFocusHere();
        f.focus = false;
    }
    FilterData fd = {f.limit, f.edit, nullptr};
    ImGui::InputText("##text", f.edit, sizeof f.edit, ImGuiInputTextFlags_CallbackCharFilter, FilterChar, &fd);
    f.drawn = ImGui::GetWindowDrawList();
    f.origin = l.min;
    f.stretch = l.stretch;
    ImGui::End();
    ImGui::PopStyleVar(3);
    SDL_Rect r = {(int)l.min.x, (int)l.min.y, (int)(l.max.x - l.min.x), (int)(l.max.y - l.min.y)};
    SDL_SetTextInputRect(&r);
}

// After the frame is made: the field's drawing stretched.
static void StretchField() {
    Field& f = TheField;
    ImDrawList* dl = f.drawn;
    f.drawn = nullptr;
    if (!dl || (f.stretch.x == 1 && f.stretch.y == 1)) return;
    auto x = [&](float v) { return f.origin.x + (v - f.origin.x) * f.stretch.x; };
    auto y = [&](float v) { return f.origin.y + (v - f.origin.y) * f.stretch.y; };
    for (ImDrawVert& v : dl->VtxBuffer) v.pos = ImVec2(x(v.pos.x), y(v.pos.y));
    for (ImDrawCmd& c : dl->CmdBuffer) c.ClipRect = ImVec4(x(c.ClipRect.x), y(c.ClipRect.y), x(c.ClipRect.z), y(c.ClipRect.w));
}

void GuiTextFieldOpen(int left, int top, int width, int height, int font_w, int font_h, const char* text) {
    Start();
    TheField = Field();
    TheField.open = true;
    Stir();
    TheField.left = left;
    TheField.top = top;
    TheField.width = width > 1 ? width : 1;
    TheField.height = height > 1 ? height : 1;
    TheField.font_w = font_w;
    TheField.font_h = font_h;
    TheField.focus = true;
    GuiTextFieldSetText(text);
    SDL_StartTextInput();
    SdlRequestRender();
}

std::string GuiTextFieldText() { return Utf8ToCp932(TheField.edit); }

void GuiTextFieldSetText(const char* cp932) {
    std::string t = cp932 ? cp932 : "";
    t.resize(Cp932Cut(t.data(), t.size(), FieldLimit));
    std::string u = Cp932ToUtf8(t);
    snprintf(TheField.edit, sizeof TheField.edit, "%s", u.c_str());
    // ImGui keeps its own copy while the field is active: take the focus
    // away and back so it reads the new text.
    if (Ready) {
        MainScope scope;
        ImGui::ClearActiveID();
    }
    TheField.focus = true;
    SdlRequestRender();
}

void GuiTextFieldFocus() {
    TheField.focus = true;
    SdlRequestRender();
}

int GuiTextFieldKey() {
    Backend->pump_events();
    if (TheField.keys.empty()) return 0;
    int k = TheField.keys.front();
    TheField.keys.erase(TheField.keys.begin());
    return k;
}

void GuiTextFieldClose() {
    if (!TheField.open) return;
    TheField = Field();
    if (!Active) SDL_StopTextInput();
    SdlRequestRender();
}

void GuiSetClipboard(const std::string& utf8) {
    if (SDL_SetClipboardText(utf8.c_str()) != 0)
        fprintf(stderr, "orva: cannot set the clipboard (%s)\n", SDL_GetError());
}

// ---- the menu bar ---------------------------------------------------------------------------
//
// Drawn over everything from the state in platform/common/menubar.cpp: the
// bar across the top edge, then each open submenu below its bar entry or
// beside its row.  The places drawn are kept for the mouse.

enum { BarLeft = 4, EntryPad = 6, RowHeight = 20, PopupPad = 4, CheckWidth = 18, ArrowWidth = 18 };

struct MenuPlace {
    int entry;
    ImRect rect;
};
struct PopupPlace {
    ImRect box;
    std::vector<MenuPlace> rows;
};
static std::vector<MenuPlace> BarPlaces;
static PopupPlace PopupPlaces[MenuBarLevels];  // levels 1 ..
static int PopupsDrawn;
static bool BarDrawn;
static int HoverBar = -1;     // the bar entry under the pointer while the menu is closed
static int PressedItem = -1;  // a bar item pressed: released on it, it is chosen

// The menu's look: what the last frame showed of it, and what it is now.
static std::vector<int> MenuLook() {
    const MenuBarState& m = MenuBarNow();
    std::vector<int> look = {MenuBarShown(), m.active, m.open, HoverBar};
    look.insert(look.end(), m.sel, m.sel + MenuBarLevels);
    return look;
}
static std::vector<int> DrawnMenuLook;

void GuiSetMenu(const std::vector<PlatMenuEntry>&, bool) {
    SdlLayoutChanged();  // the window takes the bar's height when it came or went
    SdlRequestRender();
}

int GuiBarHeight() { return MenuBarShown() ? BarHeight : 0; }

static ImU32 Col(ImGuiCol c) { return ImGui::GetColorU32(c); }

static const MenuPlace* PlaceOf(const std::vector<MenuPlace>& v, int entry) {
    for (const MenuPlace& p : v)
        if (p.entry == entry) return &p;
    return nullptr;
}

// Forgets where the bar and its submenus were drawn; with the bar gone
// nothing of it is hit, hovered or waiting to be drawn again.
static void ForgetBar() {
    BarPlaces.clear();
    PopupsDrawn = 0;
    BarDrawn = false;
    if (!MenuBarShown()) HoverBar = PressedItem = -1;
    DrawnMenuLook = MenuLook();
}

static void DrawBar() {
    ForgetBar();
    if (!MenuBarShown()) return;
    BarDrawn = true;
    ImDrawList* dl = ImGui::GetForegroundDrawList();
    const std::vector<PlatMenuEntry>& e = MenuBarEntries();
    const MenuBarState& s = MenuBarNow();
    ImVec2 screen = ImGui::GetIO().DisplaySize;
    float fs = ImGui::GetFontSize();
    dl->AddRectFilled(ImVec2(0, 0), ImVec2(screen.x, BarHeight), Col(ImGuiCol_MenuBarBg));
    float x = BarLeft;
    for (int i : MenuBarChildren(-1)) {
        std::string t = U(e[(size_t)i].caption);
        ImRect r(x, 0, x + ImGui::CalcTextSize(t.c_str()).x + 2 * EntryPad, BarHeight);
        if (s.active ? s.sel[0] == i : HoverBar == i) {
            dl->AddRectFilled(r.Min, r.Max, Col(ImGuiCol_HeaderHovered));
        }
        dl->AddText(ImVec2(x + EntryPad, (BarHeight - fs) / 2), Col(ImGuiCol_Text), t.c_str());
        BarPlaces.push_back({i, r});
        x = r.Max.x;
    }
    for (int level = 1; level <= s.open && level < MenuBarLevels; level++) {
        std::vector<int> rows = MenuBarChildren(s.sel[level - 1]);
        ImVec2 at;
        if (level == 1) {
            const MenuPlace* p = PlaceOf(BarPlaces, s.sel[0]);
            if (!p) break;
            at = ImVec2(p->rect.Min.x, BarHeight);
        } else {
            const MenuPlace* p = PlaceOf(PopupPlaces[level - 1].rows, s.sel[level - 1]);
            if (!p) break;
            at = ImVec2(PopupPlaces[level - 1].box.Max.x - 2, p->rect.Min.y - PopupPad);
        }
        if (rows.empty()) break;
        float text_w = 0;
        for (int i : rows) text_w = std::max(text_w, ImGui::CalcTextSize(U(e[(size_t)i].caption).c_str()).x);
        ImVec2 size(CheckWidth + text_w + ArrowWidth + 2 * PopupPad, rows.size() * (float)RowHeight + 2 * PopupPad);
        at.x = std::max(0.0f, std::min(at.x, screen.x - size.x));
        at.y = std::max(0.0f, std::min(at.y, screen.y - size.y));
        PopupPlace& pp = PopupPlaces[level];
        pp.box = ImRect(at, ImVec2(at.x + size.x, at.y + size.y));
        pp.rows.clear();
        dl->AddRectFilled(pp.box.Min, pp.box.Max, Col(ImGuiCol_PopupBg));
        dl->AddRect(pp.box.Min, pp.box.Max, Col(ImGuiCol_Border));
        float y = at.y + PopupPad;
        for (int i : rows) {
            const PlatMenuEntry& en = e[(size_t)i];
            ImRect r(at.x + 1, y, pp.box.Max.x - 1, y + RowHeight);
            if (s.sel[level] == i) dl->AddRectFilled(r.Min, r.Max, Col(ImGuiCol_HeaderHovered));
            float ty = y + (RowHeight - fs) / 2;
            if (en.checked) ImGui::RenderCheckMark(dl, ImVec2(at.x + PopupPad + 2, ty + fs * 0.067f), Col(ImGuiCol_Text), fs * 0.866f);
            dl->AddText(ImVec2(at.x + PopupPad + CheckWidth, ty), Col(ImGuiCol_Text), U(en.caption).c_str());
            if (en.command == 0)
                ImGui::RenderArrow(dl, ImVec2(pp.box.Max.x - PopupPad - ArrowWidth + 4, ty), Col(ImGuiCol_Text), ImGuiDir_Right, 0.8f);
            pp.rows.push_back({i, r});
            y += RowHeight;
        }
        PopupsDrawn = level;
    }
}

// What lies under a window point: a row of an open submenu, the body of
// one, a bar entry or the bar's empty part.
enum { HitNone, HitRow, HitPopup, HitEntry, HitBar };
struct MenuHit {
    int kind = HitNone, level = 0, entry = -1;
};

static MenuHit HitAt(int wx, int wy) {
    MenuHit h;
    if (!MenuBarShown()) return h;  // no bar, nothing of the menu on the window
    ImVec2 pt((float)wx + 0.5f, (float)wy + 0.5f);
    for (int level = PopupsDrawn; level >= 1; level--) {
        const PopupPlace& pp = PopupPlaces[level];
        if (!pp.box.Contains(pt)) continue;
        h.kind = HitPopup;
        h.level = level;
        for (const MenuPlace& r : pp.rows)
            if (r.rect.Contains(pt)) {
                h.kind = HitRow;
                h.entry = r.entry;
            }
        return h;
    }
    int ww = 0, wh = 0;
    SDL_GetWindowSize(SdlWindow(), &ww, &wh);
    if (BarDrawn && wy >= 0 && wy < BarHeight && wx >= 0 && wx < ww) {
        h.kind = HitBar;
        for (const MenuPlace& r : BarPlaces)
            if (r.rect.Contains(pt)) {
                h.kind = HitEntry;
                h.entry = r.entry;
            }
    }
    return h;
}

// A mouse event for the menu: true when the menu takes it.  While the menu
// is open every mouse event is its own; a press outside it closes it.
static bool MenuMouse(const SDL_Event& e) {
    bool open = MenuBarNow().active;
    int x, y;
    if (e.type == SDL_MOUSEMOTION) x = e.motion.x, y = e.motion.y;
    else if (e.type == SDL_MOUSEWHEEL) SDL_GetMouseState(&x, &y);
    else x = e.button.x, y = e.button.y;
    MenuHit h = HitAt(x, y);
    bool on_bar = h.kind == HitEntry || h.kind == HitBar;
    switch (e.type) {
    case SDL_MOUSEMOTION: {
        int hover = !open && h.kind == HitEntry ? h.entry : -1;
        if (hover != HoverBar) SdlRequestRender();
        HoverBar = hover;
        if (!open) return on_bar;
        if (h.kind == HitEntry) MenuBarHover(0, h.entry);
        else if (h.kind == HitRow) MenuBarHover(h.level, h.entry);
        SdlRequestRender();
        return true;
    }
    case SDL_MOUSEBUTTONDOWN: {
        if (!open && !on_bar) return false;
        if (!MenuBarUsable()) return true;  // the bar of a blocked window does nothing
        MenuBarTakePress(SdlButtonVk(e.button.button));
        PressedItem = -1;
        if (e.button.button != SDL_BUTTON_LEFT) {
            if (h.kind == HitNone) MenuBarClose();
        } else if (h.kind == HitEntry) {
            MenuBarPressEntry(h.entry);
            if (!MenuBarIsSubmenu(h.entry)) PressedItem = h.entry;
        } else if (h.kind == HitRow) {
            MenuBarHover(h.level, h.entry);
        } else if (h.kind != HitPopup) {
            MenuBarClose();
        }
        SdlRequestRender();
        return true;
    }
    case SDL_MOUSEBUTTONUP: {
        // Only the release of a press the menu took is its own.
        if (!MenuBarTakeRelease(SdlButtonVk(e.button.button))) return false;
        if (e.button.button == SDL_BUTTON_LEFT && MenuBarNow().active) {
            if (h.kind == HitRow && !MenuBarIsSubmenu(h.entry)) MenuBarChoose(h.entry);
            else if (h.kind == HitEntry && h.entry == PressedItem) MenuBarChoose(h.entry);
            else if (PressedItem >= 0) MenuBarClose();
        }
        PressedItem = -1;
        SdlRequestRender();
        return true;
    }
    case SDL_MOUSEWHEEL:
        return open || on_bar;
    }
    return false;
}

bool GuiWantsPointer(int wx, int wy) {
    return Active || MenuBarNow().active || (MenuBarShown() && wy >= 0 && wy < BarHeight && wx >= 0);
}

// ---- frames ------------------------------------------------------------------------------------

bool GuiVisible() { return MenuBarShown() || Active || TheField.open; }
bool GuiModal() { return Active != nullptr; }


// A frame when the menu looks otherwise than drawn or the debug window has
// something to show; for ImGui's dialogs and field, frames while they
// settle.
bool GuiWantsFrames() {
    if (DebugWindowWantsFrames()) return true;
    if (!Ready) return false;
    if (GuiVisible() && MenuLook() != DrawnMenuLook) return true;
    // ImGui sizes a new panel in its first frame and shows it in the next,
    // however long the first took (it may build the glyph texture).
    if (Active && Active->frames < 2) return true;
    return (Active || TheField.open) && (uint32_t)(SDL_GetTicks() - LastStir) < GuiSettleMs;
}

void GuiDraw() {
    if (!GuiVisible()) {
        ForgetBar();
        return;
    }
    Start();
    if (!Ready) return;
    MainScope scope;
    ImGui_ImplSDLRenderer_NewFrame();
    GuiUseFontTexture(&MainFontTexture);
    ImGui_ImplSDL2_NewFrame();
    // The pointer as the window's own events place it: the backend's global
    // position less the window's place lags when the window has just moved.
    int mx, my;
    SDL_GetMouseState(&mx, &my);
    if (SDL_GetMouseFocus() == SdlWindow()) ImGui::GetIO().MousePos = ImVec2((float)mx, (float)my);
    FieldPointer(&ImGui::GetIO().MousePos);
    ImGui::NewFrame();
    if (TheField.open) DrawField();
    if (Panel* p = Active) {
        switch (p->kind) {
        case PanelInput: DrawInput(p); break;
        case PanelSliders: DrawSliders(p); break;
        case PanelList: DrawList(p); break;
        case PanelBox: DrawBox(p); break;
        }
        p->frames++;
    }
    if (!SdlFullScreenNow() || !Active) DrawBar();
    else ForgetBar();
    ImGui::Render();
    StretchField();
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
}

// An SDL event: true when the GUI takes it, so the window does not get it.
bool GuiTakeEvent(const SDL_Event& e) {
    if (!Ready) return false;
    MainScope scope;
    bool key = e.type == SDL_KEYDOWN || e.type == SDL_KEYUP || e.type == SDL_TEXTINPUT || e.type == SDL_TEXTEDITING;
    bool mouse = e.type == SDL_MOUSEMOTION || e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP ||
                 e.type == SDL_MOUSEWHEEL;
    if (TheField.open && !Active && !MenuBarNow().active && e.type == SDL_KEYDOWN) {
        SDL_Keycode k = e.key.keysym.sym;
        int vk = k == SDLK_TAB ? VK_TAB : k == SDLK_RETURN || k == SDLK_KP_ENTER ? VK_RETURN : k == SDLK_ESCAPE ? VK_ESCAPE : 0;
        if (vk) {
            if (!e.key.repeat) TheField.keys.push_back(vk);
            return true;
        }
    }
    // An edit field reverts what was typed on Esc: a dialog that cannot be
    // cancelled keeps Esc from it.
    if (Active && !Active->can_cancel && (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) &&
        e.key.keysym.sym == SDLK_ESCAPE)
        return true;
    // In menu mode the keys are the menu's: the edit field gets none of them.
    if (!(key && MenuBarNow().active && !Active)) ImGui_ImplSDL2_ProcessEvent(&e);
    if (key || mouse) {
        Stir();
        SdlRequestRender();
    }
    bool taken;
    if (Active) taken = key || mouse;  // the owner takes no input, its menu included
    else if (mouse && MenuMouse(e)) taken = true;
    else if (TheField.open && key && !MenuBarNow().active) taken = true;  // the field has the keyboard
    else taken = mouse && TheField.open && e.type != SDL_MOUSEMOTION && ImGui::GetIO().WantCaptureMouse;
    // A frame now, so that a key or button released before the next one
    // is still seen down.
    if ((e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN) && GuiVisible()) SdlRenderNow();
    return taken;
}

// ---- the modal loop ----------------------------------------------------------------------------

// Runs a panel until it closes: posted messages, timers and paints go on
// being dispatched (no input is posted meanwhile), the panel is drawn.
static int RunModal(Panel* p) {
    Start();
    if (!Ready) return -1;
    Panel* outer = Active;
    Active = p;
    SdlPointerChanged();
    SdlFocusForModal();
    Stir();
    SDL_StartTextInput();
    while (!p->done) {
        for (int i = 0; i < 64 && !p->done && PumpMessage(); i++) {
        }
        if (p->done) break;
        if (GuiWantsFrames()) {
            SdlRequestRender();
            SdlRenderNow();
        }
        // Engine code runs outside the GUI's frame.
        if (p->changed && p->moved) p->moved(p->sliders, p->count, p->user);
        p->changed = false;
        // Until input, a timer, or the next frame while the GUI settles.
        PlatWaitEvent(PlatTicks() + (GuiWantsFrames() ? 5 : 1000));
    }
    Active = outer;
    SdlPointerChanged();
    if (!Active && !TheField.open) SDL_StopTextInput();
    SdlRequestRender();
    return p->result;
}

// ---- a box in a window of its own -------------------------------------------------------
//
// Before the game's window shows (a fatal error or mesbox in the define
// block, the start-up boxes), a box gets a window of its own, centred on
// the desktop with the box's caption, drawn with the GUI's glyphs by an
// ImGui context of its own.  Its loop goes on dispatching messages, so a
// signal closes the game as it would with the window shown.

struct BoxWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    ImGuiContext* context = nullptr;
    ImTextureID font_texture = nullptr;
    Panel* panel = nullptr;
    bool dirty = false;  // input or exposure since the last frame
    uint32_t last_input = 0;
};
static BoxWindow Box;

struct BoxScope {
    ImGuiContext* outer;
    BoxScope() : outer(ImGui::GetCurrentContext()) { ImGui::SetCurrentContext(Box.context); }
    ~BoxScope() { ImGui::SetCurrentContext(outer); }
};

static void DestroyBoxWindow() {
    if (Box.context) {
        BoxScope scope;
        ImGui_ImplSDLRenderer_Shutdown();
        ImGui_ImplSDL2_Shutdown();
    }
    if (Box.context) ImGui::DestroyContext(Box.context);
    if (Box.renderer) SDL_DestroyRenderer(Box.renderer);
    if (Box.window) SDL_DestroyWindow(Box.window);
    Box = BoxWindow();
}

static bool CreateBoxWindow(Panel* p) {
    // A window of the drivers that show nothing could never be answered.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || !strcmp(driver, "dummy") || !strcmp(driver, "offscreen")) return false;
    ImFontAtlas* atlas = GuiFontAtlas();
    if (!atlas) return false;
    Box.window = SDL_CreateWindow(U(p->caption).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 200, 100,
                                  SDL_WINDOW_HIDDEN);
    if (Box.window) {
        Box.renderer = SDL_CreateRenderer(Box.window, -1, SDL_RENDERER_ACCELERATED);
        if (!Box.renderer) Box.renderer = SDL_CreateRenderer(Box.window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!Box.renderer) {
        fprintf(stderr, "orva: cannot open a window for a message box (%s)\n", SDL_GetError());
        DestroyBoxWindow();
        return false;
    }
    Box.context = ImGui::CreateContext(atlas);
    BoxScope scope;
    GuiSetUpContext();
    ImGui_ImplSDL2_InitForSDLRenderer(Box.window);
    ImGui_ImplSDLRenderer_Init(Box.renderer);
    Box.panel = p;
    return true;
}

// One frame; the window takes the box's size, and shows once it has it
// (the box measures itself in its first frame).
static void DrawBoxWindow() {
    Panel* p = Box.panel;
    {
        BoxScope scope;
        ImGui_ImplSDLRenderer_NewFrame();
        GuiUseFontTexture(&Box.font_texture);
        ImGui_ImplSDL2_NewFrame();
        // The box fits itself within the display, not within the window
        // that follows its size.
        SDL_DisplayMode mode;
        int d = SDL_GetWindowDisplayIndex(Box.window);
        if (SDL_GetDesktopDisplayMode(d < 0 ? 0 : d, &mode) == 0)
            ImGui::GetIO().DisplaySize = ImVec2((float)mode.w, (float)mode.h);
        ImGui::NewFrame();
        DrawBox(p);
        p->frames++;
        ImGui::Render();
        SDL_SetRenderDrawColor(Box.renderer, 240, 240, 240, 255);
        SDL_RenderClear(Box.renderer);
        ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
        SDL_RenderPresent(Box.renderer);
    }
    Box.dirty = false;
    int w = (int)(p->drawn_size.x + 0.5f), h = (int)(p->drawn_size.y + 0.5f);
    if (p->frames < 2 || w <= 0 || h <= 0) return;
    int ww, wh;
    SDL_GetWindowSize(Box.window, &ww, &wh);
    if (ww != w || wh != h) {
        SDL_SetWindowSize(Box.window, w, h);
        SDL_SetWindowPosition(Box.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        Box.dirty = true;
    }
    if (!(SDL_GetWindowFlags(Box.window) & SDL_WINDOW_SHOWN)) {
        // It takes the keyboard from the program's other windows (the
        // debug window); a new window gets it from the desktop otherwise.
        bool ours = SDL_GetKeyboardFocus() != nullptr;
        SDL_ShowWindow(Box.window);
        SDL_RaiseWindow(Box.window);
        if (ours) SDL_SetWindowInputFocus(Box.window);
    }
}

bool GuiBoxWindowTakeEvent(const SDL_Event& e) {
    if (!Box.window || SdlEventWindowId(e) != SDL_GetWindowID(Box.window)) return false;
    Panel* p = Box.panel;
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
        // The close box answers as Esc does.
        Finish(p, (p->flags & 0xF) == MB_YESNO ? IDNO : (p->flags & 0xF) == MB_OKCANCEL ? IDCANCEL : IDOK);
        return true;
    }
    {
        BoxScope scope;
        ImGui_ImplSDL2_ProcessEvent(&e);
    }
    Box.dirty = true;
    Box.last_input = SDL_GetTicks();
    // A frame now, so that a press and its release fall in different frames.
    if (e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN) DrawBoxWindow();
    return true;
}

// Runs the box until it is answered; -1 when no window could be made.  A
// box opened meanwhile (a fatal error) runs over it, whose window then
// takes no input, as an owner of a modal box.
static int RunBoxWindow(Panel* p) {
    BoxWindow outer = Box;
    Box = BoxWindow();
    struct Restore {
        BoxWindow outer;
        ~Restore() {
            DestroyBoxWindow();
            Box = outer;
        }
    } restore{outer};
    if (!CreateBoxWindow(p)) return -1;
    p->own_window = true;
    Box.last_input = SDL_GetTicks();
    Box.dirty = true;
    while (!p->done) {
        for (int i = 0; i < 64 && !p->done && PumpMessage(); i++) {
        }
        if (p->done) break;
        bool settling = (uint32_t)(SDL_GetTicks() - Box.last_input) < GuiSettleMs;
        if (Box.dirty || settling || p->frames < 2) DrawBoxWindow();
        PlatWaitEvent(PlatTicks() + (settling || p->frames < 2 ? 16 : 1000));
    }
    return p->result;
}

// In the game's window once it shows; before that in a window of its own.
int GuiMessageBox(const char* text, const char* caption, uint32_t flags) {
    Panel p;
    p.kind = PanelBox;
    p.text = text ? text : "";
    p.caption = caption ? caption : "";
    p.flags = flags;
    return SdlWindowShown() ? RunModal(&p) : RunBoxWindow(&p);
}

int GuiInputDialog(const char* caption, const char* prompt, const char* button, std::string* text,
                   int limit, const PlatDialogSize* size, bool can_cancel) {
    Panel p;
    p.kind = PanelInput;
    p.caption = caption ? caption : "";
    p.text = prompt ? prompt : "";
    p.button = button ? button : "OK";
    p.limit = limit < 0 || limit > FieldLimit ? FieldLimit : limit;
    p.size = size;
    p.can_cancel = can_cancel;
    std::string start = *text;
    start.resize(Cp932Cut(start.data(), start.size(), (size_t)p.limit));
    snprintf(p.edit, sizeof p.edit, "%s", Cp932ToUtf8(start).c_str());
    int r = RunModal(&p);
    if (r < 0) return IDCANCEL;
    if (r == IDOK) {
        *text = Utf8ToCp932(p.edit);
        text->resize(Cp932Cut(text->data(), text->size(), (size_t)p.limit));
    }
    return r;
}

void GuiSliderDialog(const char* caption, PlatSlider* sliders, int count, int width,
                     void (*moved)(const PlatSlider*, int, void*), void* user) {
    Panel p;
    p.kind = PanelSliders;
    p.caption = caption ? caption : "";
    p.sliders = sliders;
    p.count = count;
    p.width = width;
    p.moved = moved;
    p.user = user;
    RunModal(&p);
}

int GuiListDialog(const char* caption, const char* const* items, int count, int selected,
                  const char* ok_label, const char* cancel_label, bool drop_down) {
    Panel p;
    p.kind = PanelList;
    p.caption = caption ? caption : "";
    for (int i = 0; i < count; i++) p.items.push_back(U(items[i] ? items[i] : ""));
    p.selected = selected < count ? selected : -1;
    p.ok = ok_label ? ok_label : "OK";
    p.cancel = cancel_label ? cancel_label : "Cancel";
    p.drop_down = drop_down;
    int r = RunModal(&p);
    return r == IDOK && p.selected >= 0 ? p.selected : -1;
}

int GuiComboDialog(const char* caption, const char* const* items, int count, int selected,
                   std::string* text, int limit, const char* ok_label, const char* cancel_label) {
    Panel p;
    p.kind = PanelList;
    p.editable = true;
    p.caption = caption ? caption : "";
    for (int i = 0; i < count; i++) p.items.push_back(U(items[i] ? items[i] : ""));
    p.limit = limit >= 0 && limit < FieldLimit ? limit : FieldLimit;
    std::string start = selected >= 0 && selected < count ? p.items[(size_t)selected] : U(*text);
    snprintf(p.edit, sizeof p.edit, "%s", start.c_str());
    p.ok = ok_label ? ok_label : "OK";
    p.cancel = cancel_label ? cancel_label : "Cancel";
    if (RunModal(&p) != IDOK) return -1;
    for (int i = 0; i < count; i++)
        if (p.items[(size_t)i] == p.edit) return i;
    *text = Utf8ToCp932(p.edit);
    return count;
}
