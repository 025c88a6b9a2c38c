#pragma once

#include <optional>
#include <vector>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "objects/MeshBounds.h"
#include "render/GlHandle.h"

// A drawable model: the meshes of one model file, the matrices that place it, its
// material and the GL objects and locations it draws with.
class Object {
public:
    // A program that did not build or link has no locations; they stay -1.
    Object(GLuint program, GLuint depthProgram, int numMeshes);
    virtual ~Object() = default;

    virtual void initBuffers() { }
    virtual void draw(bool) { }
    virtual void drawDepth(bool useVertexArrays);
    // The matrix that places mesh i; every mesh has the object's own unless a subclass moves it.
    virtual glm::mat4 meshModelMatrix(int) { return modelMatrix; }
    // Every mesh's positions through the program in use, each with meshModelMatrix(i) sent to
    // `modelUniform`: the triangles of drawDepth, for another program that reads "vertex" at
    // the depth program's location.
    void drawPositions(GLint modelUniform, bool useVertexArrays);
    // What bounds where mesh i's triangles land (see meshFootprint), worked out once from the
    // arrays in memory, which never change once imported; null when they do not say where the
    // mesh is.
    const MeshFootprint* meshFootprint(int i);

    void updateModelMatrix();
    glm::vec3 getDirection();

    glm::mat4 modelMatrix{1.0f};
    glm::mat4 rotationXMatrix{1.0f};
    glm::mat4 rotationYMatrix{1.0f};
    glm::mat4 rotationZMatrix{1.0f};
    std::vector<std::vector<glm::vec4>> vertices;
    std::vector<std::vector<glm::vec3>> normals;
    glm::mat4 translationMatrix{1.0f};
    glm::mat4 scaleMatrix{1.0f};
    glm::vec3 direction{0.0f};
    glm::vec4 materialAmbient{0.0f};
    glm::vec4 materialDiffuse{0.0f};
    glm::vec4 materialSpecular{0.0f};
    int numMeshes = 0;
    glm::vec3 position{0.0f};
    glm::vec3 rotation{0.0f};
    float scale = 1.0f;
    std::vector<std::vector<GLuint>> indices;
    std::vector<unsigned> numFaces;
    std::vector<unsigned> numVertices;
    std::vector<unsigned> numNormals;
    std::vector<VertexArrayHandle> vertexArrays;
    std::vector<VertexArrayHandle> depthVertexArrays;
    // Every buffer mesh i's vertex arrays read, positions first and indices last.
    std::vector<std::vector<BufferHandle>> bufferIds;
    GLuint program = 0;
    GLuint depthProgram = 0;
    GLint modelLocation = -1;
    GLint vertexLocation = -1;
    GLint normalLocation = -1;
    GLint materialAmbientLocation = -1;
    GLint materialDiffuseLocation = -1;
    GLint materialSpecularLocation = -1;
    GLint depthModelLocation = -1;
    GLint depthVertexLocation = -1;

private:
    std::vector<std::optional<MeshFootprint>> footprints;

protected:
    // Draws mesh i's positions for the shadow pass; the caller has set "model".
    void drawMeshDepth(int i, bool useVertexArrays);
};
