// exbtn.cpp - the extended-button string interpreter and the textexbtn
// strings.  Parsing never reads past the string's NUL.
#include "ui/exbtn.h"

#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "graphics/sprite.h"
#include "sound/voices.h"
#include "text/display.h"
#include "text/textwindow.h"
#include "ui/button_messages.h"

HeapString ExbtnDefault;

enum { ExbtnDigitLimit = 18, ExbtnFileSize = 256 };

namespace {

struct Parser {
    const char* whole;
    const char* p;

    [[noreturn]] void Bad() { ScriptErrorF(CapError, FmtBadExbtn, whole); }

    // A run of digits (empty = 0); the 19th digit is fatal.
    int64_t Number() {
        char digits[ExbtnDigitLimit + 2];
        int n = 0;
        int64_t v = 0;
        while (*p >= '0' && *p <= '9') {
            if (n == ExbtnDigitLimit) {
                digits[n] = 0;
                ScriptErrorF(CapSyntax, FmtNumberTooLong, digits);
            }
            digits[n++] = *p;
            v = v * 10 + (*p - '0');
            p++;
        }
        return v;
    }
    // The one character after a number of M, whatever it is (not the NUL).
    void SkipOne() {
        if (*p) p++;
    }
};

bool SpriteLoaded(int64_t n) { return n >= 0 && n < SpriteCount && Sprites[n].tag[0]; }

void HideSprite(int64_t n) {
    Sprites[n].visible = 0;
    MarkSpriteDirty((int)n);
}

}  // namespace

void RunExbtnString(const char* text) {
    if (!text) return;
    Parser ps{text, text};
    while (*ps.p) {
        char c = *ps.p;
        if (c == ' ' || c == '\t') {
            ps.p++;
            continue;
        }
        ps.p++;
        switch (c) {
        case 'C':
        case 'c': {
            int64_t n = ps.Number();
            if (*ps.p == '-') {
                ps.p++;
                int64_t m = ps.Number();
                // Only the part of the range inside the sprite table.
                if (n < 0) n = 0;
                if (m > SpriteCount - 1) m = SpriteCount - 1;
                for (int64_t k = n; k <= m; k++) HideSprite(k);
            } else if (SpriteLoaded(n) && Sprites[n].visible) {
                HideSprite(n);
            }
            break;
        }
        case 'M':
        case 'm': {
            int64_t n = ps.Number();
            ps.SkipOne();
            int64_t x = ps.Number();
            ps.SkipOne();
            int64_t y = ps.Number();
            if (!SpriteLoaded(n)) break;
            Sprite& s = Sprites[n];
            s.visible = 1;
            MarkSpriteDirty((int)n);
            s.x = (int32_t)x;
            s.y = (int32_t)y;
            MarkSpriteDirty((int)n);
            break;
        }
        case 'P':
        case 'p': {
            int64_t n = ps.Number();
            int64_t cell = 0;
            if (*ps.p == ',') {
                ps.p++;
                cell = ps.Number();
            }
            if (!SpriteLoaded(n)) break;
            Sprite& s = Sprites[n];
            int32_t old = s.surface.cell;
            s.surface.cell = (int32_t)cell;
            if (!s.visible) {
                s.visible = 1;
                MarkSpriteDirty((int)n);
            } else if (old != s.surface.cell) {
                MarkSpriteDirty((int)n);
            }
            break;
        }
        case 'S':
        case 's': {
            int64_t n = ps.Number();
            if (*ps.p != ',') ps.Bad();
            ps.p++;
            if (*ps.p != '(') ps.Bad();
            ps.p++;
            const char* close = strchr(ps.p, ')');
            if (!close || close - ps.p >= ExbtnFileSize) ps.Bad();
            char file[ExbtnFileSize];
            memcpy(file, ps.p, (size_t)(close - ps.p));
            file[close - ps.p] = 0;
            ps.p = close + 1;
            int channel = n > 0x7FFFFFFF ? -1 : (int)n;
            if (file[0])
                PlayDwave(channel, file, 0);
            else
                StopDwave(channel);
            break;
        }
        default: ps.Bad();
        }
    }
}

// ---- textexbtn --------------------------------------------------------------------------------

namespace {
// Each string remembers the button it was given to: a new page that puts
// another button in the slot leaves the string behind.
struct TextExbtn {
    HeapString text;
    int32_t number = 0, left = 0, top = 0, right = 0;
};
TextExbtn TextExbtns[TextButtonMax];

bool SameButton(const TextExbtn& e, const TextButtonEntry& b) {
    return e.number == b.number && e.left == b.left && e.top == b.top && e.right == b.right;
}
}  // namespace

const char* TextButtonExbtn(int index) {
    if (index < 0 || index >= TextButtonMax || index >= TextButtonCount) return "";
    const TextExbtn& e = TextExbtns[index];
    if (!SameButton(e, TextButtons[index])) return "";
    return StringText(e.text);
}

void SetTextButtonExbtn(int32_t number, const char* text) {
    int count = TextButtonCount < 0 ? 0 : TextButtonCount > TextButtonMax ? TextButtonMax : TextButtonCount;
    for (int i = 0; i < count; i++) {
        const TextButtonEntry& b = TextButtons[i];
        if (b.number != number) continue;
        TextExbtn& e = TextExbtns[i];
        AssignString(&e.text, text);
        e.number = b.number;
        e.left = b.left;
        e.top = b.top;
        e.right = b.right;
    }
}
