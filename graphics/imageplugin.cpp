// imageplugin.cpp - pictures decoded by image plug-ins (GetPicture).
#include <cstdlib>
#include <cstring>
#include <string>

#include "ext/dllcache.h"
#include "graphics/decode.h"
#include "platform/platform.h"

bool DibFromPluginBlocks(Dib* dib, const uint8_t* info, const uint8_t* bits) {
    FreeDib(dib);
    if (!info || !bits) return false;
    BmpInfoHeader ih;
    memcpy(&ih, info, sizeof ih);
    int32_t bpp = ih.bitCount;
    bool topDown = ih.height < 0;
    if (ih.height == INT32_MIN) return false;
    int32_t height = topDown ? -ih.height : ih.height;
    if (!CreateDibOfDepth(dib, ih.width, height, bpp)) return false;
    uint32_t entries = bpp <= 8 ? (ih.clrUsed ? ih.clrUsed : 1u << bpp) : 0;
    if (entries > (bpp <= 8 ? 1u << bpp : 0u)) {
        FreeDib(dib);
        return false;
    }
    uint32_t headerSize = ih.size < 40 || ih.size > 124 ? 40 : ih.size;
    ih.height = height;
    ih.size = 40;
    dib->infoHeader = ih;
    memcpy(dib->info, &ih, 40);
    memcpy(dib->palette, info + headerSize, 4 * (size_t)entries);
    int32_t stride = DibStride(bpp, ih.width);
    if (!topDown) {
        memcpy(dib->bits, bits, (size_t)dib->imageBytes);
    } else {
        for (int32_t y = 0; y < height; y++)
            memcpy(DibRow(dib, y), bits + (size_t)stride * y, (size_t)stride);
    }
    return true;
}

static bool CallGetPicture(const char* library, const char* buf, intptr_t len, uint32_t flag,
                           Dib* dib) {
    FreeDib(dib);
    GetPictureProc get = (GetPictureProc)GetDllProc(library, "GetPicture");
    if (!get) return false;
    void* info = nullptr;
    void* bits = nullptr;
    int r = get(buf, len, flag, &info, &bits, nullptr, 0);
    bool ok = r == 0 && DibFromPluginBlocks(dib, (const uint8_t*)info, (const uint8_t*)bits);
    free(info);
    free(bits);
    return ok;
}

bool GetPictureFromFile(const char* library, Dib* dib, const char* file) {
    std::string path = PlatResolve(file);
    return CallGetPicture(library, path.c_str(), 0, 0, dib);
}

bool GetPictureFromMemory(const char* library, const uint8_t* data, size_t size, Dib* dib) {
    return CallGetPicture(library, (const char*)data, (intptr_t)size, 1, dib);
}
