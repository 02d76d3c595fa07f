// fonts.cpp - faces by name through fontconfig, opened with FreeType and
// kept for the run.  A name fontconfig knows (by family, or by an alias its
// configuration gives) is used when the match can draw Japanese; otherwise
// Mincho-like names fall back to the IPA Mincho face and every other name to
// IPA Gothic, so text never comes out blank.
#include "text/fonts.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include "platform/platform.h"
#include "text/glyph.h"
#include "text/gsub.h"
#include "text/textwin_messages.h"

enum { FaceSlots = 32 };

struct FaceSlot {
    char name[FontFaceSize];  // the CP932 name asked for
    std::string file;
    FT_Face face;
};
static FaceSlot Faces[FaceSlots];
static int FaceCount;
static FT_Library Library;

FT_Library FontLibrary() {
    if (!Library && FT_Init_FreeType(&Library) != 0) Library = nullptr;
    return Library;
}

static bool ContainsAny(const std::string& s, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (s.find(w) != std::string::npos) return true;
    return false;
}

// The file fontconfig gives for a family, asking for Japanese coverage, or
// "" when its best match cannot draw kana and kanji.  *exact tells whether
// the match carries the family's own name.
static std::string MatchJapanese(const std::string& family, bool* exact) {
    FcInit();
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, (const FcChar8*)family.c_str());
    FcPatternAddString(pat, FC_LANG, (const FcChar8*)"ja");
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    std::string file;
    if (exact) *exact = false;
    if (match) {
        FcChar8* path = nullptr;
        FcCharSet* cs = nullptr;
        FcChar8* fam = nullptr;
        bool japanese = FcPatternGetCharSet(match, FC_CHARSET, 0, &cs) == FcResultMatch &&
                        FcCharSetHasChar(cs, 0x3042) && FcCharSetHasChar(cs, 0x6F22);
        for (int i = 0; exact && FcPatternGetString(match, FC_FAMILY, i, &fam) == FcResultMatch; i++)
            if (FcStrCmpIgnoreCase(fam, (const FcChar8*)family.c_str()) == 0) *exact = true;
        if (japanese && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
            file = (const char*)path;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return file;
}

// An installed family by its name; else, for a Mincho (serif) name, the
// Mincho fallback; else what fontconfig's aliases make of the name when it
// draws Japanese; else the Gothic fallback.
static std::string ResolveFile(const char* name) {
    std::string utf8 = Cp932ToUtf8(name);
    bool exact = false;
    std::string file = utf8.empty() ? std::string() : MatchJapanese(utf8, &exact);
    if (!file.empty() && exact) return file;
    bool mincho = ContainsAny(utf8, {"\xE6\x98\x8E\xE6\x9C\x9D", "Mincho", "mincho", "MINCHO",
                                     "Serif", "serif"});  // 明朝
    if (mincho) {
        std::string m = MatchJapanese("IPAMincho", nullptr);
        if (!m.empty()) return m;
    }
    if (!file.empty()) return file;
    file = MatchJapanese("IPAGothic", nullptr);
    if (file.empty()) file = MatchJapanese("sans-serif", nullptr);
    return file;
}

static FaceSlot* FindSlot(const char* face) {
    if (face[0] == '@') face++;
    if (!face[0]) face = DefaultFont[0] ? DefaultFont : FaceGothic;
    for (int i = 0; i < FaceCount; i++)
        if (strcmp(Faces[i].name, face) == 0) return &Faces[i];
    // A full table forgets its oldest face (kept open: glyphs may refer to it).
    FaceSlot* slot = &Faces[FaceCount < FaceSlots ? FaceCount++ : FaceSlots - 1];
    snprintf(slot->name, sizeof slot->name, "%s", face);
    slot->file = ResolveFile(face);
    slot->face = nullptr;
    // Faces already opened for the same file are shared.
    for (int i = 0; i < FaceCount; i++)
        if (&Faces[i] != slot && Faces[i].face && Faces[i].file == slot->file) slot->face = Faces[i].face;
    if (!slot->face && !slot->file.empty() && FontLibrary())
        if (FT_New_Face(Library, slot->file.c_str(), 0, &slot->face) != 0) slot->face = nullptr;
    return slot;
}

FT_Face FindFace(const char* face) { return FindSlot(face)->face; }
const char* FaceFile(const char* face) { return FindSlot(face)->file.c_str(); }

FaceCell CellOfFace(FT_Face face) {
    FaceCell c{0, 0, 0, face->units_per_EM ? face->units_per_EM : 1000};
    const TT_OS2* os2 = (const TT_OS2*)FT_Get_Sfnt_Table(face, FT_SFNT_OS2);
    if (os2 && os2->version != 0xFFFF && (int32_t)os2->usWinAscent + os2->usWinDescent > 0) {
        c.ascent = os2->usWinAscent;
        c.descent = os2->usWinDescent;
    } else if (face->ascender - face->descender > 0) {
        c.ascent = face->ascender;
        c.descent = -face->descender;
    } else {
        c.ascent = c.unitsPerEm * 7 / 8;
        c.descent = c.unitsPerEm - c.ascent;
    }
    c.averageWidth = os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth
                                                                              : c.unitsPerEm / 2;
    return c;
}

// The 'vert' substitutions of each face met, read once.
struct VerticalForms {
    FT_Face face;
    std::vector<std::pair<uint16_t, uint16_t>> pairs;
};
static std::vector<VerticalForms> FormsOfFaces;

static const VerticalForms& FormsOf(FT_Face face) {
    for (const VerticalForms& v : FormsOfFaces)
        if (v.face == face) return v;
    FormsOfFaces.push_back({face, {}});
    VerticalForms& v = FormsOfFaces.back();
    FT_ULong length = 0;
    if (FT_IS_SFNT(face) && FT_Load_Sfnt_Table(face, TTAG_GSUB, 0, nullptr, &length) == 0 && length > 0) {
        std::vector<uint8_t> table(length);
        if (FT_Load_Sfnt_Table(face, TTAG_GSUB, 0, table.data(), &length) == 0)
            ReadGsubSingles(table.data(), table.size(), GsubTag("vert"), &v.pairs);
    }
    return v;
}

FT_UInt VerticalGlyph(FT_Face face, FT_UInt glyph, bool* has) {
    const VerticalForms& v = FormsOf(face);
    if (has) *has = !v.pairs.empty();
    auto it = std::lower_bound(v.pairs.begin(), v.pairs.end(), std::make_pair((uint16_t)glyph, (uint16_t)0));
    if (glyph <= 0xFFFF && it != v.pairs.end() && it->first == glyph && it->second < face->num_glyphs)
        return it->second;
    return glyph;
}
