#pragma once

#include <vector>

#include "objects/Object.h"
#include "objects/Texture.h"

// An object whose meshes carry texture coordinates and a colour map each.
class TexturedObject : public Object {
public:
    TexturedObject(GLuint program, GLuint depthProgram, int numMeshes);

    void initBuffers() override;
    void draw(bool useVertexArrays) override;

    std::vector<std::vector<glm::vec2>> texCoords;
    std::vector<unsigned> numTexCoords;
    std::vector<const Texture*> colorTextures;
    GLint colorMapLocation = -1;
    GLint texCoordLocation = -1;

protected:
    // Selects the program and uploads "model" and the material colours.
    void beginDraw();
    void bindTexture(const Texture* texture, GLint samplerLocation);
    // Generates a buffer, fills it with `bytes` of `data` and points `location` at it.
    static BufferHandle attributeBuffer(GLint location, int components, const void* data, std::size_t bytes);
    static BufferHandle indexBuffer(const std::vector<GLuint>& meshIndices);
    // Empties the vertex array and buffer lists and makes room for one entry per mesh.
    void clearBuffers();
    // Mesh i's vertex array, bound, with its position, normal and texture coordinate buffers;
    // a subclass adds its own attributes before endMeshBuffers(i) adds the indices.
    void beginMeshBuffers(int i);
    void endMeshBuffers(int i);
    // The shadow pass's vertex array for a mesh: its position and index buffers.
    void createDepthVertexArray(int i, GLuint positionBuffer, GLuint elementBuffer);
};
