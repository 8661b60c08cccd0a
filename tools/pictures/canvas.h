// A small painting kit for the picture maker: a float RGBA canvas, shapes
// given as signed distances (so their edges come out smooth), seeded noise,
// text pixel maps with a palette, and PCX output through Allegro.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb rgb(float r, float g, float b) { return Rgb{r, g, b}; }
Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb c, float k);
float clamp01(float v);
float smoothstep(float e0, float e1, float x);

struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgb> color;
    std::vector<float> alpha;  // 0 transparent .. 1 opaque

    Canvas() = default;
    Canvas(int width, int height);
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    Rgb& at(int x, int y) { return color[static_cast<size_t>(y) * w + x]; }
    const Rgb& at(int x, int y) const { return color[static_cast<size_t>(y) * w + x]; }
    float& alphaAt(int x, int y) { return alpha[static_cast<size_t>(y) * w + x]; }
    float alphaAt(int x, int y) const { return alpha[static_cast<size_t>(y) * w + x]; }

    // Paints colour c with opacity a over what is there.
    void blend(int x, int y, Rgb c, float a);
    void set(int x, int y, Rgb c) {
        if (!inside(x, y)) return;
        at(x, y) = c;
        alphaAt(x, y) = 1;
    }
};

// Signed distance of a pixel centre to a shape: negative inside.
using Shape = std::function<float(float x, float y)>;
using Paint = std::function<Rgb(float x, float y)>;

float sdCircle(float x, float y, float cx, float cy, float r);
float sdEllipse(float x, float y, float cx, float cy, float rx, float ry);
float sdRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius);
float sdSegment(float x, float y, float ax, float ay, float bx, float by);

// Fills the shape over the box [x0,x1) x [y0,y1) with smooth edges.
void fill(Canvas& c, int x0, int y0, int x1, int y1, const Shape& shape, const Paint& paint, float opacity = 1);
inline void fill(Canvas& c, const Shape& shape, const Paint& paint, float opacity = 1) {
    fill(c, 0, 0, c.w, c.h, shape, paint, opacity);
}
inline Paint solid(Rgb c) {
    return [c](float, float) { return c; };
}

// Deterministic noise: the same seed gives the same picture on every run.
float hash01(int x, int y, uint32_t seed);
// Value noise in 0..1 with a cell of `cell` pixels; with period > 0 it wraps
// every `period` pixels horizontally so that tiles join without a seam.
float valueNoise(float x, float y, float cell, uint32_t seed, int period = 0);
float fbm(float x, float y, float cell, int octaves, uint32_t seed, int period = 0);

// A small generator of our own, so no run depends on the C library's rand.
struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed * 2654435761ULL + 1) {}
    uint32_t next();
    float uniform(float lo, float hi);  // lo <= v < hi
    int below(int n);                   // 0 .. n-1
};

// A picture written as text: palette lines "X = r g b" or "X = transparent",
// a line "----", then one character per pixel.
struct PixelMap {
    int w = 0, h = 0;
    Canvas canvas;
};
// Reads a pixel map; on any fault it says why in `error` and returns false.
bool loadPixelMap(const std::string& path, PixelMap& out, std::string& error);
bool parsePixelMap(const std::string& text, PixelMap& out, std::string& error);

// Copies src onto dst at (x, y), each pixel becoming a factor-by-factor block.
void stamp(Canvas& dst, const Canvas& src, int x, int y, int factor = 1);

// Writes the canvas as a 24-bit PCX. With transparency, pixels less than half
// covered become the mask colour (255,0,255); any painted pixel that would
// come out as that exact colour is nudged off it, so the mask means only
// "transparent".
bool savePicture(const Canvas& c, const std::string& path, bool transparency);

}  // namespace art
