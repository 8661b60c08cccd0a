#include "canvas.h"

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace art {

Rgb mix(Rgb a, Rgb b, float t) { return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Rgb scale(Rgb c, float k) { return Rgb{c.r * k, c.g * k, c.b * k}; }

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Canvas::Canvas(int width, int height)
    : w(width),
      h(height),
      color(static_cast<size_t>(width) * height),
      alpha(static_cast<size_t>(width) * height, 0.0f) {}

void Canvas::blend(int x, int y, Rgb c, float a) {
    if (!inside(x, y) || a <= 0) return;
    a = std::min(a, 1.0f);
    Rgb& d = at(x, y);
    float& da = alphaAt(x, y);
    float outA = a + da * (1 - a);
    if (outA <= 0) return;
    float keep = da * (1 - a) / outA;
    float put = a / outA;
    d = Rgb{c.r * put + d.r * keep, c.g * put + d.g * keep, c.b * put + d.b * keep};
    da = outA;
}

float sdCircle(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

float sdEllipse(float x, float y, float cx, float cy, float rx, float ry) {
    // First-order estimate: exact on circles, close enough for edges of a
    // pixel or two on ellipses that are not too flat.
    float px = (x - cx) / rx, py = (y - cy) / ry;
    float k0 = std::hypot(px, py);
    float k1 = std::hypot(px / rx, py / ry);
    if (k1 == 0) return -std::min(rx, ry);
    return k0 * (k0 - 1) / k1;
}

float sdRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float sdSegment(float x, float y, float ax, float ay, float bx, float by) {
    float dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? clamp01(((x - ax) * dx + (y - ay) * dy) / len2) : 0;
    return std::hypot(x - ax - t * dx, y - ay - t * dy);
}

void fill(Canvas& c, int x0, int y0, int x1, int y1, const Shape& shape, const Paint& paint, float opacity) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, c.w);
    y1 = std::min(y1, c.h);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float cover = clamp01(0.5f - shape(px, py));
            if (cover <= 0) continue;
            c.blend(x, y, paint(px, py), cover * opacity);
        }
    }
}

float hash01(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return (h >> 8) * (1.0f / 16777216.0f);
}

float valueNoise(float x, float y, float cell, uint32_t seed, int period) {
    float fx = x / cell, fy = y / cell;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    float tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    int cells = period > 0 ? std::max(1, static_cast<int>(std::lround(period / cell))) : 0;
    auto corner = [&](int cx, int cy) {
        if (cells) cx = ((cx % cells) + cells) % cells;
        return hash01(cx, cy, seed);
    };
    float a = corner(ix, iy), b = corner(ix + 1, iy);
    float c = corner(ix, iy + 1), d = corner(ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fbm(float x, float y, float cell, int octaves, uint32_t seed, int period) {
    float sum = 0, amp = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, cell, seed + 101u * i, period);
        total += amp;
        amp *= 0.5f;
        cell *= 0.5f;
        if (cell < 1) break;
    }
    return sum / total;
}

uint32_t Random::next() {
    // xorshift64*: small, fast and the same everywhere.
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<uint32_t>((state * 2685821657736338717ULL) >> 32);
}

float Random::uniform(float lo, float hi) { return lo + (hi - lo) * (next() >> 8) * (1.0f / 16777216.0f); }

int Random::below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint32_t>(n)); }

static std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

bool parsePixelMap(const std::string& text, PixelMap& out, std::string& error) {
    std::istringstream in(text);
    std::string line;
    bool havePalette[256] = {};
    Rgb palette[256];
    bool clear[256] = {};
    std::vector<std::string> rows;
    bool inRows = false;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!inRows) {
            if (line.empty() || line[0] == '#') continue;
            if (line == "----") {
                inRows = true;
                continue;
            }
            size_t eq = line.find('=');
            std::string key = eq == std::string::npos ? line : trim(line.substr(0, eq));
            std::string value = eq == std::string::npos ? "" : trim(line.substr(eq + 1));
            if (key.size() != 1 || value.empty()) {
                error = "line " + std::to_string(lineNo) + ": expected 'X = r g b'";
                return false;
            }
            unsigned char k = static_cast<unsigned char>(key[0]);
            if (value == "transparent") {
                clear[k] = true;
            } else {
                int r = -1, g = -1, b = -1;
                std::string rest;
                std::istringstream nums(value);
                nums >> r >> g >> b;
                bool ok = !nums.fail() && !(nums >> rest);
                if (!ok || r < 0 || g < 0 || b < 0 || r > 255 || g > 255 || b > 255) {
                    error = "line " + std::to_string(lineNo) + ": colour needs three values 0..255";
                    return false;
                }
                palette[k] = rgb(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
            }
            havePalette[k] = true;
        } else {
            if (line.empty()) continue;
            rows.push_back(line);
        }
    }
    if (rows.empty()) {
        error = "no pixel rows";
        return false;
    }
    int w = static_cast<int>(rows[0].size());
    for (size_t y = 0; y < rows.size(); ++y) {
        if (static_cast<int>(rows[y].size()) != w) {
            error = "row " + std::to_string(y + 1) + " is " + std::to_string(rows[y].size()) + " wide, not " +
                    std::to_string(w);
            return false;
        }
    }
    out.w = w;
    out.h = static_cast<int>(rows.size());
    out.canvas = Canvas(out.w, out.h);
    for (int y = 0; y < out.h; ++y) {
        for (int x = 0; x < w; ++x) {
            unsigned char k = static_cast<unsigned char>(rows[y][x]);
            if (!havePalette[k]) {
                error = std::string("row ") + std::to_string(y + 1) + ": '" + rows[y][x] + "' is not in the palette";
                return false;
            }
            if (!clear[k]) out.canvas.set(x, y, palette[k]);
        }
    }
    return true;
}

bool loadPixelMap(const std::string& path, PixelMap& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    if (!parsePixelMap(all.str(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

void stamp(Canvas& dst, const Canvas& src, int x, int y, int factor) {
    for (int sy = 0; sy < src.h; ++sy)
        for (int sx = 0; sx < src.w; ++sx) {
            float a = src.alphaAt(sx, sy);
            if (a <= 0) continue;
            for (int fy = 0; fy < factor; ++fy)
                for (int fx = 0; fx < factor; ++fx)
                    dst.blend(x + sx * factor + fx, y + sy * factor + fy, src.at(sx, sy), a);
        }
}

static int channel(float v) {
    long n = std::lround(v);
    return static_cast<int>(std::min(255L, std::max(0L, n)));
}

bool savePicture(const Canvas& c, const std::string& path, bool transparency) {
    BITMAP* bmp = create_bitmap_ex(32, c.w, c.h);
    if (!bmp) return false;
    int mask = makecol32(255, 0, 255);
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            float a = c.alphaAt(x, y);
            if (transparency && a < 0.5f) {
                putpixel(bmp, x, y, mask);
                continue;
            }
            // Opaque pictures are finished over black wherever paint is thin.
            Rgb v = transparency ? c.at(x, y) : scale(c.at(x, y), clamp01(a));
            int r = channel(v.r), g = channel(v.g), b = channel(v.b);
            if (r == 255 && g == 0 && b == 255) g = 1;
            putpixel(bmp, x, y, makecol32(r, g, b));
        }
    }
    int result = save_pcx(path.c_str(), bmp, nullptr);
    destroy_bitmap(bmp);
    return result == 0;
}

}  // namespace art
