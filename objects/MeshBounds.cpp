#include "objects/MeshBounds.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Enough for every mesh of the level and the player: each is then bounded by its own
// triangles, at the cost of transforming their corners once a frame.
constexpr size_t trianglesKeptUpTo = 4096;
constexpr int gridCells = 8;

Box triangleBox(const std::vector<glm::vec4>& vertices, const GLuint* corner)
{
    glm::vec3 a(vertices[corner[0]]), b(vertices[corner[1]]), c(vertices[corner[2]]);
    return {glm::min(a, glm::min(b, c)), glm::max(a, glm::max(b, c))};
}

} // namespace

std::optional<MeshFootprint> meshFootprint(const std::vector<glm::vec4>& vertices, const std::vector<GLuint>& indices,
                                           size_t count)
{
    count -= count % 3;
    if (count > indices.size())
        return std::nullopt;
    for (size_t k = 0; k < count; ++k) {
        if (indices[k] >= vertices.size())
            return std::nullopt;
    }
    MeshFootprint footprint;
    if (count / 3 <= trianglesKeptUpTo) {
        for (size_t k = 0; k < count; k += 3)
            footprint.triangles.push_back({glm::vec3(vertices[indices[k]]), glm::vec3(vertices[indices[k + 1]]),
                                           glm::vec3(vertices[indices[k + 2]])});
        return footprint;
    }

    glm::vec3 lo(vertices[indices[0]]), hi = lo;
    for (size_t k = 0; k < count; ++k) {
        lo = glm::min(lo, glm::vec3(vertices[indices[k]]));
        hi = glm::max(hi, glm::vec3(vertices[indices[k]]));
    }
    glm::vec3 extent = hi - lo;
    float cell = std::max({extent.x, extent.y, extent.z}) / gridCells;
    std::map<int, Box> cells;
    for (size_t k = 0; k < count; k += 3) {
        Box box = triangleBox(vertices, &indices[k]);
        glm::vec3 first(vertices[indices[k]]);
        glm::ivec3 at(0);
        if (cell > 0.0f && std::isfinite(cell))
            at = glm::clamp(glm::ivec3((first - lo) / cell), glm::ivec3(0), glm::ivec3(gridCells - 1));
        int key = at.x + gridCells * (at.y + gridCells * at.z);
        auto [found, added] = cells.try_emplace(key, box);
        if (!added)
            found->second = {glm::min(found->second.lo, box.lo), glm::max(found->second.hi, box.hi)};
    }
    for (const auto& entry : cells)
        footprint.boxes.push_back(entry.second);
    return footprint;
}
