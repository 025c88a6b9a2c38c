#include "objects/ModelImport.h"

#include <cmath>
#include <iostream>

#include <assimp/scene.h>

#include "objects/SharedImporter.h"
#include "objects/TextureLibrary.h"
#include "physics/BulletPhysics.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"

namespace {

bool finite(const glm::vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// v scaled to unit length, or zero when it has no finite direction. Dividing by the largest
// component first keeps the squares from overflowing or vanishing for extreme lengths.
glm::vec3 direction(const glm::vec3& v)
{
    float largest = std::fmax(std::fabs(v.x), std::fmax(std::fabs(v.y), std::fabs(v.z)));
    if (!(largest > 0.0f) || !std::isfinite(largest))
        return glm::vec3(0.0f);
    glm::vec3 scaled = v / largest;
    return scaled / std::sqrt(glm::dot(scaled, scaled));
}

// Any unit vector perpendicular to n (or +x when n has no direction either).
glm::vec3 perpendicularTo(const glm::vec3& n)
{
    float length = glm::length(n);
    if (!(length > 0.0f) || !std::isfinite(length))
        return glm::vec3(1.0f, 0.0f, 0.0f);
    glm::vec3 unit = n / length;
    glm::vec3 axis = std::fabs(unit.x) < 0.9f ? glm::vec3(1.0f, 0.0f, 0.0f) : glm::vec3(0.0f, 1.0f, 0.0f);
    glm::vec3 t = axis - unit * glm::dot(unit, axis);
    return t / std::sqrt(glm::dot(t, t));
}

// Smooth normals from the triangles around each vertex, for a mesh the file gave none.
std::vector<glm::vec3> normalsFromFaces(const std::vector<glm::vec4>& vertices, const std::vector<GLuint>& indices)
{
    std::vector<glm::vec3> sum(vertices.size(), glm::vec3(0.0f));
    for (size_t f = 0; f + 2 < indices.size(); f += 3) {
        glm::vec3 a(vertices[indices[f]]), b(vertices[indices[f + 1]]), c(vertices[indices[f + 2]]);
        glm::vec3 n = glm::cross(b - a, c - a);
        for (int k = 0; k < 3; ++k)
            sum[indices[f + k]] += n;
    }
    for (glm::vec3& n : sum) {
        float length = glm::length(n);
        n = length > 0.0f ? n / length : glm::vec3(0.0f, 1.0f, 0.0f);
    }
    return sum;
}

// A table index names a file of the fixed list; when that file did not load the mesh gets
// the plain stand-in, never the image that moved into its place.
const Texture* textureFor(Scene& scene, int index, bool normalMap, const std::string& path, int mesh)
{
    TextureLibrary& library = *scene.textureLibrary;
    if (const Texture* texture = library.loaded(index))
        return texture;
    std::cout << "mesh " << mesh << " of " << path << ": texture " << index
              << " is not loaded; drawing it with a plain " << (normalMap ? "flat normal map" : "grey colour map")
              << std::endl;
    return normalMap ? &library.fallbackNormalMap() : &library.fallbackColorMap();
}

} // namespace

ImportedMeshes importMeshes(const std::string& path)
{
    ImportedMeshes meshes;
    const aiScene* imported = sharedImporter().ReadFile(path, importFlags);
    if (imported == nullptr) {
        meshes.error = sharedImporter().GetErrorString();
        return meshes;
    }
    if (imported->mMeshes == nullptr || imported->mNumMeshes == 0) {
        meshes.error = "the file holds no mesh";
        return meshes;
    }

    int count = static_cast<int>(imported->mNumMeshes);
    meshes.numMeshes = count;
    meshes.vertices.resize(count);
    meshes.normals.resize(count);
    meshes.texCoords.resize(count);
    meshes.indices.resize(count);
    meshes.numVertices.resize(count);
    meshes.numFaces.resize(count);
    for (int i = 0; i < count; ++i) {
        const aiMesh& mesh = *imported->mMeshes[i];
        unsigned n = mesh.mNumVertices;
        meshes.vertices[i].resize(n);
        meshes.normals[i].assign(n, glm::vec3(0.0f));
        meshes.texCoords[i].assign(n, glm::vec2(0.0f));
        for (unsigned j = 0; j < n; ++j) {
            const aiVector3D& p = mesh.mVertices[j];
            meshes.vertices[i][j] = glm::vec4(p.x, p.y, p.z, 1.0f);
            if (mesh.mNormals)
                meshes.normals[i][j] = glm::vec3(mesh.mNormals[j].x, mesh.mNormals[j].y, mesh.mNormals[j].z);
            if (mesh.mTextureCoords[0])
                meshes.texCoords[i][j] = glm::vec2(mesh.mTextureCoords[0][j].x, mesh.mTextureCoords[0][j].y);
        }
        // Points and lines survive triangulation as faces of one or two indices; they are
        // not drawn.
        unsigned skipped = 0;
        meshes.indices[i].reserve(3 * static_cast<size_t>(mesh.mNumFaces));
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3) {
                ++skipped;
                continue;
            }
            meshes.indices[i].insert(meshes.indices[i].end(), face.mIndices, face.mIndices + 3);
        }
        meshes.numVertices[i] = n;
        meshes.numFaces[i] = static_cast<unsigned>(meshes.indices[i].size() / 3);

        if (skipped > 0)
            std::cout << "mesh " << i << " of " << path << ": " << skipped
                      << " faces are not triangles and are left out" << std::endl;
        if (mesh.mNormals == nullptr) {
            std::cout << "mesh " << i << " of " << path << " has no normals; computing them from its faces"
                      << std::endl;
            meshes.normals[i] = normalsFromFaces(meshes.vertices[i], meshes.indices[i]);
        }
        if (mesh.mTextureCoords[0] == nullptr)
            std::cout << "mesh " << i << " of " << path << " has no texture coordinates; its textures show one colour"
                      << std::endl;
    }
    return meshes;
}

std::vector<glm::vec4> computeTangents(const std::vector<glm::vec4>& vertices, const std::vector<glm::vec3>& normals,
                                       const std::vector<glm::vec2>& texCoords, const std::vector<GLuint>& indices)
{
    const size_t count = vertices.size();
    std::vector<glm::vec3> tan1(count, glm::vec3(0.0f));
    std::vector<glm::vec3> tan2(count, glm::vec3(0.0f));
    std::vector<glm::vec4> tangents(count, glm::vec4(0.0f));

    for (size_t f = 0; f + 2 < indices.size(); f += 3) {
        GLuint i1 = indices[f], i2 = indices[f + 1], i3 = indices[f + 2];
        const glm::vec4 &p1 = vertices[i1], &p2 = vertices[i2], &p3 = vertices[i3];
        const glm::vec2 &w1 = texCoords[i1], &w2 = texCoords[i2], &w3 = texCoords[i3];
        float x1 = p2.x - p1.x, x2 = p3.x - p1.x;
        float y1 = p2.y - p1.y, y2 = p3.y - p1.y;
        float z1 = p2.z - p1.z, z2 = p3.z - p1.z;
        float s1 = w2.x - w1.x, s2 = w3.x - w1.x;
        float t1 = w2.y - w1.y, t2 = w3.y - w1.y;
        float r = 1.0f / (s1 * t2 - s2 * t1);
        glm::vec3 sdir((t2 * x1 - t1 * x2) * r, (t2 * y1 - t1 * y2) * r, (t2 * z1 - t1 * z2) * r);
        glm::vec3 tdir((s1 * x2 - s2 * x1) * r, (s1 * y2 - s2 * y1) * r, (s1 * z2 - s2 * z1) * r);
        // Collinear texture coordinates give no direction; such a triangle adds nothing
        // rather than poisoning its vertices with infinities.
        if (!finite(sdir) || !finite(tdir))
            continue;
        for (GLuint i : {i1, i2, i3}) {
            tan1[i] += sdir;
            tan2[i] += tdir;
        }
    }

    for (size_t a = 0; a < count; ++a) {
        // Files may hold normals of any length; the projection needs a unit one.
        const glm::vec3 n = direction(normals[a]);
        const glm::vec3 t = direction(tan1[a]);
        glm::vec3 projected = t - n * glm::dot(n, t);
        // Where t lies along n (or is zero) what is left is rounding noise with no direction.
        glm::vec3 tangent = glm::length(projected) > 1e-3f ? direction(projected) : perpendicularTo(n);
        // A second projection removes the part along n that rounding left in the first.
        tangent = direction(tangent - n * glm::dot(n, tangent));
        float w = glm::dot(glm::cross(n, t), tan2[a]) < 0.0f ? -1.0f : 1.0f;
        tangents[a] = glm::vec4(tangent, w);
    }
    return tangents;
}

void computeTangents(BumpMappedObject& object, int mesh)
{
    object.tangents[mesh]
        = computeTangents(object.vertices[mesh], object.normals[mesh], object.texCoords[mesh], object.indices[mesh]);
}

BumpMappedObject* createObject(Scene& scene, ImportedMeshes& meshes, const TexturePairs& texturePairs, bool isPlayer,
                               const std::string& path)
{
    int count = meshes.numMeshes;
    BumpMappedObject* object = isPlayer ? new Gorbeck(scene.bumpProgram, scene.shadowProgram, count)
                                        : new BumpMappedObject(scene.bumpProgram, scene.shadowProgram, count);
    object->vertices = std::move(meshes.vertices);
    object->normals = std::move(meshes.normals);
    object->texCoords = std::move(meshes.texCoords);
    object->indices = std::move(meshes.indices);
    object->numVertices = meshes.numVertices;
    object->numNormals = meshes.numVertices;
    object->numTexCoords = meshes.numVertices;
    object->numFaces = meshes.numFaces;
    object->materialAmbient = object->materialDiffuse = object->materialSpecular = glm::vec4(1.0f);

    if (static_cast<size_t>(count) > texturePairs.size())
        std::cout << path << " has " << count << " meshes but its texture table only " << texturePairs.size()
                  << "; the meshes past the table are drawn with plain textures" << std::endl;
    object->colorTextures.resize(count);
    object->normalTextures.resize(count);
    for (int i = 0; i < count; ++i) {
        std::pair<int, int> pair
            = static_cast<size_t>(i) < texturePairs.size() ? texturePairs[i] : std::pair<int, int>(-1, -1);
        // Past the table the mesh gets the fallbacks without a line of its own: one line said it.
        if (static_cast<size_t>(i) < texturePairs.size()) {
            object->colorTextures[i] = textureFor(scene, pair.first, false, path, i);
            object->normalTextures[i] = textureFor(scene, pair.second, true, path, i);
        } else {
            object->colorTextures[i] = &scene.textureLibrary->fallbackColorMap();
            object->normalTextures[i] = &scene.textureLibrary->fallbackNormalMap();
        }
    }

    object->tangents.resize(count);
    for (int i = 0; i < count; ++i)
        computeTangents(*object, i);
    object->initBuffers();
    // NOTE: every object registers a body that never collides (held by tests/gl/ModelImportGLTest.cpp,
    // tests/physics/BulletPhysicsTest.cpp).
    scene.physics->addStaticPlane(object->position, glm::vec3(0.0f));
    return object;
}

bool loadModel(Scene& scene, const std::string& path, const TexturePairs& texturePairs, bool isPlayer, float scale,
               glm::vec3 position)
{
    ImportedMeshes meshes = importMeshes(path);
    if (!meshes.error.empty()) {
        std::cerr << "gorbeck: cannot load the model " << path << ": " << meshes.error << std::endl;
        return false;
    }

    // NOTE: the summary lines word for word (held by tests/gl/ModelImportGLTest.cpp).
    std::cout << "numMeshes of " << path << ": " << meshes.numMeshes << std::endl;
    unsigned vertexCount = meshes.numVertices[0];
    unsigned faceCount = meshes.numFaces[0];
    // The counts and byte sizes of mesh 0: positions and "colours" are 4 floats a vertex,
    // normals 3, triangles 3 indices.
    // NOTE: every model's lines say "gorbeck", the level's too, and "numcol" counts colours no
    // model has (held by tests/gl/ModelImportGLTest.cpp, tests/e2e/test_startup_output.sh).
    const unsigned vec4Bytes = sizeof(glm::vec4), vec3Bytes = sizeof(glm::vec3), triangleBytes = 3 * sizeof(GLuint);
    std::cout << "gorbeck numver: " << vertexCount << " | " << vec4Bytes * vertexCount << std::endl;
    std::cout << "gorbeck numnor: " << vertexCount << " | " << vec3Bytes * vertexCount << std::endl;
    std::cout << "gorbeck numcol: " << vertexCount << " | " << vec4Bytes * vertexCount << std::endl;
    std::cout << "gorbeck numind: " << faceCount << " | " << triangleBytes * faceCount << std::endl;

    BumpMappedObject* object = createObject(scene, meshes, texturePairs, isPlayer, path);
    object->scale = scale;
    if (isPlayer) {
        scene.player = static_cast<Gorbeck*>(object);
        object->rotation.y -= 180.0f;
        scene.playerBodyIndex = scene.physics->addCharacter(position);
    } else {
        scene.objects.push_back(object);
    }
    return true;
}
