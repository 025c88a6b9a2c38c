#pragma once

#include <optional>
#include <vector>

#include <GL/glew.h>
#include <glm/glm.hpp>

// An axis-aligned box in a mesh's own coordinates.
struct Box {
    glm::vec3 lo;
    glm::vec3 hi;
};

// Boxes that together hold every triangle of a mesh (`count` indices, three per triangle), so
// that where the boxes land bounds where the triangles can: one per cell of an 8 x 8 x 8 grid
// over the mesh, around the triangles whose first corner lies in that cell. Nothing when an
// index names a vertex the mesh lacks: then where the mesh lands is not known.
std::optional<std::vector<Box>> meshBoxes(const std::vector<glm::vec4>& vertices, const std::vector<GLuint>& indices,
                                          size_t count);
