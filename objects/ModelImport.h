#pragma once

#include <string>
#include <utility>
#include <vector>

#include <glm/glm.hpp>

#include "objects/BumpMappedObject.h"

class Scene;

// Per mesh of a model file: (colour texture index, normal-map texture index) in the
// texture library's load order.
using TexturePairs = std::vector<std::pair<int, int>>;

// The meshes of one model file as plain per-mesh arrays.
struct ImportedMeshes {
    int numMeshes = 0;
    std::vector<std::vector<glm::vec4>> vertices;
    std::vector<std::vector<glm::vec3>> normals;
    std::vector<std::vector<glm::vec2>> texCoords;
    std::vector<std::vector<GLuint>> indices;
    std::vector<unsigned> numVertices;
    std::vector<unsigned> numFaces;
    std::string error; // empty when the file was read and holds at least one mesh
};

// Turns one model file into a drawable object of the scene: the player (a Gorbeck, with
// the physics character) or a level object. Returns false, after one line on standard
// error naming the file and the reason, when the file cannot be read or holds no mesh.
bool loadModel(Scene& scene, const std::string& path, const TexturePairs& texturePairs, bool isPlayer, float scale,
               glm::vec3 position);

// Reads every mesh of a file. Meshes without normals or texture coordinates, and faces
// that are not triangles, are reported on standard output and made drawable.
ImportedMeshes importMeshes(const std::string& path);

BumpMappedObject* createObject(Scene& scene, ImportedMeshes& meshes, const TexturePairs& texturePairs, bool isPlayer,
                               const std::string& path);

void computeTangents(BumpMappedObject& object, int mesh);

// Per-vertex unit tangents with handedness in w, accumulated over the triangles. Where a
// triangle's texture coordinates are collinear or the tangent is parallel to the normal,
// the vertex still gets a finite unit tangent perpendicular to its normal.
std::vector<glm::vec4> computeTangents(const std::vector<glm::vec4>& vertices, const std::vector<glm::vec3>& normals,
                                       const std::vector<glm::vec2>& texCoords, const std::vector<GLuint>& indices);
