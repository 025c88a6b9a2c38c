#include "render/ShadowRegion.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "objects/Object.h"

namespace {

// Window coordinates of a transformed point may differ from the rasteriser's by rounding;
// a triangle then reaches at most this far past its box.
constexpr float marginTexels = 2.0f;

// Whether all `count` corners lie beyond one of the view volume's six planes: whatever they
// bound is then clipped away and draws nothing.
bool clippedAway(const glm::vec4* clip, int count)
{
    for (int axis = 0; axis < 3; ++axis) {
        bool below = true, above = true;
        for (int k = 0; k < count; ++k) {
            below = below && clip[k][axis] < -clip[k].w;
            above = above && clip[k][axis] > clip[k].w;
        }
        if (below || above)
            return true;
    }
    return false;
}

// A corner at or behind the light's eye plane projects nowhere useful, and a non-finite one
// nowhere at all: whatever it bounds could then reach anywhere.
bool projects(const glm::vec4& clip)
{
    return clip.w > 0.0f && std::isfinite(clip.x) && std::isfinite(clip.y) && std::isfinite(clip.w);
}

} // namespace

ShadowRegion::ShadowRegion(int mapTexels)
    : mapTexels(mapTexels), side((mapTexels + cellTexels - 1) / cellTexels), cells(static_cast<size_t>(side) * side, 0)
{
}

void ShadowRegion::forget()
{
    all = true;
}

void ShadowRegion::addEverything()
{
    all = true;
}

void ShadowRegion::clear(GLuint depthTexture)
{
    std::vector<Rect> rects = startRecord();
    if (rects.size() == 1 && rects[0] == Rect{0, 0, mapTexels, mapTexels}) {
        glClear(GL_DEPTH_BUFFER_BIT);
        return;
    }
    // GL 4.4 has the fill, and so does a 3.3 context with GL_ARB_clear_texture.
    if (fillAllowed && (GLEW_VERSION_4_4 || GLEW_ARB_clear_texture) && glClearTexSubImage != nullptr) {
        const GLfloat farthest = 1.0f;
        for (const Rect& r : rects)
            glClearTexSubImage(depthTexture, 0, r.x, r.y, 0, r.width, r.height, 1, GL_DEPTH_COMPONENT, GL_FLOAT,
                               &farthest);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    for (const Rect& r : rects) {
        glScissor(r.x, r.y, r.width, r.height);
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
}

std::vector<ShadowRegion::Rect> ShadowRegion::startRecord()
{
    std::vector<Rect> rects;
    if (all) {
        rects.push_back({0, 0, mapTexels, mapTexels});
    } else {
        // Runs of marked cells, row by row; rows with the same runs as the row below join its
        // rectangles, so a box-shaped part takes one rectangle.
        std::vector<std::pair<int, int>> open, runs;
        int openFrom = 0;
        for (int y = 0; y <= side; ++y) {
            runs.clear();
            for (int x = 0; y < side && x < side; ++x) {
                if (!marked(x, y))
                    continue;
                int from = x;
                while (x < side && marked(x, y))
                    ++x;
                runs.emplace_back(from, x);
            }
            if (runs == open)
                continue;
            for (const auto& [from, to] : open) {
                int right = std::min(to * cellTexels, mapTexels), top = std::min(y * cellTexels, mapTexels);
                rects.push_back(
                    {from * cellTexels, openFrom * cellTexels, right - from * cellTexels, top - openFrom * cellTexels});
            }
            open.swap(runs);
            openFrom = y;
        }
    }
    all = false;
    std::fill(cells.begin(), cells.end(), 0);
    return rects;
}

void ShadowRegion::add(const glm::mat4& lightClip, Object& object)
{
    for (int i = 0; i < object.numMeshes; ++i) {
        const MeshFootprint* footprint = object.meshFootprint(i);
        if (!footprint) {
            addEverything();
            return;
        }
        glm::mat4 clipFromModel = lightClip * object.meshModelMatrix(i);
        addTriangles(clipFromModel, footprint->triangles);
        add(clipFromModel, footprint->boxes);
    }
}

void ShadowRegion::add(const glm::mat4& clipFromModel, const std::vector<Box>& boxes)
{
    if (all)
        return;
    for (const Box& box : boxes) {
        glm::vec4 clip[8];
        for (int corner = 0; corner < 8; ++corner)
            clip[corner] = clipFromModel
                * glm::vec4(corner & 1 ? box.hi.x : box.lo.x, corner & 2 ? box.hi.y : box.lo.y,
                            corner & 4 ? box.hi.z : box.lo.z, 1.0f);
        if (clippedAway(clip, 8))
            continue;
        if (!std::all_of(std::begin(clip), std::end(clip), projects)) {
            addEverything();
            return;
        }
        glm::vec2 lo(INFINITY), hi(-INFINITY);
        for (const glm::vec4& corner : clip) {
            glm::vec2 ndc = glm::vec2(corner) / corner.w;
            lo = glm::min(lo, ndc);
            hi = glm::max(hi, ndc);
        }
        float half = 0.5f * static_cast<float>(mapTexels);
        markTexels((lo.x + 1.0f) * half, (lo.y + 1.0f) * half, (hi.x + 1.0f) * half, (hi.y + 1.0f) * half);
    }
}

ShadowRegion::Culled ShadowRegion::culledBy(bool on, GLint cullFace, GLint frontFace)
{
    if (!on || cullFace != GL_FRONT)
        return Culled::nothing;
    return frontFace == GL_CW ? Culled::clockwise : Culled::counterClockwise;
}

void ShadowRegion::addTriangles(const glm::mat4& clipFromModel, const std::vector<Triangle>& triangles)
{
    float half = 0.5f * static_cast<float>(mapTexels);
    for (const Triangle& triangle : triangles) {
        if (all)
            return;
        const glm::vec4 clip[3]
            = {clipFromModel * glm::vec4(triangle.a, 1.0f), clipFromModel * glm::vec4(triangle.b, 1.0f),
               clipFromModel * glm::vec4(triangle.c, 1.0f)};
        if (clippedAway(clip, 3))
            continue;
        glm::vec2 texel[3];
        for (int k = 0; k < 3; ++k) {
            texel[k] = (glm::vec2(clip[k]) / clip[k].w + 1.0f) * half;
            // A corner just in front of the eye plane can also project past any float.
            if (!projects(clip[k]) || !std::isfinite(texel[k].x) || !std::isfinite(texel[k].y)) {
                addEverything();
                return;
            }
        }
        markTriangle(texel[0], texel[1], texel[2]);
    }
}

void ShadowRegion::markTriangle(glm::vec2 a, glm::vec2 b, glm::vec2 c)
{
    auto cross = [](glm::vec2 u, glm::vec2 v) { return u.x * v.y - u.y * v.x; };
    // Twice the signed area: positive when the corners run counter-clockwise.
    float area = cross(b - a, c - a);
    // Each corner may land up to the margin m from where it is computed here, which changes
    // twice the area by at most 2m (|b - a| + |c - a|) + 4m^2; within that the winding the
    // rasteriser sees is not certain, so only a triangle clearly wound the culled way is skipped.
    float perimeter = glm::length(b - a) + glm::length(c - b) + glm::length(a - c);
    float unsure = 2.0f * marginTexels * perimeter + 4.0f * marginTexels * marginTexels;
    if ((culled == Culled::counterClockwise && area > unsure) || (culled == Culled::clockwise && -area > unsure))
        return;

    glm::vec2 lo = glm::min(a, glm::min(b, c)) - marginTexels, hi = glm::max(a, glm::max(b, c)) + marginTexels;
    CellSpan span;
    if (!cellsCovering(lo, hi, span))
        return;

    // Whatever the rasteriser draws lies within the margin of the triangle, so a cell is marked
    // unless, grown by the margin, it lies wholly outside one of the triangle's edges. A
    // triangle too thin to say which side is inside marks all the cells of its box.
    struct Edge {
        glm::vec2 from, normal;
        float slack;
    };
    Edge edges[3];
    int edgeCount = 0;
    if (std::abs(area) > 1.0e-3f * perimeter) {
        glm::vec2 corners[3] = {a, b, c};
        float inward = area > 0.0f ? 1.0f : -1.0f;
        const float reach = 0.5f * static_cast<float>(cellTexels) + marginTexels;
        for (int k = 0; k < 3; ++k) {
            glm::vec2 along = corners[(k + 1) % 3] - corners[k];
            glm::vec2 normal = inward * glm::vec2(-along.y, along.x);
            edges[edgeCount++] = {corners[k], normal, (std::abs(normal.x) + std::abs(normal.y)) * reach};
        }
    }
    for (int y = span.y0; y <= span.y1; ++y) {
        for (int x = span.x0; x <= span.x1; ++x) {
            glm::vec2 centre((static_cast<float>(x) + 0.5f) * cellTexels, (static_cast<float>(y) + 0.5f) * cellTexels);
            bool outside = false;
            for (int k = 0; k < edgeCount && !outside; ++k)
                outside = glm::dot(edges[k].normal, centre - edges[k].from) + edges[k].slack < 0.0f;
            if (!outside)
                cells[y * side + x] = 1;
        }
    }
}

bool ShadowRegion::cellsCovering(glm::vec2 lo, glm::vec2 hi, CellSpan& span) const
{
    float size = static_cast<float>(mapTexels);
    if (!(hi.x >= 0.0f && hi.y >= 0.0f && lo.x <= size && lo.y <= size))
        return false;
    span = {cellOf(lo.x), cellOf(lo.y), cellOf(hi.x), cellOf(hi.y)};
    return true;
}

int ShadowRegion::cellOf(float texel) const
{
    float c = std::floor(texel / cellTexels);
    return static_cast<int>(std::clamp(c, 0.0f, static_cast<float>(side - 1)));
}

void ShadowRegion::markTexels(float left, float bottom, float right, float top)
{
    CellSpan span;
    if (!cellsCovering(glm::vec2(left, bottom) - marginTexels, glm::vec2(right, top) + marginTexels, span))
        return;
    for (int y = span.y0; y <= span.y1; ++y)
        std::fill(cells.begin() + y * side + span.x0, cells.begin() + y * side + span.x1 + 1, 1);
}
