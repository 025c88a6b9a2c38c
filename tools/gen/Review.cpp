#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <glm/geometric.hpp>

#include "objects/TextureFiles.h"
#include "tools/gen/Generator.h"
#include "tools/gen/Image.h"
#include "tools/gen/Level.h"
#include "tools/gen/Textures.h"

namespace gen {

namespace {

struct Canvas {
    int width, height;
    std::vector<uint8_t> rgb;

    Canvas(int w, int h, uint8_t grey) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, grey) { }
    void blend(int x, int y, glm::vec3 c, float a)
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        for (int k = 0; k < 3; ++k)
            p[k] = static_cast<uint8_t>(std::lround(p[k] * (1.0f - a) + std::clamp(c[k], 0.0f, 1.0f) * 255.0f * a));
    }
};

// Draws text with its baseline at (x, y).
void text(Canvas& canvas, int x, int y, const std::string& s, int pixels, glm::vec3 colour)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return;
    if (FT_New_Face(library, GORBECK_FONT_FILE, 0, &face) == 0) {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels));
        for (unsigned char ch : s) {
            if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0)
                continue;
            FT_GlyphSlot g = face->glyph;
            for (unsigned r = 0; r < g->bitmap.rows; ++r)
                for (unsigned c = 0; c < g->bitmap.width; ++c)
                    canvas.blend(x + g->bitmap_left + static_cast<int>(c), y - g->bitmap_top + static_cast<int>(r),
                                 colour, g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0f);
            x += static_cast<int>(g->advance.x >> 6);
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
}

bool contactSheet(const std::string& assetsDir, const std::string& path)
{
    const auto& names = textureFiles();
    const int thumb = 200, columns = 6, label = 26;
    int rows = static_cast<int>((names.size() + columns - 1) / columns);
    Canvas sheet(columns * (thumb + 10) + 10, rows * (thumb + label + 10) + 10, 40);
    bool ok = true;
    for (size_t i = 0; i < names.size(); ++i) {
        int w = 0, h = 0;
        std::vector<uint8_t> rgb;
        if (!readJpeg(assetsDir + "/" + names[i], w, h, rgb)) {
            std::cerr << "missing " << names[i] << "\n";
            ok = false;
            continue;
        }
        int ox = 10 + static_cast<int>(i % columns) * (thumb + 10);
        int oy = 10 + static_cast<int>(i / columns) * (thumb + label + 10);
        // Box-filtered thumbnail.
        for (int y = 0; y < thumb; ++y) {
            for (int x = 0; x < thumb; ++x) {
                int x0 = x * w / thumb, x1 = std::max(x0 + 1, (x + 1) * w / thumb);
                int y0 = y * h / thumb, y1 = std::max(y0 + 1, (y + 1) * h / thumb);
                glm::vec3 sum(0.0f);
                for (int yy = y0; yy < y1; ++yy)
                    for (int xx = x0; xx < x1; ++xx)
                        for (int k = 0; k < 3; ++k)
                            sum[k] += rgb[(static_cast<size_t>(yy) * w + xx) * 3 + k];
                sheet.blend(ox + x, oy + y, sum / (255.0f * static_cast<float>((x1 - x0) * (y1 - y0))), 1.0f);
            }
        }
        std::string name = std::filesystem::path(names[i]).filename().string();
        std::ostringstream caption;
        caption << i << " " << name << " " << w;
        text(sheet, ox, oy + thumb + 18, caption.str(), 13, glm::vec3(0.9f));
    }
    return writePng(path, sheet.width, sheet.height, sheet.rgb) && ok;
}

glm::vec3 heightColour(float y)
{
    if (y <= waterHeight + 0.01f)
        return {0.10f, 0.30f, 0.55f};
    // Dark green at the start, through ochre, to pale yellow at the top of the course.
    float t = std::clamp((y - startGroundHeight) / (cheeseTopHeight - startGroundHeight), 0.0f, 1.0f);
    glm::vec3 low(0.15f, 0.45f, 0.20f), mid(0.75f, 0.55f, 0.25f), high(1.0f, 0.95f, 0.70f);
    return t < 0.5f ? low + (mid - low) * (t * 2.0f) : mid + (high - mid) * (t * 2.0f - 1.0f);
}

bool levelMap(const std::string& path)
{
    const float x0 = -40.0f, x1 = 300.0f, z0 = -100.0f, z1 = 620.0f, scale = 2.0f;
    int w = static_cast<int>((x1 - x0) * scale), h = static_cast<int>((z1 - z0) * scale);
    std::vector<float> top(static_cast<size_t>(w) * h, -1e9f);
    // North (+z) is up in the picture, x to the right.
    auto px = [&](float x) { return (x - x0) * scale; };
    auto py = [&](float z) { return (z1 - z) * scale; };

    Model level = buildLevel();
    for (const Mesh& mesh : level.meshes) {
        for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
            glm::vec3 a = mesh.vertices[mesh.indices[i]].position, b = mesh.vertices[mesh.indices[i + 1]].position,
                      c = mesh.vertices[mesh.indices[i + 2]].position;
            if (glm::normalize(glm::cross(b - a, c - a)).y < 0.3f)
                continue;
            glm::vec2 pa(px(a.x), py(a.z)), pb(px(b.x), py(b.z)), pc(px(c.x), py(c.z));
            float area = (pb.x - pa.x) * (pc.y - pa.y) - (pc.x - pa.x) * (pb.y - pa.y);
            int minX = std::max(0, static_cast<int>(std::floor(std::min({pa.x, pb.x, pc.x}))));
            int maxX = std::min(w - 1, static_cast<int>(std::ceil(std::max({pa.x, pb.x, pc.x}))));
            int minY = std::max(0, static_cast<int>(std::floor(std::min({pa.y, pb.y, pc.y}))));
            int maxY = std::min(h - 1, static_cast<int>(std::ceil(std::max({pa.y, pb.y, pc.y}))));
            for (int y = minY; y <= maxY; ++y) {
                for (int x = minX; x <= maxX; ++x) {
                    glm::vec2 p(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
                    float wa = ((pb.x - p.x) * (pc.y - p.y) - (pc.x - p.x) * (pb.y - p.y)) / area;
                    float wb = ((pc.x - p.x) * (pa.y - p.y) - (pa.x - p.x) * (pc.y - p.y)) / area;
                    float wc = 1.0f - wa - wb;
                    if (wa < 0.0f || wb < 0.0f || wc < 0.0f)
                        continue;
                    float height = wa * a.y + wb * b.y + wc * c.y;
                    float& cell = top[static_cast<size_t>(y) * w + x];
                    cell = std::max(cell, height);
                }
            }
        }
    }
    Canvas map(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float height = top[static_cast<size_t>(y) * w + x];
            map.blend(x, y, height < -1e8f ? glm::vec3(0.0f) : heightColour(height), 1.0f);
        }
    // Goal area outline (230 < x < 250, z > 540).
    for (float z = 540.0f; z <= z1; z += 0.25f)
        for (float x : {230.0f, 250.0f})
            map.blend(static_cast<int>(px(x)), static_cast<int>(py(z)), {1, 0, 0}, 1.0f);
    for (float x = 230.0f; x <= 250.0f; x += 0.25f)
        map.blend(static_cast<int>(px(x)), static_cast<int>(py(540.0f)), {1, 0, 0}, 1.0f);
    // The route from the start.
    glm::vec2 from(0.0f, 0.0f);
    for (const Waypoint& wp : courseRoute()) {
        glm::vec2 to(wp.x, wp.z);
        float len = glm::distance(from, to);
        for (float t = 0.0f; t <= len; t += 0.2f) {
            glm::vec2 p = from + (to - from) * (t / len);
            map.blend(static_cast<int>(px(p.x)), static_cast<int>(py(p.y)), {1, 1, 1}, 0.9f);
        }
        if (wp.jump)
            for (int dy = -4; dy <= 4; ++dy)
                for (int dx = -4; dx <= 4; ++dx)
                    map.blend(static_cast<int>(px(wp.x)) + dx, static_cast<int>(py(wp.z)) + dy, {1, 0.3f, 1}, 1.0f);
        from = to;
    }
    for (int dy = -7; dy <= 7; ++dy)
        for (int dx = -7; dx <= 7; ++dx)
            if (dx * dx + dy * dy <= 49)
                map.blend(static_cast<int>(px(0.0f)) + dx, static_cast<int>(py(0.0f)) + dy, {0.2f, 1.0f, 0.2f}, 1.0f);
    std::ostringstream water, heights;
    water << "red: goal area; blue: water, y = " << waterHeight;
    heights << "colour: height, green y = " << startGroundHeight << " to pale yellow y = " << cheeseTopHeight
            << " (cheese top)";
    int y = h - 90;
    text(map, 250, y, "Level from above, north (+z) up, 2 px a unit", 16, glm::vec3(1.0f));
    text(map, 250, y + 22, "green dot: start; white: route; magenta: jumps", 13, glm::vec3(1.0f));
    text(map, 250, y + 42, water.str(), 13, glm::vec3(1.0f));
    text(map, 250, y + 62, heights.str(), 13, glm::vec3(1.0f));
    return writePng(path, w, h, map.rgb);
}

} // namespace

bool writeReview(const std::string& assetsDir, const std::string& outDir)
{
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    bool ok = contactSheet(assetsDir, outDir + "/contact_sheet.png");
    ok = levelMap(outDir + "/level_map.png") && ok;
    return ok;
}

} // namespace gen
