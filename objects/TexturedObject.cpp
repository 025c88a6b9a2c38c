#include "objects/TexturedObject.h"

#include <glm/gtc/type_ptr.hpp>

#include "render/ShaderProgram.h"

TexturedObject::TexturedObject(GLuint program, GLuint depthProgram, int numMeshes)
    : Object(program, depthProgram, numMeshes)
{
    if (programLinked(program)) {
        texCoordLocation = glGetAttribLocation(program, "tex_coords_in");
        colorMapLocation = glGetUniformLocation(program, "colormap");
    }
}

BufferHandle TexturedObject::attributeBuffer(GLint location, int components, const void* data, std::size_t bytes)
{
    BufferHandle buffer = makeBuffer();
    glBindBuffer(GL_ARRAY_BUFFER, buffer.get());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    if (location >= 0) {
        glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(location);
    }
    return buffer;
}

BufferHandle TexturedObject::indexBuffer(const std::vector<GLuint>& meshIndices)
{
    BufferHandle buffer = makeBuffer();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer.get());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(meshIndices.size() * sizeof(GLuint)),
                 meshIndices.data(), GL_STATIC_DRAW);
    return buffer;
}

void TexturedObject::createDepthVertexArray(int i, GLuint positionBuffer, GLuint elementBuffer)
{
    depthVertexArrays[i] = makeVertexArray();
    glBindVertexArray(depthVertexArrays[i].get());
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    if (depthVertexLocation >= 0) {
        glVertexAttribPointer(depthVertexLocation, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(depthVertexLocation);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void TexturedObject::clearBuffers()
{
    vertexArrays.clear();
    depthVertexArrays.clear();
    bufferIds.clear();
    vertexArrays.resize(numMeshes);
    depthVertexArrays.resize(numMeshes);
    bufferIds.resize(numMeshes);
}

void TexturedObject::beginMeshBuffers(int i)
{
    vertexArrays[i] = makeVertexArray();
    glBindVertexArray(vertexArrays[i].get());
    std::vector<BufferHandle>& buffers = bufferIds[i];
    buffers.push_back(attributeBuffer(vertexLocation, 4, vertices[i].data(), sizeof(glm::vec4) * numVertices[i]));
    buffers.push_back(attributeBuffer(normalLocation, 3, normals[i].data(), sizeof(glm::vec3) * numNormals[i]));
    buffers.push_back(attributeBuffer(texCoordLocation, 2, texCoords[i].data(), sizeof(glm::vec2) * numTexCoords[i]));
}

void TexturedObject::endMeshBuffers(int i)
{
    std::vector<BufferHandle>& buffers = bufferIds[i];
    buffers.push_back(indexBuffer(indices[i]));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    createDepthVertexArray(i, buffers.front().get(), buffers.back().get());
}

void TexturedObject::initBuffers()
{
    clearBuffers();
    for (int i = 0; i < numMeshes; ++i) {
        beginMeshBuffers(i);
        endMeshBuffers(i);
    }
}

void TexturedObject::beginDraw()
{
    glUseProgram(program);
    glUniformMatrix4fv(modelLocation, 1, GL_FALSE, glm::value_ptr(modelMatrix));
    glUniform4fv(materialAmbientLocation, 1, glm::value_ptr(materialAmbient));
    glUniform4fv(materialDiffuseLocation, 1, glm::value_ptr(materialDiffuse));
    glUniform4fv(materialSpecularLocation, 1, glm::value_ptr(materialSpecular));
}

void TexturedObject::bindTexture(const Texture* texture, GLint samplerLocation)
{
    glActiveTexture(GL_TEXTURE0 + texture->unit);
    glBindTexture(GL_TEXTURE_2D, texture->id);
    glUniform1i(samplerLocation, texture->unit);
}

// Only the vertex-array path exists here, whatever the flag says.
void TexturedObject::draw(bool)
{
    beginDraw();
    for (int i = 0; i < numMeshes; ++i) {
        bindTexture(colorTextures[i], colorMapLocation);
        glBindVertexArray(vertexArrays[i].get());
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * numFaces[i]), GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
    }
    glUseProgram(0);
}
