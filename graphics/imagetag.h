// imagetag.h - image tags and picture loading: LoadSurface and
// LoadImageTag, the tag parser, the loading switches, the image plug-in list
// and the commands spi and jpegmode.
//
// A tag is  [<filters>] [:option [cells];] file  where the filters are bN
// (brightness) and rgbR,G,B (colour factors), the option one of a (alpha),
// c (copy), l (leftup), r (rightup), #rrggbb (colour key), !N (palette-index
// key), mfile (mask file), s (string sprite), the cells items /N,T,M or /N;
// and the file a name, or >W,H,#rrggbb... for solid colour strips; "*N" is a
// layer sprite.  Files are looked for in the game folder, then the ov2 and
// ova archives, then the archive plug-ins.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/heapstring.h"
#include "graphics/surface.h"

extern int32_t DefaultTransMode;  // mode of a tag without an option; transmode
extern int32_t JpegMode;          // jpegmode: retry with a jpg name, no load errors
extern int32_t NoLoadError;       // noloaderror: missing pictures are not errors
extern int32_t BlankIfMissing;    // a missing picture becomes a blank 2 x 2 one

enum { ImagePluginMax = 50 };
// "library|extension", lower-cased, in registration order.
extern HeapString ImagePlugins[ImagePluginMax];
extern int32_t ImagePluginCount;

enum {
    TagFilterUnset = -999998,
    StringSpriteColorMax = 11,
    SolidStripMax = 32,
};

// What a tag says, before any file is read.
struct ImageTag {
    bool layer = false;             // "*N"
    int32_t brightness = TagFilterUnset;
    int32_t factorRed = TagFilterUnset, factorGreen = TagFilterUnset, factorBlue = TagFilterUnset;
    bool modeGiven = false;
    int32_t transMode = 0;
    bool keyColorGiven = false;     // #rrggbb
    int32_t keyRed = 0, keyGreen = 0, keyBlue = 0;
    bool keyIndexGiven = false;     // !N
    int32_t keyIndex = 0;
    bool hasMask = false;
    std::string maskTag;
    bool cellsGiven = false;        // at least one /N item
    int32_t cellCount = 1;
    bool cellTimeGiven = false;
    int32_t cellTime = 0;
    std::vector<int32_t> cellTimes; // cellTime -1
    bool loopModeGiven = false;
    int32_t loopMode = 0;
    // String sprite (option s).
    bool stringSprite = false;
    bool sizeGiven = false;
    int32_t spriteWidth = 0, spriteHeight = 0, spritePitch = 0;
    bool styleGiven = false;
    int32_t style = 0;
    std::vector<int32_t> colors;    // 0xRRGGBB
    std::string text;               // the text, or "$N"
    bool textIsVariable = false;
    int32_t textVariable = 0;
    // The file part (or solid strips, starting with '>').
    std::string file;
};

// Parses a tag (filters, option, cells, string-sprite part, file part).
// Errors are fatal with the tag errors' texts.
void ParseImageTag(const char* tag, ImageTag* out);
// Parses solid strips ">W,H,#c1#c2..." into size and colours (0xRRGGBB);
// errors are fatal.
void ParseSolidStrips(const char* file, int32_t* width, int32_t* height,
                      std::vector<int32_t>* colors);

// LoadImageTag, then the jpegmode retry with the name's bmp turned into jpg.
void LoadSurface(Surface* s, const char* tag);
void LoadImageTag(Surface* s, const char* tag);
// The jpegmode rewrite of a tag: after the last '.', b->j, then m->p, then
// p->g, each only when the one before matched.
std::string JpegModeName(const char* tag);
// Reads a BMP file into the surface (ReleaseSurface first); false when the
// file is missing or bad.
bool LoadSurfaceBmp(Surface* s, const char* file);
// The first plug-in library registered for the extension (lower case), or
// null.
const char* FindImagePlugin(const char* extension);

// Commands.
void Cmd_spi();       // *define: "library|extension" appended to ImagePlugins
void Cmd_jpegmode();  // *define: JpegMode 1
void Cmd_noloaderror();  // *define: NoLoadError 1
