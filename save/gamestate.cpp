// gamestate.cpp - the game-state image, items 1-39 in their fixed order.
// Items of subsystems the engine does not have (MIDI, CD looping, buttons,
// the right-click switch's own record) are written with their new-game value
// and skipped on reading.
#include "save/gamestate.h"

#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/heapstring.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/filters.h"
#include "graphics/sprite.h"
#include "sound/mciwave.h"
#include "sound/midi.h"
#include "sound/music.h"
#include "sound/sound_thread.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "text/backlog.h"
#include "text/clickwait.h"
#include "text/ruby.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/buttons.h"
#include "ui/system_actions.h"

int32_t SavepointCells[HumanCount + SpriteCount];
int32_t SavepointAlphas[HumanCount + SpriteCount];

void CopySavepointCells() {
    for (int i = 0; i < HumanCount; i++) {
        SavepointCells[i] = Humans[i].surface.cell;
        SavepointAlphas[i] = Humans[i].surface.alpha;
    }
    for (int i = 0; i < SpriteCount; i++) {
        SavepointCells[HumanCount + i] = Sprites[i].surface.cell;
        SavepointAlphas[HumanCount + i] = Sprites[i].surface.alpha;
    }
}

namespace {

// One walk over the image: writing, checking (reads into scratch) or
// applying (reads into the game).
struct Walk {
    SaveStream* s;
    bool apply;
    bool live() const { return s->writing || apply; }
    void Int(int32_t* v) {
        if (live()) {
            SerializeInt(s, v);
        } else {
            int32_t d;
            SerializeInt(s, &d);
        }
    }
    int32_t Value(int32_t written) {  // an int whose read value the caller checks
        SerializeInt(s, &written);
        return written;
    }
    void Text(char* buffer, size_t size) {
        if (live()) {
            SerializeText(s, buffer, size);
        } else {
            std::string d;
            SerializeString(s, &d, size - 1);
        }
    }
    void Str(std::string* t, size_t max = 4095) {
        if (live()) {
            SerializeString(s, t, max);
        } else {
            std::string d;
            SerializeString(s, &d, max);
        }
    }
    std::string Scratch(const char* written, size_t max = 4095) {
        std::string t = written ? written : "";
        SerializeString(s, &t, max);
        return t;
    }
    void Heap(HeapString* h) {
        std::string t = Scratch(StringText(*h), 1 << 20);
        if (!s->writing && apply) AssignString(h, t.c_str());
    }
};

bool ValidStackEntries(const int32_t* e, int depth) {
    for (int i = 0; i < depth; i++) {
        if (e[i] >= 0) {
            if (!IsScriptPosition(e[i])) return false;
            continue;
        }
        // A for frame: variable, end, step, -body position.
        if (i < ForFrameSize - 1 || e[i] == INT32_MIN || !IsScriptPosition(-e[i])) return false;
        int32_t var = e[i - 3];
        if (var < 0 || var >= VariableCount) return false;
    }
    return true;
}

}  // namespace

static bool WalkGameState(Walk& w) {
    SaveStream* s = w.s;
    int32_t version = w.Value(GameStateVersion);                       // 1
    w.Int(&TextBold);                                                   // 2
    w.Int(&TextShadow);
    w.Value(int32_t(std::strlen(BacklogPageText())));                   // 3
    w.Int(&RightClickOn);                                               // 4
    w.Int(&TextColorRed);                                               // 5
    w.Int(&TextColorBlue);
    w.Int(&TextColorGreen);
    w.Text(WaitCursors[0].tag, sizeof WaitCursors[0].tag);              // 6
    w.Text(WaitCursors[1].tag, sizeof WaitCursors[1].tag);
    w.Int(&WindowEffect);                                               // 7
    w.Int(&WindowEffectDuration);
    w.Text(WindowEffectImage, sizeof WindowEffectImage);
    int32_t* item8[] = {&TextOriginX, &TextOriginY, &TextColumns, &TextRows,  // 8
                        &TextFontWidth, &TextFontHeight, &TextCharAdvance,
                        &TextLineAdvance, &WindowColor, &TextSpeed};
    for (int32_t* p : item8) w.Int(p);
    w.Int(&TextWindowLeft);                                             // 9
    w.Int(&TextWindowTop);
    w.Int(&TextWindowRight);
    w.Int(&TextWindowBottom);
    w.Text(WindowImageTag, sizeof WindowImageTag);                      // 10
    for (int i = 0; i < 2; i++) w.Int(&WaitCursors[i].relative);       // 11
    for (int i = 0; i < 2; i++) w.Int(&WaitCursors[i].x);
    for (int i = 0; i < 2; i++) w.Int(&WaitCursors[i].y);
    w.Heap(&BgName);                                                    // 12
    for (int i = 0; i < HumanCount; i++) w.Text(Humans[i].name, sizeof Humans[i].name);  // 13
    for (int i = 0; i < HumanCount; i++) w.Int(&Humans[i].x);          // 14
    for (int i = 0; i < HumanCount; i++) w.Int(&Humans[i].y);
    for (int i = 0; i < HumanCount; i++) w.Int(&SavepointCells[i]);    // 15
    for (int i = 0; i < HumanCount; i++) w.Int(&SavepointAlphas[i]);
    for (int i = 0; i < SpriteCount; i++) {                             // 16
        Sprite& sp = Sprites[i];
        if (s->writing && sp.tag[0] == 'b' && std::strcmp(sp.tag, "bklg") == 0) {
            char none[1] = {0};
            w.Text(none, 1);
        } else {
            w.Text(sp.tag, sizeof sp.tag);
        }
        w.Int(&sp.x);
        w.Int(&sp.y);
        w.Int(&sp.visible);
        w.Int(&SavepointCells[HumanCount + i]);
        w.Int(&SavepointAlphas[HumanCount + i]);
    }
    for (int i = 0; i < GlobalBorder && i < VariableCount; i++) {      // 17
        w.Int(&IntVariables[i]);
        w.Heap(&StrVariables[i]);
    }
    int32_t depth = w.Value(CallStackDepth);                            // 18
    if (depth < 0 || depth > CallStackSize) return false;
    int32_t entries[CallStackSize];
    for (int i = 0; i < depth; i++) entries[i] = w.Value(s->writing ? CallStack[i] : 0);
    if (!s->writing && !ValidStackEntries(entries, depth)) return false;
    if (!s->writing && w.apply) {
        std::memcpy(CallStack, entries, sizeof(int32_t) * depth);
        CallStackDepth = depth;
    }
    w.Int(&Monocro.on);                                                 // 19
    w.Int(&Monocro.blue);
    w.Int(&Monocro.green);
    w.Int(&Monocro.red);
    w.Int(&NegaMode);                                                   // 20
    w.Str(&MidiName);                                                   // 21
    w.Str(&MciWaveName);
    w.Int(&CdTrack);                                                    // 22
    w.Int(&MidiLooping);
    w.Int(&MciWaveLooping);
    w.Int(&CdLooping);
    w.Int(&BgmLooping);
    int32_t saved = w.Value(BgmSaved);                                  // 23
    std::string bgm = w.Scratch(BgmSaved && !Mp3VoiceMode ? BgmName.c_str() : "");
    if (!s->writing && w.apply) {
        BgmSaved = saved;
        if (saved && !Mp3VoiceMode) BgmName = bgm;
    }
    w.Int(&EraseWindowAllowed);                                         // 24
    w.Int(&TextModeOn);                                                 // 25
    if (version > 0) {                                                  // 26
        for (int i = 0; i < BarSlotCount; i++) {
            BarSlot& b = BarSlots[i];
            for (int32_t* p : {&b.value, &b.x, &b.y, &b.width, &b.height, &b.maximum, &b.color}) w.Int(p);
        }
        for (int i = 0; i < PrnumSlotCount; i++) {
            PrnumSlot& n = PrnumSlots[i];
            for (int32_t* p : {&n.value, &n.x, &n.y, &n.cellWidth, &n.cellHeight, &n.color}) w.Int(p);
        }
    }
    w.Value(0);                                                         // 27
    w.Int(&AllSpritesHidden);                                           // 28
    w.Int(&LookbackOn);
    w.Text(ButtonPicture.tag, sizeof ButtonPicture.tag);                // 29 btndef tag
    for (int a = 0; a < ArrayCount; a++) {                              // 30
        ArrayVariable& av = ArrayVariables[a];
        for (long long e = 0; e < av.count; e++) {
            w.Int(&av.data[e]);
            if (s->failed) return false;
        }
    }
    w.Int(&EffectSpeed);                                                // 31
    w.Int(&WindowKeptForHumans);
    std::string intro = w.Scratch(LoopBgmFiles.intro.c_str());         // 32
    std::string loop = w.Scratch(LoopBgmFiles.loop.c_str());
    if (!s->writing && w.apply) {
        LoopBgmFiles.intro = intro;
        LoopBgmFiles.loop = loop;
    }
    w.Int(&RubyOn);                                                     // 33
    w.Int(&RubyFontWidth);
    w.Int(&RubyFontHeight);
    w.Text(RubyFontFace, sizeof RubyFontFace);
    w.Int(&RubyPerLine);
    for (int i = 0; i < Sprite2Count; i++) {                            // 34
        Sprite2& q = Sprites2[i];
        w.Text(q.tag, sizeof q.tag);
        for (int32_t* p : {&q.cx, &q.cy, &q.xscale, &q.yscale, &q.rotation, &q.visible}) w.Int(p);
        w.Int(&q.surface.alpha);  // a loaded picture's becomes 255 after the load
        w.Int(&q.blend);
    }
    w.Int(&BacklogTagSet);                                              // 35
    int32_t tag = w.Value(TagHandled);
    if (!s->writing && w.apply) TagHandled = tag;
    w.Int(&BacklogCommitted);
    w.Int(&BacklogTagSet);
    w.Int(&AllSpritesHidden);                                           // 36
    w.Int(&Sprite2Hidden);
    w.Int(&BgmLoopPointSet);                                            // 37
    w.Str(&BgmLoopPointText);
    int32_t skip = w.Value(EffectSkip ? 0 : 1);                         // 38
    if (!s->writing && w.apply) EffectSkip = skip == 0 ? 1 : 0;
    for (int i = 0; i < HumanCount; i++) w.Int(&HumanCentreX[i]);      // 39
    w.Int(&HumanBaseline);
    return !s->failed;
}

void WriteGameState(SaveStream* s) {
    Walk w{s, true};
    WalkGameState(w);
}

bool ReadGameState(SaveStream* s, bool apply) {
    Walk w{s, apply};
    return WalkGameState(w);
}
