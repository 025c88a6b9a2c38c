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
        const std::vector<Box>* boxes = object.meshBoxes(i);
        if (!boxes) {
            addEverything();
            return;
        }
        add(lightClip * object.meshModelMatrix(i), *boxes);
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
