// imagetag.cpp - LoadSurface and LoadImageTag: the tag parser, the lookup
// in the folder and the archives, the decoders by extension, mask merging
// and the colour filters; the commands spi, jpegmode and noloaderror.
#include "graphics/imagetag.h"

#include <climits>
#include <cstring>

#include "archive/arcfile.h"
#include "archive/extract.h"
#include "archive/ov2.h"
#include "archive/ova.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "ext/optional.h"
#include "graphics/bmp.h"
#include "graphics/decode.h"
#include "graphics/gfx_messages.h"
#include "graphics/loader_links.h"
#include "graphics/spb.h"
#include "platform/platform.h"
#include "save/namelog.h"

int32_t DefaultTransMode;
int32_t JpegMode;
int32_t NoLoadError;
int32_t BlankIfMissing;
HeapString ImagePlugins[ImagePluginMax];
int32_t ImagePluginCount;

// ---- the tag parser ----

namespace {

[[noreturn]] void BadTag() { ScriptError(CapTag, MsgBadTag); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value atoi gives at p (blanks and a sign accepted), saturated to 32
// bits; p is not moved.
int32_t Atoi(const char* p) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') p++;
    bool neg = false;
    if (*p == '-' || *p == '+') neg = *p++ == '-';
    int64_t v = 0;
    while (IsDigit(*p)) {
        v = v * 10 + (*p++ - '0');
        if (v > (int64_t)INT32_MAX + 1) v = (int64_t)INT32_MAX + 1;
    }
    if (neg) v = -v;
    if (v > INT32_MAX) v = INT32_MAX;
    return (int32_t)v;
}
// A decimal number whose sign is read but not skipped: only digits move p.
int32_t ReadNumber(const char*& p) {
    int32_t v = Atoi(p);
    while (IsDigit(*p)) p++;
    return v;
}
// A decimal number with its sign skipped.
int32_t ReadSignedNumber(const char*& p) {
    int32_t v = Atoi(p);
    if (*p == '-' || *p == '+') p++;
    while (IsDigit(*p)) p++;
    return v;
}
void Expect(const char*& p, char c) {
    if (*p != c) BadTag();
    p++;
}
// The first of the characters `stops` from p on, or the end of the tag:
// fields are found by searching, so blanks or stray characters between them
// are passed over.
const char* FindAny(const char* p, const char* stops) {
    while (*p && !strchr(stops, *p)) p++;
    return p;
}
// Moves p behind the next ',' before any ';' and the end, or fails.
void SkipToComma(const char*& p) {
    p = FindAny(p, ",;");
    Expect(p, ',');
}

// <bN, rgbR,G,B>
void ParseFilters(const char*& p, ImageTag* t) {
    p++;
    for (;;) {
        while (*p == ' ' || *p == '\t' || *p == ',') p++;
        char c = *p;
        if (c == '>') {
            p++;
            return;
        }
        if (c == 'b' || c == 'B') {
            p++;
            t->brightness = ReadNumber(p);
        } else if (c == 'r' || c == 'R') {
            p++;
            if (*p != 'g' && *p != 'G') BadTag();
            p++;
            if (*p != 'b' && *p != 'B') BadTag();
            p++;
            t->factorRed = ReadNumber(p);
            Expect(p, ',');
            t->factorGreen = ReadNumber(p);
            Expect(p, ',');
            t->factorBlue = ReadNumber(p);
        } else {
            BadTag();
        }
    }
}

// /N,T,M  /N,<t1,...,tN>,M  /N;  up to the ';'.
void ParseCells(const char*& p, ImageTag* t) {
    for (;;) {
        char c = *p;
        if (c == ';') {
            p++;
            return;
        }
        if (c == 0) BadTag();  // ':' without ';'
        if (c != '/') {
            p++;
            continue;
        }
        p++;
        int32_t n = ReadNumber(p);
        if (n > MaxPictureSide) BadTag();
        if (n < 1) n = 1;
        t->cellsGiven = true;
        t->cellCount = n;
        p = FindAny(p, ",;");
        if (*p == ';') {  // a ';' before any ','

            t->cellTimeGiven = true;
            t->cellTime = NoAnimation;
            t->loopModeGiven = true;
            t->loopMode = 3;
            t->cellTimes.clear();
            p++;
            return;
        }
        if (*p == 0) BadTag();  // ':' without ';'
        p++;
        t->cellTimeGiven = true;
        while (*p == ' ' || *p == '\t') p++;
        if (*p == '<') {
            p++;
            t->cellTimes.assign((size_t)n, 0);
            for (int32_t i = 0; i < n; i++) {
                t->cellTimes[(size_t)i] = ReadNumber(p);
                if (i < n - 1) {  // a '>' or ';' first: the list ended early
                    p = FindAny(p, ",>;");
                    Expect(p, ',');
                }
            }
            Expect(p, '>');
            t->cellTime = -1;
        } else {
            t->cellTime = ReadNumber(p);
            t->cellTimes.clear();
            // -1 marks a list of times; written as a number it would send
            // the animation into a list that is not there.  Like every
            // other negative time it never comes due.
            if (t->cellTime == -1) t->cellTime = NoAnimation;
        }
        SkipToComma(p);  // the ',' before M
        t->loopModeGiven = true;
        t->loopMode = ReadNumber(p);
        if (t->loopMode == 3) t->cellTime = NoAnimation;
    }
}

// After 's': [/W,H,P[,F];] #rrggbb... text
void ParseStringSprite(const char*& p, ImageTag* t) {
    t->stringSprite = true;
    if (*p == '/') {
        p++;
        t->sizeGiven = true;
        t->spriteWidth = ReadSignedNumber(p);
        SkipToComma(p);
        t->spriteHeight = ReadSignedNumber(p);
        SkipToComma(p);
        t->spritePitch = ReadSignedNumber(p);
        p = FindAny(p, ",;");
        if (*p == ',') {
            p++;
            t->styleGiven = true;
            t->style = ReadSignedNumber(p);
            p = FindAny(p, ";");
        }
        Expect(p, ';');
    }
    while (*p == '#' && (int)t->colors.size() < StringSpriteColorMax) {
        t->colors.push_back((int32_t)ParseHexColor(p + 1));
        p += 7;
    }
    if (t->colors.empty()) ScriptError(CapGfxError, MsgStringSpriteColor);
    if (p[0] == '$' && IsDigit(p[1])) {
        t->textIsVariable = true;
        t->textVariable = Atoi(p + 1);
    }
    t->text = p;
}

}  // namespace

void ParseImageTag(const char* tag, ImageTag* t) {
    *t = ImageTag();
    const char* p = tag;
    if (*p == '*') {
        t->layer = true;
        t->file = p;
        return;
    }
    if (*p == '<') ParseFilters(p, t);
    if (*p != ':') {
        t->file = p;
        return;
    }
    p++;
    while (*p == ' ' || *p == '\t') p++;
    switch (*p) {
    case 'a': t->modeGiven = true; t->transMode = TransAlpha; p++; break;
    case 'c': t->modeGiven = true; t->transMode = TransCopy; p++; break;
    case 'l': t->modeGiven = true; t->transMode = TransLeftUp; p++; break;
    case 'r': t->modeGiven = true; t->transMode = TransRightUp; p++; break;
    case '#': {
        uint32_t c = ParseHexColor(p + 1);
        t->modeGiven = true;
        t->transMode = TransColorKey;
        t->keyColorGiven = true;
        t->keyRed = (int32_t)((c >> 16) & 0xFF);
        t->keyGreen = (int32_t)((c >> 8) & 0xFF);
        t->keyBlue = (int32_t)(c & 0xFF);
        p += 7;
        break;
    }
    case '!':
        p++;
        t->modeGiven = true;
        t->transMode = TransColorKey;
        t->keyIndexGiven = true;
        t->keyIndex = ReadNumber(p);
        break;
    case 'm': {
        p++;
        const char* e = p;
        while (*e && *e != '/' && *e != ';') e++;
        t->modeGiven = true;
        t->transMode = TransCopy;
        t->hasMask = true;
        t->maskTag.assign(p, e);
        p = e;
        break;
    }
    case 's':
        p++;
        t->modeGiven = true;
        t->transMode = TransAlpha;
        ParseStringSprite(p, t);
        return;
    default: break;
    }
    ParseCells(p, t);
    // A later /N item without times keeps the earlier list: it always
    // covers the cells, the last time repeated.
    if (t->cellTime == -1 && !t->cellTimes.empty() &&
        t->cellTimes.size() != (size_t)t->cellCount)
        t->cellTimes.resize((size_t)t->cellCount, t->cellTimes.back());
    t->file = p;
}

void ParseSolidStrips(const char* file, int32_t* width, int32_t* height,
                      std::vector<int32_t>* colors) {
    const char* p = file + 1;
    colors->clear();
    *width = ReadNumber(p);
    if (*p != ',') ScriptError(CapGfxError, MsgBadStripTag);
    p++;
    *height = ReadNumber(p);
    if (*p != ',') ScriptError(CapGfxError, MsgBadStripTag);
    p++;
    if (*p != '#') ScriptError(CapGfxError, MsgBadStripTag);
    while (*p == '#') {
        if ((int)colors->size() == SolidStripMax) ScriptError(CapGfxError, MsgTooManyStrips);
        colors->push_back((int32_t)ParseHexColor(p + 1));
        p += 7;
    }
    // A zero side makes no picture (the load then fails as any empty one);
    // sides past the picture limit are refused before anything is made.
    if (*width > MaxPictureSide || *height > MaxPictureSide) ScriptError(CapGfxError, MsgBadStripTag);
}

// ---- loading ----

namespace {

std::string LowerExtension(const std::string& name) {
    size_t dot = name.rfind('.');
    std::string e = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : e)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return e;
}

bool IsJpeg(const std::string& e) { return e == "jpg" || e == "jpeg"; }
bool IsPng(const std::string& e) { return e == "png" && PngLibraryLoaded; }

[[noreturn]] void CannotOpen(const std::string& name) {
    ScriptErrorF(CapLoad, FmtCannotOpen, name.c_str());
}

// The missing-picture rule of the archive steps.
void MissingFromArchive(Surface* s, const std::string& name, const std::string& ext) {
    bool silent = JpegMode || NoLoadError;
    if (IsJpeg(ext)) {
        if (silent) return;
        if (BlankIfMissing) {
            CreateSurface(s, 2, 2);
            return;
        }
    } else {
        if (BlankIfMissing) {
            CreateSurface(s, 2, 2);
            return;
        }
        if (silent) return;
    }
    ScriptErrorF(CapGfxError, FmtNotInArchive, name.c_str());
}

void DecodePngInto(Surface* s, const std::vector<uint8_t>& bytes) {
    ReleaseSurface(s);
    DecodePng(bytes.data(), bytes.size(), CellCountOf(s), s->transMode == TransAlpha, &s->dib);
}

// Decodes a file of the folder (or a temporary copy) by its extension; name
// is the tag's file part for messages.
void DecodeFile(Surface* s, const char* path, const std::string& name, const std::string& ext) {
    if (IsPng(ext)) {
        std::vector<uint8_t> bytes;
        ReleaseSurface(s);
        if (PlatReadFile(path, false, &bytes)) DecodePngInto(s, bytes);
    } else if (IsJpeg(ext)) {
        std::vector<uint8_t> bytes;
        ReleaseSurface(s);
        if (!PlatReadFile(path, false, &bytes) || !DecodeOlePicture(bytes.data(), bytes.size(), &s->dib))
            ScriptError(CapGfxError, MsgJpegFile);
    } else if (ext == "spb") {
        LoadSurfaceSpb(s, path);
    } else if (ext == "bmp") {
        LoadSurfaceBmp(s, path);
    } else if (const char* lib = FindImagePlugin(ext.c_str())) {
        ReleaseSurface(s);
        GetPictureFromFile(lib, &s->dib, path);
    } else if (!JpegMode && !NoLoadError) {
        CannotOpen(name);
    }
}

enum Lookup { Loaded, Missing };

// After the folder, the lookup tries the ov2 archives.
Lookup FromOv2(Surface* s, const std::string& name, const std::string& ext) {
    Ov2Lookup e;
    bool found = FindOv2Entry(name.c_str(), &e) == 1;
    bool known = IsJpeg(ext) || IsPng(ext) || ext == "bmp";
    if (!known) {
        if (found) ScriptError(CapGfxError, MsgOv2Formats);
        return Missing;
    }
    if (!found) {
        MissingFromArchive(s, name, ext);
        return Loaded;
    }
    std::vector<uint8_t> bytes;
    bool read = ReadOv2Entry(e, &bytes);
    ReleaseSurface(s);
    if (IsJpeg(ext)) {
        if (!read || !DecodeOlePicture(bytes.data(), bytes.size(), &s->dib))
            ScriptError(CapGfxError, MsgJpegArchive);
    } else if (IsPng(ext)) {
        if (read) DecodePngInto(s, bytes);
    } else if (read) {
        ReadBmpMemory(&s->dib, bytes.data(), bytes.size());
    }
    return Loaded;
}

// Then the ova archives.
Lookup FromOva(Surface* s, const std::string& name, const std::string& ext) {
    OvaLookup e;
    bool found = FindOvaEntry(name.c_str(), &e) >= 0;
    bool known = IsJpeg(ext) || IsPng(ext) || ext == "bmp";
    if (!known) {
        if (!found) return Missing;
        const char* lib = FindImagePlugin(ext.c_str());
        if (!lib) {
            if (!JpegMode && !NoLoadError) CannotOpen(name);
            return Loaded;
        }
        std::vector<uint8_t> bytes;
        ReleaseSurface(s);
        if (ReadOvaEntry(e, &bytes) &&
            GetPictureFromMemory(lib, bytes.data(), bytes.size(), &s->dib))
            return Loaded;
        return Missing;  // the plug-in failed: the archive plug-ins are next
    }
    if (!found) {
        MissingFromArchive(s, name, ext);
        return Loaded;
    }
    if (ext == "bmp" && e.type == OvaStored) ScriptError(CapGfxError, MsgBmpNotPacked);
    std::vector<uint8_t> bytes;
    bool read = ReadOvaEntry(e, &bytes);
    ReleaseSurface(s);
    if (IsJpeg(ext)) {
        if (!read || !DecodeOlePicture(bytes.data(), bytes.size(), &s->dib))
            ScriptError(CapGfxError, MsgJpegFile);
    } else if (IsPng(ext)) {
        if (read) DecodePngInto(s, bytes);
    } else if (read && e.type == OvaSpb) {
        DecodeSpb(bytes.data(), bytes.size(), &s->dib);
    } else if (read) {
        ReadBmpMemory(&s->dib, bytes.data(), bytes.size());
    }
    return Loaded;
}

// Brightness and colour factors over the first cell width of every row.
void ApplyFilters(Surface* s, const ImageTag& t) {
    Dib* d = &s->dib;
    if (!d->bits) return;
    int32_t bpp = d->infoHeader.bitCount;
    int32_t n = GetCellWidth(s);
    if (n > d->width) n = d->width;
    int32_t step = bpp == 32 ? 4 : 3;
    if (t.brightness != TagFilterUnset && (bpp == 24 || bpp == 32)) {
        int64_t f = t.brightness;
        for (int32_t y = 0; y < d->height; y++) {
            uint8_t* row = DibRow(d, y);
            for (int32_t x = 0; x < n; x++)
                for (int k = 0; k < 3; k++) {
                    int64_t v = row[step * x + k] * f / 255;
                    row[step * x + k] = (uint8_t)(v > 255 ? 255 : v < 0 ? 0 : v);
                }
        }
    }
    if (t.factorRed != TagFilterUnset) {
        if (bpp != 24 && bpp != 32) ScriptError(CapGfxError, MsgFilterNeedsFullColor);
        int64_t f[3] = {t.factorBlue, t.factorGreen, t.factorRed};
        for (int32_t y = 0; y < d->height; y++) {
            uint8_t* row = DibRow(d, y);
            for (int32_t x = 0; x < n; x++)
                for (int k = 0; k < 3; k++) {
                    int64_t v = row[step * x + k] * f[k] / 255;
                    row[step * x + k] = (uint8_t)(v > 255 ? 255 : v < 0 ? 0 : v);
                }
        }
    }
}

// The picture at the left, the mask's top-left corner at the right.
void MergeMask(Surface* s, const std::string& maskTag) {
    if (CellCountOf(s) > 1) ScriptError(CapGfxError, MsgMaskMultiCell);
    if (!HasPicture(s)) return;
    Surface mask;
    InitSurface(&mask);
    LoadSurface(&mask, maskTag.c_str());
    int32_t w = GetCellWidth(s), h = s->dib.height;
    Surface merged;
    InitSurface(&merged);
    if (w <= MaxPictureSide / 2 && CreateSurface(&merged, 2 * w, h)) {
        BltToSurface(&merged, 0, 0, w, h, s, 0, 0);
        if (HasPicture(&mask)) BltToSurface(&merged, w, 0, w, h, &mask, 0, 0);
    }
    ResetSurface(s);
    MoveDib(&s->dib, &merged.dib);
    s->transMode = TransAlpha;
    DestroySurface(&merged);
    DestroySurface(&mask);
}

}  // namespace

const char* FindImagePlugin(const char* extension) {
    for (int32_t i = 0; i < ImagePluginCount; i++) {
        const char* entry = StringText(ImagePlugins[i]);
        const char* bar = strchr(entry, '|');
        if (bar && strcmp(bar + 1, extension) == 0) {
            thread_local std::string lib;
            lib.assign(entry, bar);
            return lib.c_str();
        }
    }
    return nullptr;
}

bool LoadSurfaceBmp(Surface* s, const char* file) {
    ReleaseSurface(s);
    return ReadBmpFile(file, &s->dib) == 1 && HasPicture(s);
}

void LoadImageTag(Surface* s, const char* tag) {
    if (s->tag[0] && strncmp(s->tag, tag, SurfaceTagSize - 1) == 0 &&
        strlen(tag) <= (size_t)SurfaceTagSize - 1) {
        s->cell = 0;
        return;
    }
    ResetSurface(s);
    size_t len = strlen(tag);
    if (len > SurfaceTagSize - 1) len = SurfaceTagSize - 1;
    memcpy(s->tag, tag, len);
    s->tag[len] = 0;
    s->transMode = DefaultTransMode;

    ImageTag t;
    ParseImageTag(s->tag, &t);
    if (t.layer) {
        ReleaseSurface(s);
        CreateDib(&s->dib, 1, 1);
        s->transMode = TransLeftUp;
        return;
    }
    if (t.modeGiven) s->transMode = t.transMode;
    if (t.keyColorGiven) {
        s->keyRed = t.keyRed;
        s->keyGreen = t.keyGreen;
        s->keyBlue = t.keyBlue;
    }
    if (t.keyIndexGiven) s->keyIndex = t.keyIndex;
    if (t.cellsGiven) {
        s->animClock = PlatTicks();
        s->cellCount = t.cellCount;
    }
    if (t.cellTimeGiven) {
        s->cellTime = t.cellTime;
        if (t.cellTime == -1) {
            s->cellTimes = (int32_t*)malloc(sizeof(int32_t) * t.cellTimes.size());
            memcpy(s->cellTimes, t.cellTimes.data(), sizeof(int32_t) * t.cellTimes.size());
        }
    }
    if (t.loopModeGiven) s->loopMode = t.loopMode;

    if (t.stringSprite) {
        s->isStringSprite = 1;
        s->transMode = TransAlpha;
        std::string text = t.text;
        if (t.textIsVariable) {
            if (t.textVariable < 0 || t.textVariable >= VariableCount)
                ScriptError(CapGfxError, MsgStrVarRange);
            text = StringText(StrVariables[t.textVariable]);
        }
        std::vector<int32_t> colors = t.colors;
        colors.push_back(-1);
        s->animClock = PlatTicks();
        s->cellCount = (int32_t)t.colors.size();
        s->cell = 0;
        s->cellTime = StringSpriteCellTime;
        s->loopMode = 3;
        int32_t style = t.styleGiven ? t.style : MojiType;
        if (t.sizeGiven)
            MakeStringSprite(s, colors.data(), text.c_str(), t.spriteWidth, t.spriteHeight,
                             (int32_t)((uint32_t)t.spriteWidth + (uint32_t)t.spritePitch), style);
        else
            MakeStringSpriteDefaultFont(s, colors.data(), text.c_str(), MojiType);
        return;
    }

    const std::string& name = t.file;
    if (FileLogOn) AddToNameLog(name.c_str(), &FileLog);

    std::string tempFile;
    if (!name.empty() && name[0] == '>') {
        int32_t w, h;
        std::vector<int32_t> colors;
        ParseSolidStrips(name.c_str(), &w, &h, &colors);
        int32_t k = CreateSurface(s, w, h) ? (int32_t)colors.size() : 0, sw = w / (int32_t)colors.size();
        for (int32_t i = 0; i < k; i++) {
            uint32_t c = (uint32_t)colors[(size_t)i];
            uint32_t ref = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
            FillSurfaceRect(s, i * sw, 0, (i + 1) * sw, h, ref);
        }
    } else {
        std::string ext = LowerExtension(name);
        Lookup r = Missing;
        if (FolderFileExists(name.c_str())) {
            DecodeFile(s, name.c_str(), name, ext);
            r = Loaded;
        }
        if (r == Missing && Ov2Mode) r = FromOv2(s, name, ext);
        if (r == Missing && OvaMode) r = FromOva(s, name, ext);
        if (r == Missing) {
            std::string path = name;
            if (ExtractToTemp(&path)) {
                tempFile = path;
                DecodeFile(s, path.c_str(), name, ext);
            } else if (BlankIfMissing) {
                CreateSurface(s, 2, 2);
            } else if (JpegMode || NoLoadError) {
                return;
            } else {
                CannotOpen(name);
            }
        }
    }

    // Final steps.
    if (t.hasMask) MergeMask(s, t.maskTag);
    if (!JpegMode && !HasPicture(s)) ScriptError(CapGfxError, MsgLoadFailed);
    if (!tempFile.empty()) DeleteExtractedFile(tempFile);
    ApplyFilters(s, t);
}

std::string JpegModeName(const char* tag) {
    std::string t = tag;
    size_t dot = t.rfind('.');
    size_t i = (dot == std::string::npos ? 0 : dot) + 1;
    if (i < t.size() && t[i] == 'b') {
        t[i++] = 'j';
        if (i < t.size() && t[i] == 'm') {
            t[i++] = 'p';
            if (i < t.size() && t[i] == 'p') t[i] = 'g';
        }
    }
    return t;
}

void LoadSurface(Surface* s, const char* tag) {
    LoadImageTag(s, tag);
    if (!JpegMode || HasPicture(s)) return;
    std::string retry = JpegModeName(tag);
    LoadImageTag(s, retry.c_str());
    if (!HasPicture(s)) ScriptError(CapLoadJpegMode, retry.c_str());
}

// ---- commands ----

void Cmd_spi() {
    static char operand[4096];
    ReadStrExpr(operand, sizeof operand);
    if (ImagePluginCount >= ImagePluginMax) ScriptError(CapGfxError, MsgTooManySpi);
    HeapString* entry = &ImagePlugins[ImagePluginCount++];
    AssignString(entry, operand);
    LowerString(entry);
}

void Cmd_jpegmode() { JpegMode = 1; }
void Cmd_noloaderror() { NoLoadError = 1; }
