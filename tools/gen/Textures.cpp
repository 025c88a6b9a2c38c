#include "tools/gen/Textures.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include "objects/TextureFiles.h"
#include "tools/gen/Noise.h"

namespace gen {

namespace {

constexpr float twoPi = 6.28318530718f;

float smoothstep(float e0, float e1, float x)
{
    float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

glm::vec3 mix(glm::vec3 a, glm::vec3 b, float t)
{
    return a + (b - a) * t;
}

// Runs `paint` for every pixel with texture coordinates u, v in [0, 1); it returns the height
// and writes the colour.
Surface paint(int size, float depth, const std::function<float(float, float, glm::vec3&)>& shade)
{
    Surface s{Image(size, size), HeightField(size, size), depth};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(size);
            float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(size);
            glm::vec3 colour(0.0f);
            s.height.at(x, y) = std::clamp(shade(u, v, colour), 0.0f, 1.0f);
            s.colour.at(x, y) = glm::clamp(colour, 0.0f, 1.0f);
        }
    }
    return s;
}

Surface fur()
{
    return paint(512, 5.0f, [](float u, float v, glm::vec3& c) {
        float strands = tileFbm(u * 96.0f, v * 10.0f, 96, 10, 4, 11u);
        float clumps = tileFbm(u * 8.0f, v * 8.0f, 8, 8, 3, 12u);
        float h = 0.6f * strands + 0.4f * clumps;
        float tips = smoothstep(0.55f, 0.75f, strands);
        c = mix(glm::vec3(0.27f, 0.22f, 0.18f), glm::vec3(0.60f, 0.53f, 0.46f), smoothstep(0.25f, 0.75f, h));
        c = mix(c, glm::vec3(0.74f, 0.69f, 0.62f), 0.35f * tips);
        return h;
    });
}

Surface eye()
{
    return paint(512, 2.0f, [](float u, float v, glm::vec3& c) {
        float grain = tileFbm(u * 16.0f, v * 16.0f, 16, 16, 3, 21u);
        // A ring of catch-lights around the sphere, so some always face the camera.
        float sx = u * 4.0f - std::floor(u * 4.0f) - 0.5f;
        float spot = std::exp(-(sx * sx + (v - 0.32f) * (v - 0.32f)) * 220.0f);
        float iris = smoothstep(0.15f, 0.55f, v) * (1.0f - smoothstep(0.6f, 0.95f, v));
        c = mix(glm::vec3(0.02f, 0.015f, 0.02f), glm::vec3(0.09f, 0.06f, 0.07f), iris * (0.5f + 0.5f * grain));
        c = mix(c, glm::vec3(0.95f, 0.95f, 1.0f), spot);
        return 0.5f + 0.08f * grain;
    });
}

Surface teeth()
{
    return paint(512, 3.0f, [](float u, float v, glm::vec3& c) {
        float streak = tileFbm(u * 48.0f, v * 4.0f, 48, 4, 3, 31u);
        float blotch = tileFbm(u * 6.0f, v * 6.0f, 6, 6, 3, 32u);
        c = mix(glm::vec3(0.82f, 0.74f, 0.55f), glm::vec3(0.98f, 0.94f, 0.80f), 0.4f + 0.6f * streak);
        c *= 0.92f + 0.08f * blotch;
        return 0.4f + 0.4f * streak;
    });
}

Surface tail()
{
    return paint(512, 7.0f, [](float u, float v, glm::vec3& c) {
        // Rings across v (along the tail), each ring broken into small scales.
        float ring = v * 16.0f - std::floor(v * 16.0f);
        float groove = std::pow(std::abs(ring - 0.5f) * 2.0f, 6.0f);
        float scaleLine = std::pow(std::abs(std::sin(u * twoPi * 24.0f + std::floor(v * 16.0f) * 1.7f)), 12.0f);
        float skin = tileFbm(u * 16.0f, v * 16.0f, 16, 16, 3, 41u);
        float h = (1.0f - groove) * (1.0f - 0.3f * scaleLine) * (0.8f + 0.2f * skin);
        c = mix(glm::vec3(0.62f, 0.38f, 0.38f), glm::vec3(0.93f, 0.66f, 0.64f), h);
        return h;
    });
}

Surface whisker()
{
    return paint(512, 3.0f, [](float u, float v, glm::vec3& c) {
        float streak = tileFbm(u * 64.0f, v * 4.0f, 64, 4, 3, 51u);
        c = mix(glm::vec3(0.05f, 0.045f, 0.04f), glm::vec3(0.30f, 0.27f, 0.24f), streak);
        return streak;
    });
}

Surface nose()
{
    return paint(512, 4.0f, [](float u, float v, glm::vec3& c) {
        CellSample pore = tileCells(u * 24.0f, v * 24.0f, 24, 61u);
        float moist = tileFbm(u * 8.0f, v * 8.0f, 8, 8, 3, 62u);
        float h = smoothstep(0.0f, 0.45f, pore.f1) * 0.7f + 0.3f * moist;
        c = mix(glm::vec3(0.70f, 0.36f, 0.40f), glm::vec3(0.96f, 0.60f, 0.64f), h);
        c = mix(c, glm::vec3(1.0f, 0.85f, 0.88f), 0.25f * smoothstep(0.7f, 0.9f, moist));
        return h;
    });
}

// One tile is 2 by 2 world units: 4 bricks of 0.5 across and 8 courses of 0.25.
Surface brick()
{
    return paint(1024, 10.0f, [](float u, float v, glm::vec3& c) {
        float row = std::floor(v * 8.0f);
        float shift = std::fmod(row, 2.0f) * 0.125f;
        float bu = u + shift;
        float col = std::floor(bu * 4.0f);
        float fx = bu * 4.0f - col, fy = v * 8.0f - row;
        // Distance to the brick's edge in world units (brick 0.5 x 0.25).
        float edge = std::min(std::min(fx, 1.0f - fx) * 0.5f, std::min(fy, 1.0f - fy) * 0.25f);
        int id = static_cast<int>(std::fmod(col, 4.0f)) + 4 * static_cast<int>(row);
        float tone = hashUnit(id, 0, 71u);
        float grit = tileFbm(u * 64.0f, v * 64.0f, 64, 64, 3, 72u);
        float chips = tileFbm(u * 16.0f, v * 16.0f, 16, 16, 3, 73u);
        float face = smoothstep(0.008f, 0.022f, edge);
        float h = face * (0.78f + 0.12f * grit + 0.1f * chips) + (1.0f - face) * 0.15f * grit;
        glm::vec3 brickColour = mix(glm::vec3(0.46f, 0.15f, 0.10f), glm::vec3(0.70f, 0.30f, 0.18f), tone);
        if (hashUnit(id, 1, 71u) < 0.15f)
            brickColour *= 0.7f; // an over-fired brick here and there
        brickColour *= 0.85f + 0.3f * grit;
        glm::vec3 mortar = glm::vec3(0.60f, 0.58f, 0.53f) * (0.8f + 0.3f * grit);
        c = mix(mortar, brickColour, face);
        return h;
    });
}

Surface water()
{
    return paint(1024, 8.0f, [](float u, float v, glm::vec3& c) {
        // Integer wave numbers keep every ripple periodic over the tile.
        float w = 0.0f;
        w += std::sin(twoPi * (3.0f * u + 2.0f * v) + 0.3f);
        w += 0.7f * std::sin(twoPi * (-2.0f * u + 5.0f * v) + 1.9f);
        w += 0.5f * std::sin(twoPi * (7.0f * u + 1.0f * v) + 4.1f);
        w += 0.4f * std::sin(twoPi * (4.0f * u - 9.0f * v) + 2.2f);
        float chop = tileFbm(u * 12.0f, v * 12.0f, 12, 12, 4, 81u);
        float h = std::clamp(0.5f + 0.13f * w + 0.35f * (chop - 0.5f), 0.0f, 1.0f);
        c = mix(glm::vec3(0.03f, 0.14f, 0.24f), glm::vec3(0.16f, 0.42f, 0.52f), h);
        c = mix(c, glm::vec3(0.75f, 0.88f, 0.92f), 0.6f * smoothstep(0.74f, 0.9f, h));
        return h;
    });
}

// Cobbles of about half a unit on a 4 by 4 unit tile.
Surface stone()
{
    return paint(1024, 14.0f, [](float u, float v, glm::vec3& c) {
        CellSample cell = tileCells(u * 8.0f, v * 8.0f, 8, 91u, 0.7f);
        float gap = cell.f2 - cell.f1;
        float dome = std::sqrt(smoothstep(0.0f, 0.35f, gap));
        float grit = tileFbm(u * 64.0f, v * 64.0f, 64, 64, 3, 92u);
        float tone = static_cast<float>(cell.id >> 8) / 16777216.0f;
        float h = dome * (0.85f + 0.15f * grit);
        glm::vec3 rock = mix(glm::vec3(0.40f, 0.40f, 0.41f), glm::vec3(0.66f, 0.64f, 0.60f), tone);
        rock *= 0.85f + 0.25f * grit;
        c = mix(glm::vec3(0.16f, 0.15f, 0.14f), rock, smoothstep(0.02f, 0.12f, gap));
        return h;
    });
}

Surface ground()
{
    return paint(1024, 8.0f, [](float u, float v, glm::vec3& c) {
        float soil = tileFbm(u * 8.0f, v * 8.0f, 8, 8, 6, 101u);
        float moss = smoothstep(0.55f, 0.7f, tileFbm(u * 4.0f, v * 4.0f, 4, 4, 4, 102u));
        CellSample pebble = tileCells(u * 40.0f, v * 40.0f, 40, 103u);
        bool isPebble = (pebble.id & 3u) == 0u;
        float bump = isPebble ? std::sqrt(std::max(0.0f, 1.0f - pebble.f1 / 0.3f)) : 0.0f;
        float h = 0.55f * soil + 0.45f * bump;
        c = mix(glm::vec3(0.25f, 0.18f, 0.11f), glm::vec3(0.50f, 0.39f, 0.26f), soil);
        c = mix(c, glm::vec3(0.30f, 0.38f, 0.16f), 0.7f * moss);
        c = mix(c, glm::vec3(0.58f, 0.55f, 0.50f) * (0.8f + 0.3f * bump), bump > 0.0f ? 0.9f : 0.0f);
        return h;
    });
}

} // namespace

float cheeseHoles(float u, float v, int cells, float density, uint32_t seed, float& shade)
{
    // Each hole is a round dent about its cell's feature point. A hole may reach into the
    // neighbouring cells, so all nine around the pixel are asked and the deepest dent wins:
    // taking only the nearest point would cut holes off along straight cell borders.
    constexpr float jitter = 0.6f;
    float x = u * static_cast<float>(cells), y = v * static_cast<float>(cells);
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float dent = 0.0f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            CellPoint p = cellPoint(ix + dx, iy + dy, cells, seed, jitter);
            if (static_cast<float>(p.id & 0xffffu) / 65536.0f > density)
                continue;
            float radius = 0.18f + 0.22f * static_cast<float>((p.id >> 16) & 0xffu) / 255.0f;
            float d = std::hypot(p.x - x, p.y - y) / radius;
            if (d < 1.0f)
                dent = std::max(dent, std::sqrt(1.0f - d * d));
        }
    }
    shade = dent;
    return dent;
}

namespace {

Surface cheeseSide()
{
    return paint(512, 16.0f, [](float u, float v, glm::vec3& c) {
        float shade = 0.0f;
        float hole = cheeseHoles(u, v, 5, 0.7f, 111u, shade);
        float grain = tileFbm(u * 32.0f, v * 32.0f, 32, 32, 3, 112u);
        float h = 0.85f + 0.1f * grain - 0.8f * hole;
        c = glm::vec3(0.98f, 0.80f, 0.32f) * (0.93f + 0.1f * grain);
        c = mix(c, glm::vec3(0.72f, 0.48f, 0.12f), 0.8f * shade);
        return h;
    });
}

Surface cheeseTop()
{
    return paint(512, 12.0f, [](float u, float v, glm::vec3& c) {
        float shade = 0.0f;
        float hole = cheeseHoles(u, v, 4, 0.5f, 121u, shade);
        float grain = tileFbm(u * 24.0f, v * 24.0f, 24, 24, 4, 122u);
        float h = 0.85f + 0.12f * grain - 0.7f * hole;
        c = glm::vec3(1.0f, 0.86f, 0.42f) * (0.9f + 0.12f * grain);
        c = mix(c, glm::vec3(0.78f, 0.55f, 0.16f), 0.75f * shade);
        return h;
    });
}

// Coverage of the text, 0 to 1 per pixel, centred across the picture with its middle on
// row `middleRow`.
std::vector<float> letter(const std::string& text, int size, int pixelHeight, int middleRow)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        throw std::runtime_error("FreeType would not start");
    if (FT_New_Face(library, GORBECK_FONT_FILE, 0, &face) != 0) {
        FT_Done_FreeType(library);
        throw std::runtime_error(std::string("cannot open font ") + GORBECK_FONT_FILE);
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight));

    struct Placed {
        std::vector<uint8_t> bitmap;
        int w, h, x, y;
    };
    std::vector<Placed> glyphs;
    int pen = 0;
    FT_UInt previous = 0;
    int minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30);
    for (unsigned char ch : text) {
        FT_UInt index = FT_Get_Char_Index(face, ch);
        if (previous != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
            pen += static_cast<int>(kern.x >> 6);
        }
        FT_Load_Glyph(face, index, FT_LOAD_RENDER);
        FT_GlyphSlot slot = face->glyph;
        Placed g;
        g.w = static_cast<int>(slot->bitmap.width);
        g.h = static_cast<int>(slot->bitmap.rows);
        g.x = pen + slot->bitmap_left;
        g.y = -slot->bitmap_top; // rows grow downwards from the baseline
        for (int r = 0; r < g.h; ++r)
            for (int col = 0; col < g.w; ++col)
                g.bitmap.push_back(slot->bitmap.buffer[r * slot->bitmap.pitch + col]);
        if (g.w > 0 && g.h > 0) {
            minX = std::min(minX, g.x);
            maxX = std::max(maxX, g.x + g.w);
            minY = std::min(minY, g.y);
            maxY = std::max(maxY, g.y + g.h);
        }
        glyphs.push_back(std::move(g));
        pen += static_cast<int>(slot->advance.x >> 6);
        previous = index;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    std::vector<float> coverage(static_cast<size_t>(size) * size, 0.0f);
    int offsetX = (size - (maxX - minX)) / 2 - minX;
    int offsetY = middleRow - (maxY - minY) / 2 - minY;
    for (const Placed& g : glyphs) {
        for (int r = 0; r < g.h; ++r) {
            for (int col = 0; col < g.w; ++col) {
                int x = g.x + col + offsetX, y = g.y + r + offsetY;
                if (x < 0 || y < 0 || x >= size || y >= size)
                    continue;
                float& cell = coverage[static_cast<size_t>(y) * size + x];
                cell = std::max(cell, static_cast<float>(g.bitmap[static_cast<size_t>(r) * g.w + col]) / 255.0f);
            }
        }
    }
    return coverage;
}

// The largest value within `radius` pixels: turns the letters into their outline.
std::vector<float> dilate(const std::vector<float>& in, int size, int radius)
{
    std::vector<float> rows(in.size(), 0.0f), out(in.size(), 0.0f);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float m = 0.0f;
            for (int d = -radius; d <= radius; ++d) {
                int xx = x + d;
                if (xx >= 0 && xx < size)
                    m = std::max(m, in[static_cast<size_t>(y) * size + xx]);
            }
            rows[static_cast<size_t>(y) * size + x] = m;
        }
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float m = 0.0f;
            for (int d = -radius; d <= radius; ++d) {
                int yy = y + d;
                if (yy >= 0 && yy < size)
                    m = std::max(m, rows[static_cast<size_t>(yy) * size + x]);
            }
            out[static_cast<size_t>(y) * size + x] = m;
        }
    return out;
}

} // namespace

Surface makeSurface(SurfaceKind kind)
{
    switch (kind) {
    case SurfaceKind::Fur:
        return fur();
    case SurfaceKind::Eye:
        return eye();
    case SurfaceKind::Teeth:
        return teeth();
    case SurfaceKind::Tail:
        return tail();
    case SurfaceKind::Whisker:
        return whisker();
    case SurfaceKind::Nose:
        return nose();
    case SurfaceKind::Brick:
        return brick();
    case SurfaceKind::Water:
        return water();
    case SurfaceKind::Stone:
        return stone();
    case SurfaceKind::Ground:
        return ground();
    case SurfaceKind::CheeseSide:
        return cheeseSide();
    case SurfaceKind::CheeseTop:
        return cheeseTop();
    }
    throw std::logic_error("unknown surface");
}

int storedShrink(SurfaceKind kind)
{
    switch (kind) {
    case SurfaceKind::Fur:
    case SurfaceKind::Eye:
    case SurfaceKind::Teeth:
    case SurfaceKind::Tail:
    case SurfaceKind::Whisker:
    case SurfaceKind::Nose:
        return 4;
    case SurfaceKind::Brick:
    case SurfaceKind::Water:
    case SurfaceKind::Stone:
        return 2;
    default:
        return 1;
    }
}

Image makeEndScreen(const std::string& text, bool won)
{
    constexpr int size = 1024;
    Image image(size, size);
    // The end screen shows the picture's full height and most of its width, so the text
    // stays inside the middle 80 percent.
    std::vector<float> ink = letter(text, size, won ? 180 : 185, size / 2);
    // What the keys do, below: at 64 pixels of 1024 the capitals stand some 27 rows high in
    // the 600-row window, with the outline around them.
    for (const EndScreenLine& line : endScreenHints) {
        std::vector<float> hint = letter(line.text, size, 64, line.middleRow);
        for (size_t i = 0; i < ink.size(); ++i)
            ink[i] = std::max(ink[i], hint[i]);
    }
    std::vector<float> outline = dilate(ink, size, 7);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
            float r = std::hypot(u - 0.5f, v - 0.5f);
            glm::vec3 bg;
            if (won) {
                float shade = 0.0f;
                float hole = cheeseHoles(u, v, 4, 0.5f, 131u, shade);
                bg = mix(glm::vec3(1.0f, 0.86f, 0.40f), glm::vec3(0.86f, 0.52f, 0.12f), smoothstep(0.1f, 0.75f, r));
                bg = mix(bg, bg * 0.72f, hole);
            } else {
                float w = std::sin(twoPi * (3.0f * u + 2.0f * v)) + 0.6f * std::sin(twoPi * (-2.0f * u + 5.0f * v));
                bg = mix(glm::vec3(0.08f, 0.20f, 0.30f), glm::vec3(0.01f, 0.04f, 0.08f), smoothstep(0.1f, 0.75f, r));
                bg *= 1.0f + 0.12f * w;
            }
            size_t i = static_cast<size_t>(y) * size + x;
            glm::vec3 edgeColour = won ? glm::vec3(0.35f, 0.16f, 0.03f) : glm::vec3(0.0f);
            glm::vec3 fill = won ? glm::vec3(1.0f, 1.0f, 0.95f) : glm::vec3(0.92f, 0.30f, 0.25f);
            glm::vec3 c = mix(bg, edgeColour, outline[i]);
            image.at(x, y) = mix(c, fill, ink[i]);
        }
    }
    return image;
}

Image makeIcon()
{
    constexpr int size = 128;
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // Deep water, lighter towards the middle.
            glm::vec3 c = mix(glm::vec3(0.10f, 0.30f, 0.45f), glm::vec3(0.02f, 0.08f, 0.16f),
                              smoothstep(0.1f, 0.7f, std::hypot(u - 0.5f, v - 0.5f)));
            // A wedge of cheese seen from the side: its top slopes from the thin end on the
            // left up to the rind on the right; the lower fifth is its shaded front.
            float top = 0.78f - 0.5f * (u - 0.12f) / 0.76f;
            if (u > 0.12f && u < 0.88f && v > top && v < 0.8f) {
                float shade = 0.0f;
                float hole = cheeseHoles(u, v, 4, 0.6f, 141u, shade);
                glm::vec3 cheese = v > 0.66f ? glm::vec3(0.86f, 0.62f, 0.20f) : glm::vec3(1.0f, 0.84f, 0.36f);
                c = mix(cheese, glm::vec3(0.70f, 0.45f, 0.10f), 0.85f * hole);
            }
            image.at(x, y) = c;
        }
    }
    return image;
}

bool writeTextures(const std::string& dir)
{
    static const SurfaceKind order[] = {
        SurfaceKind::Fur,     SurfaceKind::Eye,    SurfaceKind::Teeth,      SurfaceKind::Tail,
        SurfaceKind::Whisker, SurfaceKind::Nose,   SurfaceKind::Brick,      SurfaceKind::Water,
        SurfaceKind::Stone,   SurfaceKind::Ground, SurfaceKind::CheeseSide, SurfaceKind::CheeseTop,
    };
    const auto& names = textureFiles();
    bool ok = true;
    size_t next = 0;
    for (SurfaceKind kind : order) {
        Surface s = makeSurface(kind);
        // Stored no finer than the camera samples them (see storedShrink), as the mean of each
        // block: the levels the game samples stay as they were, and loading costs less. The
        // normals are worked out at the painted size, where `depth` means what it says.
        int factor = storedShrink(kind);
        ok = writeJpeg(dir + "/" + names[next++], shrink(s.colour, factor), 92) && ok;
        ok = writeJpeg(dir + "/" + names[next++], shrink(normalMap(s.height, s.depth), factor), 95) && ok;
    }
    ok = writeJpeg(dir + "/" + names[next++], makeEndScreen("You win!", true), 92) && ok;
    ok = writeJpeg(dir + "/" + names[next++], makeEndScreen("You lose", false), 92) && ok;
    return ok;
}

} // namespace gen
