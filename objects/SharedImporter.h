#pragma once

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>

// Every model read of the run goes through this one importer: the drawn models and the
// level's collision mesh alike. The scene it returns stays owned by it until the next read,
// so readers copy out what they need straight away.
Assimp::Importer& sharedImporter();

// Triangles with joined vertices, tangents, and texture coordinates flipped for OpenGL.
constexpr unsigned importFlags
    = aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices | aiProcess_Triangulate | aiProcess_FlipUVs;
static_assert(importFlags == 0x80000bu);
