// Feeds importMeshes arbitrary OBJ text through a file, as the game reads its models.
// It must either fail with an error or give consistent per-mesh arrays whose indices all
// name a vertex; the tangents are then computed from them as the game does, under ASan.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "objects/ModelImport.h"

namespace {

[[noreturn]] void fail(int mesh, const std::string& what)
{
    std::fprintf(stderr, "mesh %d: %s\n", mesh, what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/gorbeck-fuzz-mesh-" + std::to_string(getpid()) + ".obj";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const ImportedMeshes meshes = importMeshes(path);
    if (!meshes.error.empty())
        return 0;

    const size_t count = static_cast<size_t>(meshes.numMeshes);
    if (meshes.numMeshes <= 0)
        fail(-1, "no error but " + std::to_string(meshes.numMeshes) + " meshes");
    if (meshes.vertices.size() != count || meshes.normals.size() != count || meshes.texCoords.size() != count
        || meshes.indices.size() != count || meshes.numVertices.size() != count || meshes.numFaces.size() != count)
        fail(-1, "per-mesh arrays of different lengths");
    for (size_t m = 0; m < count; ++m) {
        const int mesh = static_cast<int>(m);
        const size_t vertexCount = meshes.numVertices[m];
        if (meshes.vertices[m].size() != vertexCount || meshes.normals[m].size() != vertexCount
            || meshes.texCoords[m].size() != vertexCount)
            fail(mesh, "vertex arrays differ from the vertex count " + std::to_string(vertexCount));
        if (meshes.indices[m].size() != 3 * static_cast<size_t>(meshes.numFaces[m]))
            fail(mesh,
                 std::to_string(meshes.indices[m].size()) + " indices for " + std::to_string(meshes.numFaces[m])
                     + " faces");
        for (GLuint index : meshes.indices[m])
            if (index >= vertexCount)
                fail(mesh, "index " + std::to_string(index) + " of " + std::to_string(vertexCount) + " vertices");
        for (const glm::vec4& v : meshes.vertices[m])
            if (v.w != 1.0f)
                fail(mesh, "a vertex with w != 1");
        const std::vector<glm::vec4> tangents
            = computeTangents(meshes.vertices[m], meshes.normals[m], meshes.texCoords[m], meshes.indices[m]);
        if (tangents.size() != vertexCount)
            fail(mesh, "tangents for a different number of vertices");
        for (const glm::vec4& t : tangents)
            if (!std::isfinite(t.x) || !std::isfinite(t.y) || !std::isfinite(t.z) || (t.w != 1.0f && t.w != -1.0f))
                fail(mesh, "a tangent that is not finite or has w != +-1");
    }
    return 0;
}
