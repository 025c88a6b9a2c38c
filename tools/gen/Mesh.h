#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

namespace gen {

struct Vertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};

// One OBJ group, which the importer turns into one mesh.
struct Mesh {
    std::string name;
    std::vector<Vertex> vertices;
    std::vector<uint32_t> indices; // three per triangle

    uint32_t add(const Vertex& v);
    // Adds the triangle wound counter-clockwise as seen from the side `outward` points to.
    void triangle(uint32_t a, uint32_t b, uint32_t c, glm::vec3 outward);
    // A flat convex polygon with one normal; fan-triangulated and wound to face `normal`.
    void polygon(const std::vector<glm::vec3>& corners, const std::vector<glm::vec2>& uvs, glm::vec3 normal);
};

struct Model {
    std::vector<Mesh> meshes;
};

// A closed prism: a convex footprint in x/z with its own top height at every corner (a
// sloped top makes a ramp) and a flat bottom. Texture coordinates are world units times
// `uvPerUnit`, so textures keep their real size on every face.
// With `topMesh` set, the top face goes there instead (a solid drawn with two materials).
void addColumn(Mesh& mesh, const std::vector<glm::vec2>& footprint, const std::vector<float>& topHeights, float bottom,
               float uvPerUnit, Mesh* topMesh = nullptr);
void addBox(Mesh& mesh, glm::vec3 lo, glm::vec3 hi, float uvPerUnit);

// A column whose top edges are cut back: the top is inset by `inset` and the sides stop
// `drop` below it, joined by sloping faces. With `topMesh` set, the flat top goes there,
// textured at `topUvPerUnit` (0: the same as the sides).
void addBevelledColumn(Mesh& mesh, const std::vector<glm::vec2>& footprint, const std::vector<float>& topHeights,
                       float bottom, float uvPerUnit, float inset, float drop, Mesh* topMesh = nullptr,
                       float topUvPerUnit = 0.0f);

// Closed ellipsoid with smooth normals; u runs around `axis` (repeated `uRepeat` times), v from
// pole to pole.
void addEllipsoid(Mesh& mesh, glm::vec3 centre, glm::vec3 radii, int segments, int rings, float uRepeat = 1.0f,
                  float vRepeat = 1.0f);

// Closed tube along a path with a radius per path point and flat end caps; u runs around,
// v along the length at `vPerUnit`.
void addTube(Mesh& mesh, const std::vector<glm::vec3>& path, const std::vector<float>& radii, int sides,
             float vPerUnit);

// Writes every mesh as one `o` group with per-vertex v, vt and vn; fixed formatting keeps the
// file identical from run to run.
bool writeObj(const std::string& path, const Model& model, const std::string& header);

} // namespace gen
