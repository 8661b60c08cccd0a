// The screens: menu background and buttons, help and the level-won picture.
#include <cmath>

#include "lettering.h"
#include "pictures.h"

namespace art {

namespace {

const float kPi = 3.14159265f;

void copyRegion(Canvas& dst, const Canvas& src, int sx, int sy, int dx, int dy, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (src.inside(sx + x, sy + y)) dst.set(dx + x, dy + y, src.at(sx + x, sy + y));
}

void darken(Canvas& c, int x0, int y0, int x1, int y1, float k) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (c.inside(x, y)) c.at(x, y) = scale(c.at(x, y), k);
}

// A four-pointed sparkle.
void sparkle(Canvas& c, float x, float y, float size, Rgb col) {
    int x0 = static_cast<int>(x - size) - 2, x1 = static_cast<int>(x + size) + 3;
    int y0 = static_cast<int>(y - size) - 2, y1 = static_cast<int>(y + size) + 3;
    fill(
        c, x0, y0, x1, y1,
        [=](float px, float py) {
            float dx = std::fabs(px - x), dy = std::fabs(py - y);
            // Two thin diamonds: the sum of distances shrinks toward the tips.
            float a = dx / size + dy / (size * 0.18f) - 1;
            float b = dy / size + dx / (size * 0.18f) - 1;
            return std::min(a, b) * size * 0.18f;
        },
        solid(col));
    fill(
        c, x0, y0, x1, y1, [=](float px, float py) { return sdCircle(px, py, x, y, size * 0.16f); },
        solid(rgb(255, 255, 255)));
}

void keycap(Canvas& c, int x, int y, int w, const std::string& label) {
    const int h = 20;
    fill(
        c, x - 1, y - 1, x + w + 2, y + h + 4,
        [=](float px, float py) { return sdRoundRect(px, py, x, y + 2, x + w, y + h + 2, 4); }, solid(rgb(86, 64, 50)));
    fill(
        c, x - 1, y - 1, x + w + 2, y + h + 3,
        [=](float px, float py) { return sdRoundRect(px, py, x, y, x + w, y + h, 4); }, solid(rgb(86, 64, 50)));
    fill(
        c, x - 1, y - 1, x + w + 2, y + h + 3,
        [=](float px, float py) { return sdRoundRect(px, py, x + 1.2f, y + 1.2f, x + w - 1.2f, y + h - 1.2f, 3); },
        [=](float, float py) { return mix(rgb(252, 248, 238), rgb(212, 202, 186), clamp01((py - y) / h)); });
    drawFontText(c, label, x + w / 2, y + 6, rgb(52, 36, 28), 1, true);
}

// A keycap with an arrow on it; dir 0 right, 1 down, 2 left, 3 up.
void arrowKey(Canvas& c, int x, int y, int dir) {
    keycap(c, x, y, 22, "");
    float cx = x + 11, cy = y + 10;
    float ax = std::cos(dir * kPi / 2), ay = std::sin(dir * kPi / 2);
    float tipX = cx + ax * 5, tipY = cy + ay * 5, tailX = cx - ax * 5, tailY = cy - ay * 5;
    float l1x = tipX - ax * 4 - ay * 3.5f, l1y = tipY - ay * 4 + ax * 3.5f;
    float l2x = tipX - ax * 4 + ay * 3.5f, l2y = tipY - ay * 4 - ax * 3.5f;
    fill(
        c, x, y, x + 22, y + 20,
        [=](float px, float py) {
            float d = sdSegment(px, py, tailX, tailY, tipX, tipY);
            d = std::min(d, sdSegment(px, py, tipX, tipY, l1x, l1y));
            d = std::min(d, sdSegment(px, py, tipX, tipY, l2x, l2y));
            return d - 1.1f;
        },
        solid(rgb(52, 36, 28)));
}

void mouseIcon(Canvas& c, int x, int y) {
    fill(
        c, x - 2, y - 2, x + 20, y + 28,
        [=](float px, float py) { return sdRoundRect(px, py, x, y, x + 17, y + 25, 8); }, solid(rgb(86, 64, 50)));
    fill(
        c, x - 2, y - 2, x + 20, y + 28,
        [=](float px, float py) { return sdRoundRect(px, py, x + 1.3f, y + 1.3f, x + 15.7f, y + 23.7f, 7); },
        solid(rgb(246, 242, 232)));
    // The left button, shaded: the one that paints.
    fill(
        c, x, y, x + 9, y + 11,
        [=](float px, float py) {
            return std::max(sdRoundRect(px, py, x + 1.3f, y + 1.3f, x + 15.7f, y + 23.7f, 7),
                            std::max(px - (x + 8.0f), py - (y + 10.0f)));
        },
        solid(rgb(222, 84, 60)));
    fill(
        c, x, y, x + 18, y + 12,
        [=](float px, float py) { return sdSegment(px, py, x + 8.5f, y + 1, x + 8.5f, y + 10) - 0.6f; },
        solid(rgb(86, 64, 50)));
    fill(
        c, x, y, x + 18, y + 12,
        [=](float px, float py) { return sdSegment(px, py, x + 1, y + 10.5f, x + 16, y + 10.5f) - 0.6f; },
        solid(rgb(86, 64, 50)));
}

LetterStyle titleStyle(float unit) {
    LetterStyle s;
    s.stroke = unit * 0.95f;
    s.outline = std::max(2.0f, unit * 0.45f);
    s.top = rgb(255, 226, 110);
    s.bottom = rgb(232, 112, 36);
    s.edge = rgb(70, 36, 20);
    s.shadow = rgb(40, 24, 16);
    s.shadowDx = unit * 0.55f;
    s.shadowDy = unit * 0.7f;
    s.shine = 0.55f;
    return s;
}

}  // namespace

bool loadSprites(const std::string& artDir, Sprites& out, std::string& error) {
    return loadPixelMap(artDir + "/zada.txt", out.dog, error) && loadPixelMap(artDir + "/bone.txt", out.bone, error);
}

void paintSky(Canvas& c, int y0, int y1, uint32_t seed) {
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < c.w; ++x) {
            Rgb col = mix(palette::skyHigh, palette::skyLow, clamp01((y - y0) / static_cast<float>(y1 - y0)));
            // Soft clouds, thinning toward the horizon.
            float n = fbm(static_cast<float>(x), y * 2.4f, 110, 5, seed);
            float cloud = smoothstep(0.52f, 0.68f, n) * (1 - smoothstep(y1 - 80.0f, y1 - 20.0f, static_cast<float>(y)));
            float under = fbm(static_cast<float>(x), (y - 6) * 2.4f, 110, 5, seed);
            Rgb white = mix(rgb(255, 255, 255), rgb(214, 226, 240),
                            smoothstep(0.55f, 0.75f, under) * 0.0f + clamp01((n - under) * 6 + 0.3f));
            c.set(x, y, mix(col, white, cloud * 0.9f));
        }
}

void paintGrassLine(Canvas& c, int groundY, uint32_t seed) {
    for (int x = 0; x < c.w; ++x) {
        float top = groundY - 2 + 4 * valueNoise(static_cast<float>(x), 0, 7, seed);
        for (int y = static_cast<int>(top); y < groundY + 12; ++y) {
            float depth = (y - top) / (groundY + 8 - top);
            Rgb col = mix(palette::grass, palette::grassDark, clamp01(depth));
            if (y >= groundY + 8) col = mix(palette::soil, palette::dirtDark, hash01(x, y, seed));
            c.set(x, y, scale(col, 0.92f + 0.16f * hash01(x, y, seed + 1)));
        }
    }
    Random rnd(seed);
    int blades = c.w * 2 / 3;
    for (int i = 0; i < blades; ++i) {
        float bx = rnd.uniform(0, static_cast<float>(c.w)), tip = groundY - rnd.uniform(4, 12);
        float lean = rnd.uniform(-3.5f, 3.5f);
        Rgb col = mix(palette::grassDark, palette::grassLight, rnd.uniform(0.15f, 1.0f));
        fill(
            c, static_cast<int>(bx) - 6, static_cast<int>(tip) - 2, static_cast<int>(bx) + 7, groundY + 6,
            [=](float x, float y) { return sdSegment(x, y, bx, groundY + 4.0f, bx + lean, tip) - 0.6f; }, solid(col));
    }
}

Canvas makeButton(const std::string& label, bool highlighted, const Sprites& sprites) {
    const int w = kButton.w, h = kButton.h;
    Canvas c(w, h);
    const float x0 = 5, y0 = 5, x1 = w - 5.0f, y1 = h - 6.0f;
    auto plank = [=](float x, float y) { return sdRoundRect(x, y, x0, y0, x1, y1, 12); };
    Rgb woodLight = highlighted ? rgb(252, 208, 104) : rgb(186, 130, 78);
    Rgb woodDark = highlighted ? rgb(214, 146, 52) : rgb(132, 84, 48);
    // Dark rim and a drop shadow, both part of the sprite.
    fill(
        c, [=](float x, float y) { return sdRoundRect(x, y, x0 + 1, y0 + 3, x1 + 1, y1 + 3, 12) - 2.5f; },
        solid(rgb(34, 22, 16)));
    fill(
        c, [=](float x, float y) { return plank(x, y) - 2.5f; }, solid(palette::edge));
    fill(c, plank, [=](float x, float y) {
        float grain = fbm(x * 0.25f, y * 3.0f, 16, 4, highlighted ? 71 : 72);
        Rgb col = mix(woodDark, woodLight, clamp01(grain * 1.4f - 0.1f));
        float bevel = 1.0f;
        if (y < y0 + 4)
            bevel = 1.18f;
        else if (y > y1 - 4)
            bevel = 0.8f;
        return scale(col, bevel);
    });
    // Nails at the ends.
    for (float nx : {x0 + 12, x1 - 12}) {
        if (highlighted && nx < w / 2) continue;
        fill(
            c, [=](float x, float y) { return sdCircle(x, y, nx, (y0 + y1) / 2, 3.2f); }, solid(rgb(70, 60, 56)));
        fill(
            c, [=](float x, float y) { return sdCircle(x, y, nx - 0.7f, (y0 + y1) / 2 - 0.7f, 2.0f); },
            solid(rgb(190, 186, 178)));
    }
    if (highlighted) stamp(c, sprites.bone.canvas, 6, static_cast<int>((y0 + y1) / 2) - 16, 1);
    float cap = 24, base = (y0 + y1) / 2 + cap / 2;
    StrokeText t = layoutText(label, w / 2.0f + (highlighted ? 8 : 0), base, cap, true);
    LetterStyle s;
    s.stroke = 2.3f;
    s.outline = 1.8f;
    s.top = highlighted ? rgb(255, 255, 255) : rgb(255, 244, 214);
    s.bottom = highlighted ? rgb(255, 236, 196) : rgb(236, 214, 170);
    s.edge = highlighted ? rgb(120, 50, 20) : rgb(60, 36, 22);
    s.shadow = rgb(40, 24, 16);
    s.shadowDx = 1;
    s.shadowDy = 2;
    s.shine = 0;
    paintText(c, t, s, base - cap, base);
    return c;
}

Canvas makeMenuBackground(const Sprites& sprites) {
    Canvas c(640, 480);
    const int ground = 206;
    paintSky(c, 0, ground, 5);
    // The sun, high on the right, away from the title.
    fill(
        c, [](float x, float y) { return sdCircle(x, y, 574, 58, 70); }, solid(rgb(255, 250, 210)), 0.25f);
    fill(
        c, [](float x, float y) { return sdCircle(x, y, 574, 58, 46); }, solid(rgb(255, 246, 190)), 0.35f);
    fill(
        c, [](float x, float y) { return sdCircle(x, y, 574, 58, 30); },
        [](float, float y) { return mix(rgb(255, 246, 170), rgb(255, 214, 90), clamp01((y - 28) / 60)); });
    // Far hills.
    fill(
        c, 0, 120, 640, ground + 4,
        [](float x, float y) { return (ground - 26 - 14 * std::sin(x / 70.0f) - 8 * std::sin(x / 23.0f + 1)) - y; },
        [](float, float y) { return mix(rgb(124, 184, 110), rgb(96, 160, 84), clamp01((y - 150) / 60)); });
    Canvas earth = makeDirtBackground(640, 480, 11);
    copyRegion(c, earth, 0, ground + 8, 0, ground + 8, 640, 480 - ground - 8);
    // A cut through the garden at twice the board's scale: a tunnel from the
    // surface, rocks in the earth, the dog on her way and the bone ahead.
    const char* layout[] = {"dTdRdd", "RTddRd", "dTTTTd", "RddRdb"};
    Canvas rock = makeRock(false), fallen = makeRock(true);
    const int left = 16, top = ground + 10, cell = 64;
    for (int r = 0; r < 4; ++r)
        for (int col = 0; col < 6; ++col) {
            char k = layout[r][col];
            int x = left + col * cell, y = top + r * cell;
            if (k == 'T') {
                for (int yy = 0; yy < cell; ++yy)
                    for (int xx = 0; xx < cell; ++xx) c.set(x + xx, y + yy, rgb(0, 0, 0));
            } else if (k == 'R') {
                stamp(c, rock, x, y, 2);
            } else if (k == 'r') {
                stamp(c, fallen, x, y, 2);
            } else if (k == 'b') {
                stamp(c, sprites.bone.canvas, x, y, 2);
            }
        }
    // The turf goes over the earth; the shaft cuts through it, with the earth
    // the dog threw up heaped on both sides.
    paintGrassLine(c, ground, 9);
    const int sx0 = left + cell, sx1 = left + 2 * cell;
    for (float hx : {sx0 - 9.0f, sx1 + 9.0f}) {
        auto heap = [=](float x, float y) {
            return std::max(sdEllipse(x, y, hx, ground + 2.0f, 17, 10), y - (ground + 6.0f));
        };
        fill(
            c, static_cast<int>(hx) - 22, ground - 14, static_cast<int>(hx) + 23, ground + 8,
            [=](float x, float y) { return heap(x, y) - 1.2f; }, solid(palette::edge));
        fill(c, static_cast<int>(hx) - 22, ground - 14, static_cast<int>(hx) + 23, ground + 8, heap,
             [=](float x, float y) {
                 float lit = clamp01(0.55f - (y - ground) / 14.0f);
                 Rgb col = mix(palette::dirtDark, palette::dirtLight, lit);
                 return scale(col, 0.88f + 0.24f * hash01(static_cast<int>(x), static_cast<int>(y), 5));
             });
    }
    for (int yy = ground - 4; yy < top + 2; ++yy)
        for (int xx = sx0; xx < sx1; ++xx) c.set(xx, yy, rgb(0, 0, 0));
    stamp(c, sprites.dog.canvas, left + 3 * cell, top + 2 * cell, 2);
    LetterStyle s = titleStyle(8.2f);
    StrokeText t = layoutText("Tunnelwick", 300, 128, 82, true);
    paintText(c, t, s, 128 - 82, 128);
    sparkle(c, 536, 52, 14, rgb(255, 240, 160));
    sparkle(c, 60, 150, 9, rgb(255, 250, 210));
    return c;
}

Canvas makeHelpBackground(const Sprites& sprites) {
    Canvas c = makeDirtBackground(640, 480, 17);
    darken(c, 0, 0, 640, 480, 0.7f);
    const float px0 = 16, py0 = 12, px1 = 624, py1 = 468;
    fill(
        c, [=](float x, float y) { return sdRoundRect(x, y, px0 + 3, py0 + 5, px1 + 3, py1 + 5, 18); },
        solid(rgb(20, 12, 8)), 0.6f);
    fill(
        c, [=](float x, float y) { return sdRoundRect(x, y, px0, py0, px1, py1, 18); }, solid(palette::edge));
    fill(
        c, [=](float x, float y) { return sdRoundRect(x, y, px0 + 3, py0 + 3, px1 - 3, py1 - 3, 15); },
        [](float x, float y) {
            float n = fbm(x, y, 40, 4, 23);
            return mix(rgb(234, 218, 182), rgb(250, 242, 220), clamp01(n * 1.3f - 0.1f));
        });
    fill(
        c,
        [=](float x, float y) { return std::fabs(sdRoundRect(x, y, px0 + 8, py0 + 8, px1 - 8, py1 - 8, 12)) - 0.6f; },
        solid(rgb(176, 130, 84)));

    LetterStyle s = titleStyle(3.6f);
    s.shadowDx = 2;
    s.shadowDy = 3;
    StrokeText title = layoutText("How to play", 320, 62, 36, true);
    paintText(c, title, s, 62 - 36, 62);
    stamp(c, sprites.dog.canvas, 40, 16, 2);
    stamp(c, sprites.bone.canvas, 536, 18, 2);

    const Rgb ink = rgb(58, 38, 28), head = rgb(150, 70, 30);
    drawFontText(c, "The goal", 44, 86, head, 2, false);
    const char* goal[] = {
        "Lead Zada the dog to her bone in as few moves as you can.",
        "An arrow key sends her sliding until a rock, the edge of the garden",
        "or the grass stops her; she digs a tunnel as she goes. A rock above",
        "the tunnel drops into it. Each arrow press counts as one move.",
        "Menu: arrows or mouse choose, Enter or click opens, S levels, A about",
    };
    for (int i = 0; i < 5; ++i) drawFontText(c, goal[i], 44, 106 + 13 * i, i == 4 ? head : ink, 1, false);

    // Two columns: playing on the left, the editor on the right.
    const int lx = 44, rx = 336, top = 176;
    drawFontText(c, "Playing", lx, top, head, 2, false);
    int y = top + 28;
    const int arrows[] = {2, 3, 1, 0};  // left, up, down, right
    for (int d = 0; d < 4; ++d) arrowKey(c, lx + d * 26, y, arrows[d]);
    drawFontText(c, "slide and dig", lx + 112, y + 6, ink, 1, false);
    const char* playKeys[][2] = {
        {"R", "restart the level"}, {"S", "choose a level"}, {"O", "volume and sounds"}, {"Esc", "back to the menu"}};
    for (const auto& k : playKeys) {
        y += 20;
        int kw = std::max(22, fontTextWidth(k[0], 1) + 12);
        keycap(c, lx, y, kw, k[0]);
        drawFontText(c, k[1], lx + 112, y + 6, ink, 1, false);
    }
    // Taking a move back and the hint share the last row.
    y += 20;
    keycap(c, lx, y, 22, "U");
    keycap(c, lx + 28, y, fontTextWidth("Bksp", 1) + 12, "Bksp");
    drawFontText(c, "undo", lx + 112, y + 6, ink, 1, false);
    keycap(c, lx + 170, y, 22, "H");
    drawFontText(c, "hint", lx + 200, y + 6, ink, 1, false);
    y += 20;
    keycap(c, lx, y, fontTextWidth("Space", 1) + 12, "Space");
    drawFontText(c, "held: hurry", lx + 112, y + 6, ink, 1, false);

    drawFontText(c, "Level editor", rx, top, head, 2, false);
    drawFontText(c, "Press L in the main menu.", rx, top + 20, ink, 1, false);
    y = top + 38;
    mouseIcon(c, rx + 2, y - 2);
    drawFontText(c, "left button: paint", rx + 40, y + 8, ink, 1, false);
    y += 32;
    arrowKey(c, rx, y, 2);
    arrowKey(c, rx + 26, y, 0);
    drawFontText(c, "change the brush", rx + 60, y + 6, ink, 1, false);
    const char* editKeys[][2] = {{"S", "save"},   {"L", "load"},  {"V", "check"}, {"T", "title"},
                                 {"N", "number"}, {"E", "clear"}, {"Esc", "back"}, {"F1", "key line"}};
    for (int i = 0; i < 8; ++i) {
        int kx = rx + (i % 3) * 92, ky = y + 24 * (1 + i / 3);
        int kw = std::max(22, fontTextWidth(editKeys[i][0], 1) + 12);
        keycap(c, kx, ky, kw, editKeys[i][0]);
        drawFontText(c, editKeys[i][1], kx + kw + 8, ky + 6, ink, 1, false);
    }

    // The brushes, in the order Left and Right step through them.
    Canvas earth = makeDirtBackground(32, 32, 3);
    Canvas tiles[9];
    tiles[0] = makeRock(true);
    tiles[1] = earth;
    stamp(tiles[1], makeRock(false), 0, 0);
    tiles[2] = makeSkyTop();
    tiles[3] = earth;
    tiles[4] = Canvas(32, 32);
    for (int yy = 0; yy < 32; ++yy)
        for (int xx = 0; xx < 32; ++xx) tiles[4].set(xx, yy, rgb(0, 0, 0));
    tiles[5] = makeSkyBottom(false);
    tiles[6] = makeSkyBottom(true);
    tiles[7] = earth;
    stamp(tiles[7], sprites.bone.canvas, 0, 0);
    tiles[8] = earth;
    stamp(tiles[8], sprites.dog.canvas, 0, 0);
    const char* names[] = {"fallen", "rock", "sky", "dirt", "tunnel", "grass", "dug", "bone", "dog"};
    // Clear of the key caps above (Space, the lowest, ends at 346).
    const int by = 372, step = 58, bx0 = 320 - (9 * step - 26) / 2;
    drawFontText(c, "The editor's brushes:", 44, by - 16, head, 1, false);
    for (int i = 0; i < 9; ++i) {
        int bx = bx0 + i * step;
        fill(
            c, bx - 3, by - 3, bx + 36, by + 36,
            [=](float x, float y) { return sdRoundRect(x, y, bx - 2, by - 2, bx + 34, by + 34, 3); },
            solid(palette::edge));
        stamp(c, tiles[i], bx, by, 1);
        drawFontText(c, names[i], bx + 16, by + 38, ink, 1, true);
    }
    // The keys every screen shares: the window and the gamepad.
    drawFontText(c, "F11 or Alt+Enter: full screen and back", 320, 425, ink, 1, true);
    drawFontText(c, "Gamepad: d-pad or stick moves; Enter, Escape, undo, hint; RB hurries", 320, 436, ink, 1, true);
    // Help's second page, the rules, is turned to from here.
    drawFontText(c, "Right, Page Down or a click: the rules.   Enter or Escape: the menu.", 320, 449, head, 1, true);
    return c;
}

Canvas makeWinPicture(const Sprites& sprites) {
    const int w = 400, h = 280, ground = 222;
    Canvas c(w, h);
    // Sunburst behind the dog.
    const float cx = 190, cy = 150;
    for (int y = 0; y < ground + 4; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb sky = mix(palette::skyHigh, palette::skyLow, clamp01(y / static_cast<float>(ground)));
            float a = std::atan2(y - cy, x - cx);
            float ray = std::sin(a * 9) > 0.25f ? 1.0f : 0.0f;
            float fade = 1 - smoothstep(40, 260, std::hypot(x - cx, y - cy));
            c.set(x, y, mix(sky, rgb(255, 244, 196), ray * fade * 0.55f + fade * 0.25f));
        }
    Canvas earth = makeDirtBackground(w, h, 29);
    copyRegion(c, earth, 0, ground + 8, 0, ground + 8, w, h - ground - 8);
    paintGrassLine(c, ground, 31);
    // Confetti in the garden's colours.
    Random rnd(77);
    const Rgb colours[] = {rgb(236, 84, 72), rgb(250, 206, 64), rgb(98, 172, 62), rgb(96, 150, 230),
                           rgb(236, 130, 190)};
    for (int i = 0; i < 70; ++i) {
        float x = rnd.uniform(10, w - 10.0f), y = rnd.uniform(60, ground - 10.0f);
        float ang = rnd.uniform(0, kPi), len = rnd.uniform(2.5f, 4.5f);
        Rgb col = colours[rnd.below(5)];
        if (std::hypot(x - cx, y - cy) < 95) continue;  // keep the dog clear
        float dx = std::cos(ang) * len, dy = std::sin(ang) * len;
        fill(
            c, static_cast<int>(x) - 6, static_cast<int>(y) - 6, static_cast<int>(x) + 7, static_cast<int>(y) + 7,
            [=](float px, float py) { return sdSegment(px, py, x - dx, y - dy, x + dx, y + dy) - 1.3f; }, solid(col));
    }
    // The dog, five times her board size, with her bone beside her.
    const int f = 5;
    fill(
        c, [=](float x, float y) { return sdEllipse(x, y, 175, ground + 4, 78, 9); }, solid(rgb(30, 60, 20)), 0.35f);
    stamp(c, sprites.dog.canvas, 100, ground + 4 - 30 * f, f);
    stamp(c, sprites.bone.canvas, 268, ground + 2 - 22 * 3, 3);
    sparkle(c, 318, 150, 12, rgb(255, 240, 150));
    sparkle(c, 84, 96, 10, rgb(255, 240, 150));
    sparkle(c, 290, 100, 7, rgb(255, 255, 220));
    LetterStyle s = titleStyle(4.0f);
    s.shadowDx = 2;
    s.shadowDy = 3;
    StrokeText t = layoutText("Well done!", w / 2.0f, 50, 40, true);
    paintText(c, t, s, 10, 50);
    // A frame so the picture sits neatly on the black screen.
    fill(
        c, [=](float x, float y) { return std::min(std::min(x, w - x), std::min(y, h - y)) - 5; },
        solid(palette::edge));
    fill(
        c, [=](float x, float y) { return std::fabs(std::min(std::min(x, w - x), std::min(y, h - y)) - 6.5f) - 1; },
        solid(rgb(250, 206, 64)));
    return c;
}

}  // namespace art
