#pragma once

#include <string>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

// The flags the game imports its models with: tangents, joined vertices, triangles, flipped v.
constexpr unsigned modelImportFlags = 0x80000b;

inline std::string runtimePath(const std::string& relative)
{
    return std::string(GORBECK_RUNTIME_DIR) + "/" + relative;
}

inline const aiScene* importModel(Assimp::Importer& importer, const std::string& relative)
{
    return importer.ReadFile(runtimePath(relative), modelImportFlags);
}
