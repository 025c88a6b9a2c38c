#include "objects/TexturedObject.h"

#include "render/ShaderProgram.h"
#include <glm/gtc/type_ptr.hpp>

TexturedObject::TexturedObject(GLuint program, GLuint depthProgram, int numMeshes)
    : Object(program, depthProgram, numMeshes)
{
    if (programLinked(program)) {
        texCoordLocation = glGetAttribLocation(program, "tex_coords_in");
        colorMapLocation = glGetUniformLocation(program, "colormap");
    }
}

GLuint TexturedObject::attributeBuffer(GLint location, int components, const void* data, std::size_t bytes)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    if (location >= 0) {
        glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(location);
    }
    return buffer;
}

GLuint TexturedObject::indexBuffer(const std::vector<GLuint>& meshIndices)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(meshIndices.size() * sizeof(GLuint)),
                 meshIndices.data(), GL_STATIC_DRAW);
    return buffer;
}

void TexturedObject::createDepthVertexArray(int i, GLuint positionBuffer, GLuint elementBuffer)
{
    glGenVertexArrays(1, &depthVertexArrays[i]);
    glBindVertexArray(depthVertexArrays[i]);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    if (depthVertexLocation >= 0) {
        glVertexAttribPointer(depthVertexLocation, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(depthVertexLocation);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void TexturedObject::initBuffers()
{
    vertexArrays.assign(numMeshes, 0);
    depthVertexArrays.assign(numMeshes, 0);
    bufferIds.assign(numMeshes, {});
    for (int i = 0; i < numMeshes; ++i) {
        glGenVertexArrays(1, &vertexArrays[i]);
        glBindVertexArray(vertexArrays[i]);
        bufferIds[i] = {
            attributeBuffer(vertexLocation, 4, vertices[i].data(), sizeof(glm::vec4) * numVertices[i]),
            attributeBuffer(normalLocation, 3, normals[i].data(), sizeof(glm::vec3) * numNormals[i]),
            attributeBuffer(texCoordLocation, 2, texCoords[i].data(), sizeof(glm::vec2) * numTexCoords[i]),
            indexBuffer(indices[i]),
        };
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        createDepthVertexArray(i, bufferIds[i][0], bufferIds[i][3]);
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
        glBindVertexArray(vertexArrays[i]);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * numFaces[i]), GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
    }
    glUseProgram(0);
}
