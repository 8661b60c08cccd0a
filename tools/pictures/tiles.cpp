// The board's pictures: earth, rocks, sky and the ground line.
#include <cmath>

#include "pictures.h"

namespace art {

namespace {

const float kPi = 3.14159265f;

Rgb skyAt(float y) {
    // The upper sky and the ground line share one gradient over 64 pixels.
    return mix(palette::skyHigh, palette::skyLow, clamp01(y / 63.0f));
}

// A stone with a slightly wobbly outline and flat, chiselled faces lit from
// the upper left. `seed` picks the faces and the wobble.
void paintStone(Canvas& c, float cx, float cy, float rx, float ry, float floorY, uint32_t seed, float lineWidth) {
    auto shape = [=](float x, float y) {
        float px = (x - cx) / rx, py = (y - cy) / ry;
        float ang = std::atan2(py, px);
        float wob = 1 + 0.09f * (valueNoise((ang + kPi) / (2 * kPi) * 6, 0.5f, 1, seed, 6) - 0.5f);
        float d = (std::hypot(px, py) - wob) * std::min(rx, ry);
        return std::max(d, y - floorY);
    };
    // Faces: points spread over the stone; each pixel takes the nearest one's tilt.
    Random rnd(seed);
    struct Face {
        float x, y, nx, ny, nz;
    };
    std::vector<Face> faces;
    int count = static_cast<int>(5 + rx * ry / 28);
    for (int i = 0; i < count; ++i) {
        float a = rnd.uniform(0, 2 * kPi), r = std::sqrt(rnd.uniform(0, 1)) * 0.95f;
        float fx = cx + std::cos(a) * r * rx, fy = cy + std::sin(a) * r * ry;
        float nx = (fx - cx) / rx + rnd.uniform(-0.25f, 0.25f);
        float ny = (fy - cy) / ry + rnd.uniform(-0.25f, 0.25f);
        float nz = std::sqrt(std::max(0.08f, 1 - nx * nx - ny * ny));
        faces.push_back({fx, fy, nx, ny, nz});
    }
    const float lx = -0.55f, ly = -0.62f, lz = 0.56f;
    auto paint = [=](float x, float y) {
        float best = 1e9f, second = 1e9f;
        const Face* f = &faces[0];
        for (const Face& face : faces) {
            float d = std::hypot(x - face.x, y - face.y);
            if (d < best) {
                second = best;
                best = d;
                f = &face;
            } else if (d < second) {
                second = d;
            }
        }
        // Half the smooth dome, half the face: round, yet chiselled.
        float dx = (x - cx) / rx, dy = (y - cy) / ry;
        float dz = std::sqrt(std::max(0.05f, 1 - dx * dx - dy * dy));
        float nx = 0.5f * dx + 0.5f * f->nx, ny = 0.5f * dy + 0.5f * f->ny, nz = 0.5f * dz + 0.5f * f->nz;
        float len = std::sqrt(nx * nx + ny * ny + nz * nz);
        nx /= len;
        ny /= len;
        nz /= len;
        float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
        // Mirror highlight toward a viewer straight in front.
        float rz = 2 * (nx * lx + ny * ly + nz * lz) * nz - lz;
        float shine = std::pow(std::max(0.0f, rz), 14.0f);
        float light = (0.12f + 1.0f * diffuse) * (0.72f + 0.28f * dz);
        Rgb base = light < 0.75f ? mix(palette::stoneDark, palette::stone, light / 0.75f)
                                 : mix(palette::stone, palette::stoneLight, clamp01((light - 0.75f) / 0.4f));
        base = mix(base, rgb(255, 252, 240), shine * 0.45f);
        float grain = 0.92f + 0.16f * hash01(static_cast<int>(x), static_cast<int>(y), seed + 7);
        base = scale(base, grain);
        if (second - best < 0.6f) base = scale(base, 0.88f);  // the crease between two faces
        return base;
    };
    int x0 = static_cast<int>(cx - rx * 1.2f) - 2, x1 = static_cast<int>(cx + rx * 1.2f) + 3;
    int y0 = static_cast<int>(cy - ry * 1.2f) - 2, y1 = static_cast<int>(cy + ry * 1.2f) + 3;
    // The outline is heavier on the shadowed side, down and to the right.
    fill(
        c, x0, y0, x1, y1,
        [=](float x, float y) { return std::min(shape(x, y), shape(x - 0.9f, y - 0.9f)) - lineWidth; },
        solid(palette::edge));
    fill(c, x0, y0, x1, y1, shape, paint);
}

}  // namespace

Canvas makeDirtBackground(int w, int h, uint32_t seed) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float n = fbm(static_cast<float>(x), static_cast<float>(y), 56, 5, seed);
            float clump = fbm(static_cast<float>(x), static_cast<float>(y) * 1.6f, 14, 3, seed + 31);
            float t = smoothstep(0.25f, 0.75f, n) * 0.75f + clump * 0.35f;
            Rgb col = mix(palette::dirtDark, palette::dirtLight, clamp01(t));
            // Deeper earth is a touch darker and redder.
            col = mix(col, rgb(104, 60, 40), 0.28f * y / static_cast<float>(h));
            float grain = hash01(x, y, seed + 3);
            col = scale(col, 0.9f + 0.2f * grain);
            float speck = hash01(x, y, seed + 5);
            if (speck > 0.992f)
                col = mix(col, rgb(222, 190, 140), 0.6f);
            else if (speck < 0.012f)
                col = scale(col, 0.6f);
            c.set(x, y, col);
        }
    }
    Random rnd(seed);
    // Thin pale roots wandering down from the surface.
    for (int i = 0; i < 7; ++i) {
        float x = rnd.uniform(0, static_cast<float>(w)), y = rnd.uniform(60, 80);
        float dir = kPi / 2 + rnd.uniform(-0.6f, 0.6f);
        int steps = 10 + rnd.below(14);
        for (int s = 0; s < steps; ++s) {
            float nx = x + std::cos(dir) * 5, ny = y + std::sin(dir) * 5;
            float width = 0.9f * (1 - s / static_cast<float>(steps)) + 0.35f;
            fill(
                c, static_cast<int>(std::min(x, nx)) - 3, static_cast<int>(std::min(y, ny)) - 3,
                static_cast<int>(std::max(x, nx)) + 4, static_cast<int>(std::max(y, ny)) + 4,
                [=](float px, float py) { return sdSegment(px, py, x, y, nx, ny) - width; }, solid(rgb(176, 134, 92)),
                0.75f);
            x = nx;
            y = ny;
            dir += rnd.uniform(-0.5f, 0.5f);
            dir = std::max(0.3f, std::min(kPi - 0.3f, dir));
        }
    }
    // Pebbles of a few kinds, each with a lit top and a shadow beneath.
    const Rgb kinds[] = {rgb(150, 140, 128), rgb(176, 120, 84), rgb(120, 96, 74), rgb(196, 176, 140)};
    int pebbles = w * h / 1100;
    for (int i = 0; i < pebbles; ++i) {
        float px = rnd.uniform(0, static_cast<float>(w)), py = rnd.uniform(0, static_cast<float>(h));
        float rx = rnd.uniform(1.2f, 3.6f), ry = rx * rnd.uniform(0.55f, 0.9f);
        Rgb kind = kinds[rnd.below(4)];
        int bx0 = static_cast<int>(px - rx) - 2, bx1 = static_cast<int>(px + rx) + 3;
        int by0 = static_cast<int>(py - ry) - 2, by1 = static_cast<int>(py + ry) + 4;
        fill(
            c, bx0, by0, bx1, by1, [=](float x, float y) { return sdEllipse(x, y, px + 0.6f, py + 1.0f, rx, ry); },
            solid(rgb(60, 38, 24)), 0.55f);
        fill(
            c, bx0, by0, bx1, by1, [=](float x, float y) { return sdEllipse(x, y, px, py, rx, ry); },
            [=](float x, float y) {
                float l = clamp01(0.5f - ((x - px) / rx + (y - py) / ry) * 0.35f);
                return mix(scale(kind, 0.7f), mix(kind, rgb(240, 230, 210), 0.35f), l);
            });
    }
    return c;
}

Canvas makeRock(bool inTunnel) {
    Canvas c(32, 32);
    paintStone(c, 16, 16.4f, 14.2f, 13.4f, 30.6f, 1901, 1.1f);
    if (inTunnel) {
        // The stone exactly as the falling sprite shows it over a tunnel, so
        // that a rock landing does not change by a pixel.
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) c.set(x, y, c.alphaAt(x, y) >= 0.5f ? c.at(x, y) : rgb(0, 0, 0));
    }
    return c;
}

Canvas makeSkyTop() {
    Canvas c(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) c.set(x, y, skyAt(static_cast<float>(y)));
    return c;
}

Canvas makeSkyBottom(bool dugThrough) {
    Canvas c(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) c.set(x, y, skyAt(32.0f + y));
    // Turf: a bumpy green band over a strip of soil, joining the earth below.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            float top = 23.5f + 2.5f * valueNoise(static_cast<float>(x), 0, 5.33f, 77, 32);
            if (y < top) continue;
            float depth = (y - top) / (32 - top);
            Rgb col = mix(palette::grass, palette::grassDark, clamp01(depth * 1.3f));
            if (y >= 29) col = mix(palette::soil, palette::dirtDark, hash01(x, y, 13));
            col = scale(col, 0.92f + 0.16f * hash01(x, y, 21));
            c.set(x, y, col);
        }
    // Blades, wrapped round the tile's edges so neighbours join.
    Random rnd(4242);
    for (int i = 0; i < 22; ++i) {
        float bx = rnd.uniform(0, 32), tipY = rnd.uniform(17.5f, 23.0f), lean = rnd.uniform(-2.5f, 2.5f);
        Rgb col = mix(palette::grassDark, palette::grassLight, rnd.uniform(0.2f, 1.0f));
        for (int shift = -32; shift <= 32; shift += 32) {
            float x0 = bx + shift;
            fill(
                c, static_cast<int>(x0 - 5), 15, static_cast<int>(x0 + 6), 29,
                [=](float x, float y) { return sdSegment(x, y, x0, 27.5f, x0 + lean, tipY) - 0.55f; }, solid(col));
        }
    }
    if (dugThrough) {
        auto hole = [](float x, float y) { return sdEllipse(x, y, 16, 33, 11.2f, 13.5f); };
        // Thrown-up earth around the opening, then the dark shaft itself.
        fill(
            c, 0, 14, 32, 32, [&](float x, float y) { return hole(x, y) - 2.2f; },
            [](float x, float y) {
                return scale(mix(palette::dirt, palette::dirtDark, hash01(static_cast<int>(x), static_cast<int>(y), 5)),
                             y < 24 ? 1.1f : 0.9f);
            });
        fill(c, 0, 14, 32, 32, hole, solid(rgb(0, 0, 0)));
        const float clods[][3] = {{3.5f, 25, 1.9f}, {28.5f, 24.5f, 1.7f}, {6.5f, 21.5f, 1.2f}, {26, 21, 1.1f}};
        for (const auto& k : clods) {
            fill(
                c, 0, 14, 32, 32, [&](float x, float y) { return sdCircle(x, y, k[0], k[1], k[2] + 0.8f); },
                solid(palette::edge));
            fill(
                c, 0, 14, 32, 32, [&](float x, float y) { return sdCircle(x, y, k[0], k[1], k[2]); },
                [&](float x, float y) {
                    return mix(palette::dirtLight, palette::dirtDark,
                               clamp01((x - k[0] + y - k[1]) / (2 * k[2]) + 0.5f));
                });
        }
    }
    return c;
}

}  // namespace art
