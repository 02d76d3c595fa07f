// gamestate.cpp - the game-state image, items 1-39 in their fixed order.
// Items of subsystems the engine does not have (MIDI, CD looping, buttons,
// the right-click switch's own record) are written with their new-game value
// and skipped on reading.
#include "save/gamestate.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "core/callstack.h"
#include "core/heapstring.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/filters.h"
#include "graphics/sprite.h"
#include "save/imagecache.h"
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

namespace {

// Writing: every value stored at the cursor, which is kept here (not in the
// caller's ImageWriter) so that it stays in registers while bytes are
// stored.  The cells and alphas are written from the surfaces themselves.
struct WriteWalk {
    static constexpr bool writing = true;
    static constexpr bool apply = false;
    ImageWriter w;
    bool splice;  // the sprite sections spliced in from their kept copies
    bool failed() const { return w.failed != 0; }
    void Int(const int32_t* v) { PutInt(&w, *v); }
    int32_t Value(int32_t v) {
        PutInt(&w, v);
        return v;
    }
    void Ints(const int32_t* v, size_t n) { PutInts(&w, v, n); }
    void Text(const char* buffer, size_t size) { PutFixedText(&w, buffer, size); }
    void Str(const std::string* t, size_t = 0) { PutText(&w, t->c_str(), std::strlen(t->c_str())); }
    const char* Scratch(const char* written, size_t = 0) {
        if (!written) written = "";
        PutText(&w, written, std::strlen(written));
        return written;
    }
    void Heap(const HeapString* h) { Scratch(StringText(*h)); }
    void Cell(int, const Surface& s) { PutInt(&w, s.cell); }
    void Alpha(int, const Surface& s) { PutInt(&w, s.alpha); }
    // n bytes at the cursor, null when they do not fit (as the puts).
    uint8_t* Claim(size_t n) {
        if ((size_t)(w.end - w.at) <= n) {
            ImageWriterFull(&w);
            return nullptr;
        }
        uint8_t* p = w.at;
        w.at += n;
        return p;
    }
    // An int and a heap text behind it.
    void IntHeap(int32_t v, const HeapString& h) {
        const char* t = StringText(h);
        size_t n = t[0] ? std::strlen(t) : 0;
        uint8_t* p = Claim(4 + n + 1);
        if (!p) return;
        StoreLe32(p, v);
        if (n) std::memcpy(p + 4, t, n);
        p[4 + n] = 0;
    }
};

// The bar and number tables are written as they lie in memory.
static_assert(sizeof(BarSlot) == 7 * sizeof(int32_t) && offsetof(BarSlot, value) == 0 &&
                  offsetof(BarSlot, maximum) == 20 && offsetof(BarSlot, color) == 24,
              "BarSlot is 7 ints: value, x, y, width, height, maximum, color");
static_assert(sizeof(PrnumSlot) == 6 * sizeof(int32_t) && offsetof(PrnumSlot, value) == 0 &&
                  offsetof(PrnumSlot, cellHeight) == 16 && offsetof(PrnumSlot, color) == 20,
              "PrnumSlot is 6 ints: value, x, y, cellWidth, cellHeight, color");

// Reading: checking (into scratch) or applying (into the game).
struct ReadWalk {
    static constexpr bool writing = false;
    SaveStream* s;
    bool apply;
    bool failed() const { return s->failed != 0; }
    void Int(int32_t* v) {
        if (apply) {
            SerializeInt(s, v);
        } else {
            int32_t d;
            SerializeInt(s, &d);
        }
    }
    int32_t Value(int32_t) {  // an int whose read value the caller checks
        int32_t v = 0;
        SerializeInt(s, &v);
        return v;
    }
    // A sprite field: its record's section is written again after a load
    // (ForgetImageCaches); checking stores nothing.
    void Int(ImageInt* v) { Int(apply ? v->Raw() : nullptr); }
    template <size_t N>
    void Text(ImageText<N>* t) {
        if (apply) return Text(t->Edit(), N);
        std::string d;
        SerializeString(s, &d, N - 1);
    }
    void Text(char* buffer, size_t size) {
        if (apply) {
            SerializeText(s, buffer, size);
        } else {
            std::string d;
            SerializeString(s, &d, size - 1);
        }
    }
    void Str(std::string* t, size_t max = 4095) {
        if (apply) {
            SerializeString(s, t, max);
        } else {
            std::string d;
            SerializeString(s, &d, max);
        }
    }
    std::string Scratch(const char*, size_t max = 4095) {
        std::string t;
        SerializeString(s, &t, max);
        return t;
    }
    void Heap(HeapString* h) {
        std::string t = Scratch(nullptr, 1 << 20);
        if (apply) AssignString(h, t.c_str());
    }
    // Read into SavepointCells / SavepointAlphas: the load applies them
    // after it has loaded the pictures.
    void Cell(int i, const Surface&) { Int(&SavepointCells[i]); }
    void Alpha(int i, const Surface&) { Int(&SavepointAlphas[i]); }
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

template <class W>
__attribute__((always_inline)) static inline bool WalkGameState(W& w) {
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
    for (int i = 0; i < HumanCount; i++) w.Cell(i, Humans[i].surface);  // 15
    for (int i = 0; i < HumanCount; i++) w.Alpha(i, Humans[i].surface);
    if constexpr (W::writing) {                                         // 16
        if (w.splice) SpliceSpriteSection(&w.w);
        else PutSpriteSection(&w.w);
    } else {
        for (int i = 0; i < SpriteCount; i++) {
            Sprite& sp = Sprites[i];
            w.Text(&sp.tag);  // a "bklg" sprite's was written as ""
            w.Int(&sp.x);
            w.Int(&sp.y);
            w.Int(&sp.visible);
            w.Cell(HumanCount + i, sp.surface);
            w.Alpha(HumanCount + i, sp.surface);
        }
    }
    for (int i = 0; i < GlobalBorder && i < VariableCount; i++) {      // 17
        if constexpr (W::writing) {
            w.IntHeap(IntVariables[i], StrVariables[i]);
            continue;
        }
        w.Int(&IntVariables[i]);
        w.Heap(&StrVariables[i]);
    }
    int32_t depth = w.Value(CallStackDepth);                            // 18
    if (depth < 0 || depth > CallStackSize) return false;
    if constexpr (W::writing) {
        w.Ints(CallStack, (size_t)depth);
    } else {
        int32_t entries[CallStackSize];
        for (int i = 0; i < depth; i++) entries[i] = w.Value(0);
        if (!ValidStackEntries(entries, depth)) return false;
        if (w.apply) {
            std::memcpy(CallStack, entries, sizeof(int32_t) * depth);
            CallStackDepth = depth;
        }
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
    auto bgm = w.Scratch(BgmSaved && !Mp3VoiceMode ? BgmName.c_str() : "");
    if constexpr (!W::writing) {
        if (w.apply) {
            BgmSaved = saved;
            if (saved && !Mp3VoiceMode) BgmName = bgm;
        }
    }
    w.Int(&EraseWindowAllowed);                                         // 24
    w.Int(&TextModeOn);                                                 // 25
    if constexpr (W::writing) {                                         // 26
        w.Ints(&BarSlots[0].value, 7 * BarSlotCount);
        w.Ints(&PrnumSlots[0].value, 6 * PrnumSlotCount);
    } else if (version > 0) {
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
        if constexpr (W::writing) {
            if (av.count > 0) w.Ints(av.data, (size_t)av.count);
            if (w.failed()) return false;
        } else {
            for (long long e = 0; e < av.count; e++) {
                w.Int(&av.data[e]);
                if (w.failed()) return false;
            }
        }
    }
    w.Int(&EffectSpeed);                                                // 31
    w.Int(&WindowKeptForHumans);
    auto intro = w.Scratch(LoopBgmFiles.intro.c_str());                // 32
    auto loop = w.Scratch(LoopBgmFiles.loop.c_str());
    if constexpr (!W::writing) {
        if (w.apply) {
            LoopBgmFiles.intro = intro;
            LoopBgmFiles.loop = loop;
        }
    }
    w.Int(&RubyOn);                                                     // 33
    w.Int(&RubyFontWidth);
    w.Int(&RubyFontHeight);
    w.Text(RubyFontFace, sizeof RubyFontFace);
    w.Int(&RubyPerLine);
    if constexpr (W::writing) {                                         // 34
        if (w.splice) SpliceSprite2Section(&w.w);
        else PutSprite2Section(&w.w);
    } else {
        for (int i = 0; i < Sprite2Count; i++) {
            Sprite2& q = Sprites2[i];
            w.Text(&q.tag);
            for (ImageInt* p : {&q.cx, &q.cy, &q.xscale, &q.yscale, &q.rotation, &q.visible}) w.Int(p);
            w.Int(&q.surface.alpha);  // a loaded picture's becomes 255 after the load
            w.Int(&q.blend);
        }
    }
    w.Int(&BacklogTagSet);                                              // 35
    int32_t tag = w.Value(TagHandled);
    if (!W::writing && w.apply) TagHandled = tag;
    w.Int(&BacklogCommitted);
    w.Int(&BacklogTagSet);
    w.Int(&AllSpritesHidden);                                           // 36
    w.Int(&Sprite2Hidden);
    w.Int(&BgmLoopPointSet);                                            // 37
    w.Str(&BgmLoopPointText);
    int32_t skip = w.Value(EffectSkip ? 0 : 1);                         // 38
    if (!W::writing && w.apply) EffectSkip = skip == 0 ? 1 : 0;
    for (int i = 0; i < HumanCount; i++) w.Int(&HumanCentreX[i]);      // 39
    w.Int(&HumanBaseline);
    return !w.failed();
}

void WriteGameStateImage(ImageWriter* out) {
    WriteWalk w{*out, false};
    WalkGameState(w);
    *out = w.w;
}

void SpliceGameStateImage(ImageWriter* out) {
    ClearSplices();
    WriteWalk w{*out, true};
    WalkGameState(w);
    *out = w.w;
}

// Through a buffer that grows until the image fits; the stream applies its
// own limit.
void WriteGameState(SaveStream* s) {
    std::vector<uint8_t> buffer(SaveDataLimit);
    for (;;) {
        ImageWriter w{buffer.data(), buffer.data() + buffer.size()};
        WriteGameStateImage(&w);
        if (!w.failed) return AppendBytes(s, buffer.data(), (size_t)(w.at - buffer.data()));
        if (s->limit && buffer.size() >= s->limit) {
            s->failed = 1;
            return;
        }
        buffer.resize(2 * buffer.size());
    }
}

bool ReadGameState(SaveStream* s, bool apply) {
    ReadWalk w{s, apply};
    bool read = WalkGameState(w);
    if (apply) ForgetImageCaches();
    return read;
}
