#include "lettering.h"

#include <allegro.h>

#include <cmath>
#include <map>
#include <sstream>

namespace art {

namespace {

// Glyph outlines in units: the baseline is y 0, the cap line y -10, the
// x-height y -6, descenders reach y 3.5. A path is "M x y" (move), "L x y"
// (line) and "A cx cy rx ry from to" (arc, degrees anticlockwise from the
// right, y up); "W w" gives the advance width before spacing.
const std::map<char, const char*>& glyphs() {
    static const std::map<char, const char*> table = {
        {'a', "A 2.4 -3 2.4 3 0 360 M 4.8 -6 L 4.8 0 W 4.8"},
        {'b', "M 0 -10 L 0 0 A 2.4 -3 2.4 3 0 360 W 4.8"},
        {'c', "A 2.6 -3 2.6 3 45 315 W 4.4"},
        {'d', "A 2.4 -3 2.4 3 0 360 M 4.8 -10 L 4.8 0 W 4.8"},
        {'e', "M 0.1 -3 L 5 -3 A 2.55 -3 2.55 3 0 320 W 5"},
        {'g', "A 2.4 -3 2.4 3 0 360 M 4.8 -6 L 4.8 1.2 A 2.4 1.2 2.4 2.3 0 -170 W 4.8"},
        {'h', "M 0 -10 L 0 0 M 0 -3.6 A 2.25 -3.75 2.25 2.25 180 0 L 4.5 0 W 4.5"},
        {'i', "M 0 -6 L 0 0 M 0 -8.8 L 0 -8.8 W 0"},
        {'k', "M 0 -10 L 0 0 M 4 -6 L 0 -2.4 M 1.3 -3.4 L 4.2 0 W 4.2"},
        {'l', "M 0 -10 L 0 0 W 0"},
        {'m',
         "M 0 0 L 0 -6 M 0 -4 A 1.9 -4 1.9 2 180 0 L 3.8 0 M 3.8 -4 A 5.7 -4 1.9 2 180 0 "
         "L 7.6 0 W 7.6"},
        {'n', "M 0 0 L 0 -6 M 0 -3.6 A 2.25 -3.75 2.25 2.25 180 0 L 4.5 0 W 4.5"},
        {'o', "A 2.7 -3 2.7 3 0 360 W 5.4"},
        {'p', "M 0 -6 L 0 3.5 A 2.4 -3 2.4 3 0 360 W 4.8"},
        {'r', "M 0 -6 L 0 0 M 0 -3.2 A 2.5 -3.5 2.5 2.5 180 55 W 3.8"},
        {'s', "A 2 -4.5 2 1.5 20 270 A 2 -1.5 2 1.5 90 -160 W 4"},
        {'t', "M 1.1 -9 L 1.1 -1.6 A 2.7 -1.6 1.6 1.6 180 290 M 0 -6 L 3.2 -6 W 3.4"},
        {'u', "M 0 -6 L 0 -2.25 A 2.25 -2.25 2.25 2.25 180 360 M 4.5 -6 L 4.5 0 W 4.5"},
        {'v', "M 0 -6 L 2.4 0 L 4.8 -6 W 4.8"},
        {'w', "M 0 -6 L 1.6 0 L 3.25 -4.6 L 4.9 0 L 6.5 -6 W 6.5"},
        {'y', "M 0 -6 L 2.4 0 M 4.8 -6 L 1.6 3.5 W 4.8"},
        {'G', "A 3.6 -5 3.6 5 40 330 L 6.8 -4.4 L 4.4 -4.4 W 7"},
        {'H', "M 0 -10 L 0 0 M 5.2 -10 L 5.2 0 M 0 -5 L 5.2 -5 W 5.2"},
        {'O', "A 3.6 -5 3.6 5 0 360 W 7.2"},
        {'P', "M 0 0 L 0 -10 L 2.4 -10 A 2.4 -7.4 2.6 2.6 90 -90 L 0 -4.8 W 5"},
        {'Q', "A 3.6 -5 3.6 5 0 360 M 4.6 -2 L 7.4 0.8 W 7.4"},
        {'T', "M 0 -10 L 6.4 -10 M 3.2 -10 L 3.2 0 W 6.4"},
        {'W', "M 0 -10 L 1.9 0 L 3.9 -7 L 5.9 0 L 7.8 -10 W 7.8"},
        {'Z', "M 0 -10 L 5.6 -10 L 0 0 L 5.6 0 W 5.6"},
        {'!', "M 0 -10 L 0 -3.4 M 0 0 L 0 0 W 0"},
        {',', "M 0.4 0 L -0.6 2 W 0"},
        {' ', "W 2.6"},
    };
    return table;
}

}  // namespace

bool glyphKnown(char c) { return glyphs().count(c) != 0; }

float StrokeText::distance(float x, float y) const {
    float best = 1e9f;
    for (size_t i = 0; i + 3 < segs.size(); i += 4) {
        float d = sdSegment(x, y, segs[i], segs[i + 1], segs[i + 2], segs[i + 3]);
        if (d < best) best = d;
    }
    return best;
}

StrokeText layoutText(const std::string& text, float x, float y, float capPx, bool centred) {
    const float unit = capPx / 10.0f;
    const float gap = 2.3f;  // between letters, units, including both strokes' ends
    StrokeText out;
    std::vector<float> segs;
    float pen = 0;
    for (char ch : text) {
        auto it = glyphs().find(ch);
        std::istringstream path(it == glyphs().end() ? "W 2.6" : it->second);
        std::string op;
        float lastX = 0, lastY = 0, width = 0;
        bool have = false;
        auto lineTo = [&](float gx, float gy) {
            if (have) {
                segs.insert(segs.end(), {pen + lastX, lastY, pen + gx, gy});
            }
            lastX = gx;
            lastY = gy;
            have = true;
        };
        while (path >> op) {
            if (op == "M") {
                float gx, gy;
                path >> gx >> gy;
                lastX = gx;
                lastY = gy;
                have = true;
                segs.insert(segs.end(), {pen + gx, gy, pen + gx, gy});  // a dot stays visible
            } else if (op == "L") {
                float gx, gy;
                path >> gx >> gy;
                lineTo(gx, gy);
            } else if (op == "A") {
                float cx, cy, rx, ry, from, to;
                path >> cx >> cy >> rx >> ry >> from >> to;
                int steps = std::max(8, static_cast<int>(std::fabs(to - from) / 6));
                have = false;
                for (int i = 0; i <= steps; ++i) {
                    float a = (from + (to - from) * i / steps) * 3.14159265f / 180.0f;
                    lineTo(cx + rx * std::cos(a), cy - ry * std::sin(a));
                }
            } else if (op == "W") {
                path >> width;
            }
        }
        pen += width + gap;
    }
    float total = (pen - gap) * unit;
    float left = centred ? x - total / 2 : x;
    out.x0 = left;
    out.x1 = left + total;
    out.y0 = y - 10 * unit;
    out.y1 = y + 3.5f * unit;
    for (size_t i = 0; i < segs.size(); i += 2) {
        out.segs.push_back(left + segs[i] * unit);
        out.segs.push_back(y + segs[i + 1] * unit);
    }
    return out;
}

void paintText(Canvas& c, const StrokeText& t, const LetterStyle& s, float capTop, float base) {
    float reach = s.stroke + s.outline + std::max(std::fabs(s.shadowDx), std::fabs(s.shadowDy)) + 2;
    int bx0 = static_cast<int>(t.x0 - reach), bx1 = static_cast<int>(t.x1 + reach + 1);
    int by0 = static_cast<int>(t.y0 - reach), by1 = static_cast<int>(t.y1 + reach + 1);
    // Distances once per pixel; the layers read them back.
    int w = bx1 - bx0, h = by1 - by0;
    std::vector<float> dist(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dist[static_cast<size_t>(y) * w + x] = t.distance(bx0 + x + 0.5f, by0 + y + 0.5f);
    auto at = [&](float px, float py) {
        int ix = static_cast<int>(std::floor(px)) - bx0, iy = static_cast<int>(std::floor(py)) - by0;
        if (ix < 0 || iy < 0 || ix >= w || iy >= h) return 1e9f;
        return dist[static_cast<size_t>(iy) * w + ix];
    };
    float outer = s.stroke + s.outline;
    if (s.shadowDx != 0 || s.shadowDy != 0) {
        int dx = static_cast<int>(std::lround(s.shadowDx)), dy = static_cast<int>(std::lround(s.shadowDy));
        fill(
            c, bx0, by0, bx1, by1, [&](float x, float y) { return at(x - dx, y - dy) - outer; }, solid(s.shadow), 0.6f);
    }
    if (s.outline > 0)
        fill(
            c, bx0, by0, bx1, by1, [&](float x, float y) { return at(x, y) - outer; }, solid(s.edge));
    fill(
        c, bx0, by0, bx1, by1, [&](float x, float y) { return at(x, y) - s.stroke; },
        [&](float, float y) { return mix(s.top, s.bottom, clamp01((y - capTop) / (base - capTop))); });
    if (s.shine > 0) {
        // A light line inside each stroke, above its centre: reads as a rounded body.
        float off = s.stroke * 0.45f;
        fill(
            c, bx0, by0, bx1, by1,
            [&](float x, float y) { return at(x, y + off) - s.stroke * 0.28f + (at(x, y) > s.stroke * 0.8f ? 9 : 0); },
            solid(rgb(255, 255, 240)), s.shine);
    }
}

int fontTextWidth(const std::string& text, int factor) { return text_length(font, text.c_str()) * factor; }

void drawFontText(Canvas& c, const std::string& text, int x, int y, Rgb colour, int factor, bool centred) {
    int tw = text_length(font, text.c_str()), th = text_height(font);
    if (tw <= 0) return;
    BITMAP* b = create_bitmap_ex(32, tw, th);
    if (!b) return;
    clear_to_color(b, makecol32(0, 0, 0));
    textout_ex(b, font, text.c_str(), 0, 0, makecol32(255, 255, 255), -1);
    if (centred) x -= tw * factor / 2;
    for (int sy = 0; sy < th; ++sy)
        for (int sx = 0; sx < tw; ++sx) {
            if (getr32(getpixel(b, sx, sy)) < 128) continue;
            for (int fy = 0; fy < factor; ++fy)
                for (int fx = 0; fx < factor; ++fx) c.blend(x + sx * factor + fx, y + sy * factor + fy, colour, 1);
        }
    destroy_bitmap(b);
}

}  // namespace art
