// gif.cpp - the first frame of a GIF through giflib: its pixels where the
// frame lies on the logical screen and is not transparent, the background
// colour elsewhere (black without a global colour table).
#include "graphics/gif.h"

#include <gif_lib.h>

#include <cstring>
#include <vector>

namespace {
struct Reader {
    const uint8_t* data;
    size_t size, at;
};
}  // namespace

static int ReadBytes(GifFileType* gif, GifByteType* buf, int want) {
    Reader* r = (Reader*)gif->UserData;
    size_t n = want < 0 ? 0 : (size_t)want;
    if (n > r->size - r->at) n = r->size - r->at;
    memcpy(buf, r->data + r->at, n);
    r->at += n;
    return (int)n;
}

// Reads the records up to the first frame's descriptor: the transparent
// index of the graphics control block before it, if any.  false on an error
// or when the file ends before a frame.
static bool FindFirstFrame(GifFileType* gif, int* transparent) {
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) != GIF_OK) return false;
        if (type == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) == GIF_OK;
        if (type == TERMINATE_RECORD_TYPE) return false;
        if (type != EXTENSION_RECORD_TYPE) continue;
        int code = 0;
        GifByteType* ext = nullptr;
        if (DGifGetExtension(gif, &code, &ext) != GIF_OK) return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
            *transparent = (ext[1] & 1) ? ext[4] : -1;
        while (ext)
            if (DGifGetExtensionNext(gif, &ext) != GIF_OK) return false;
    }
}

static bool DecodeOpened(GifFileType* gif, Dib* out) {
    int transparent = -1;
    if (gif->SWidth <= 0 || gif->SHeight <= 0 || gif->SWidth > MaxPictureSide ||
        gif->SHeight > MaxPictureSide || !FindFirstFrame(gif, &transparent))
        return false;
    const GifImageDesc& d = gif->Image;
    if (d.Width <= 0 || d.Height <= 0 || d.Width > MaxPictureSide || d.Height > MaxPictureSide)
        return false;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map || !CreateDib(out, gif->SWidth, gif->SHeight)) return false;
    uint8_t bg[3] = {0, 0, 0};
    if (gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount) {
        const GifColorType& c = gif->SColorMap->Colors[gif->SBackGroundColor];
        bg[0] = c.Blue, bg[1] = c.Green, bg[2] = c.Red;
    }
    for (int32_t y = 0; y < out->height; y++) {
        uint8_t* row = DibRow(out, y);
        for (int32_t x = 0; x < out->width; x++) memcpy(row + 3 * x, bg, 3);
    }
    std::vector<GifPixelType> line((size_t)d.Width);
    // Interlaced frames come in four passes of rows.
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    int passes = d.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; pass++) {
        int first = d.Interlace ? kStart[pass] : 0, step = d.Interlace ? kStep[pass] : 1;
        for (int64_t fy = first; fy < d.Height; fy += step) {
            if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK) return false;
            int64_t y = (int64_t)d.Top + fy;
            if (y < 0 || y >= out->height) continue;
            uint8_t* row = DibRow(out, (int32_t)y);
            for (int64_t fx = 0; fx < d.Width; fx++) {
                int64_t x = (int64_t)d.Left + fx;
                int index = line[fx];
                if (x < 0 || x >= out->width || index == transparent || index >= map->ColorCount)
                    continue;
                const GifColorType& c = map->Colors[index];
                uint8_t* p = row + 3 * x;
                p[0] = c.Blue, p[1] = c.Green, p[2] = c.Red;
            }
        }
    }
    return true;
}

bool DecodeGif(const uint8_t* data, size_t size, Dib* out) {
    FreeDib(out);
    if (!data || size == 0) return false;
    Reader r{data, size, 0};
    int err = 0;
    GifFileType* gif = DGifOpen(&r, ReadBytes, &err);
    if (!gif) return false;
    bool ok = DecodeOpened(gif, out);
    DGifCloseFile(gif, &err);
    if (!ok) FreeDib(out);
    return ok;
}
