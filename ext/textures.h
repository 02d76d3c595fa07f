// textures.h - the 64 texture slots the Lua texture functions draw with:
// 32-bit pictures with alpha, and their blits onto a 24-bit surface
// (plain, alpha-blended and additive; upright, rotated and scaled, or onto
// four corners) in the integer arithmetic the results are compared by.
//
// Pixels: 32 bits, rows top-down, width * 4 bytes each, in memory blue,
// green, red, alpha (the value 0xAARRGGBB).
#pragma once
#include <cstdint>

#include "graphics/surface.h"

enum { TextureSlotCount = 64, TextureFunctionLimit = 64 };

struct Texture {
    uint32_t* pixels = nullptr;  // null = not loaded
    int32_t width = 0, height = 0;
};
extern Texture TextureSlots[TextureSlotCount];

// Functions registered by OVDDLL: f(pixels, width, height, parameter).
typedef void (*TextureFunction)(uint32_t* pixels, int width, int height, const char* parameter);
extern TextureFunction TextureFunctions[TextureFunctionLimit];
extern int32_t TextureFunctionCount;

extern int32_t TextureOffMode;  // draw into SrcSurface instead of DestSurface
extern int32_t RendererMode;    // the renderer library took over
extern int32_t SceneOpen;       // a renderer scene is open

inline bool TextureLoaded(const Texture* t) { return t->pixels != nullptr; }
// Frees the old picture and makes a zeroed one; false (and no picture) for
// a size outside 1..MaxPictureSide or when memory is short.
bool CreateTexturePicture(Texture* t, int32_t width, int32_t height);
// Frees the picture; width and height are kept.
void FreeTexture(Texture* t);
// The surface the texture functions draw into now.
Surface* TextureTarget();

// Region (sx, sy, w, h) of the texture at (dx, dy) of the target, clipped
// to both; alpha held to 0..255.  Blend: d += (t - d) * a / 255 with
// a = alpha * texel alpha / 255; add: d = min(255, d + t * a / 255).
void BlendTexture(Surface* target, const Texture* t, int32_t dx, int32_t dy, int32_t w,
                  int32_t h, int32_t sx, int32_t sy, int32_t alpha);
void AddTexture(Surface* target, const Texture* t, int32_t dx, int32_t dy, int32_t w, int32_t h,
                int32_t sx, int32_t sy, int32_t alpha);
// The region scaled by xs, ys and turned by rot degrees about (dcx, dcy),
// by inverse mapping in 16.16 fixed point.  Nothing when xs or ys is 0.
void BlendTextureRotated(Surface* target, const Texture* t, int32_t dcx, int32_t dcy, int32_t sx,
                         int32_t sy, int32_t w, int32_t h, double xs, double ys, double rot,
                         int32_t alpha);
void AddTextureRotated(Surface* target, const Texture* t, int32_t dcx, int32_t dcy, int32_t sx,
                       int32_t sy, int32_t w, int32_t h, double xs, double ys, double rot,
                       int32_t alpha);
// The region sampled forward onto the quadrilateral of the corners
// d00, d10 (top edge), d01, d11 (bottom edge), given as x, y pairs in that
// order; every sample is clipped to the target and the texture.
void BlendTextureQuad(Surface* target, const Texture* t, const int32_t corners[8], int32_t sx,
                      int32_t sy, int32_t w, int32_t h, int32_t alpha);
void AddTextureQuad(Surface* target, const Texture* t, const int32_t corners[8], int32_t sx,
                    int32_t sy, int32_t w, int32_t h, int32_t alpha);
// A block copy of (sx, sy, w, h) to (dx, dy), the alpha byte dropped.
void CopyTexture(Surface* target, const Texture* t, int32_t dx, int32_t dy, int32_t w, int32_t h,
                 int32_t sx, int32_t sy);
