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

// A triangle in a mesh's own coordinates, its corners in the order they are drawn, which
// decides which way it faces.
struct Triangle {
    glm::vec3 a;
    glm::vec3 b;
    glm::vec3 c;
};

// What bounds where a mesh's triangles can land on screen. A mesh of up to 4096 triangles
// keeps the triangles themselves; a larger one has boxes instead, one per cell of an
// 8 x 8 x 8 grid over the mesh, around the triangles whose first corner lies in that cell.
struct MeshFootprint {
    std::vector<Triangle> triangles;
    std::vector<Box> boxes;
};

// The footprint of the first `count` indices of a mesh, three per triangle. Nothing when an
// index names a vertex the mesh lacks: then where the mesh lands is not known.
std::optional<MeshFootprint> meshFootprint(const std::vector<glm::vec4>& vertices, const std::vector<GLuint>& indices,
                                           size_t count);
