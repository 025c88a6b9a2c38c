#include "objects/BumpMappedObject.h"

#include "objects/ClientArrays.h"
#include "render/ShaderProgram.h"

BumpMappedObject::BumpMappedObject(GLuint program, GLuint depthProgram, int numMeshes)
    : TexturedObject(program, depthProgram, numMeshes)
{
    if (programLinked(program)) {
        normalMapLocation = glGetUniformLocation(program, "normalmap");
        tangentLocation = glGetAttribLocation(program, "tangent");
    }
}

void BumpMappedObject::initBuffers()
{
    clearBuffers();
    for (int i = 0; i < numMeshes; ++i) {
        beginMeshBuffers(i);
        bufferIds[i].push_back(
            attributeBuffer(tangentLocation, 4, tangents[i].data(), sizeof(glm::vec4) * tangents[i].size()));
        endMeshBuffers(i);
    }
}

void BumpMappedObject::draw(bool useVertexArrays)
{
    beginDraw();
    for (int i = 0; i < numMeshes; ++i)
        drawMesh(i, useVertexArrays);
    glUseProgram(0);
}

void BumpMappedObject::drawMesh(int i, bool useVertexArrays)
{
    bindTexture(colorTextures[i], colorMapLocation);
    bindTexture(normalTextures[i], normalMapLocation);
    GLsizei count = static_cast<GLsizei>(3 * numFaces[i]);
    if (useVertexArrays) {
        glBindVertexArray(vertexArrays[i].get());
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
        return;
    }
    ClientArrays& arrays = ClientArrays::instance();
    arrays.begin();
    arrays.attribute(vertexLocation, 4, vertices[i].data(), vertices[i].size() * sizeof(glm::vec4));
    arrays.attribute(normalLocation, 3, normals[i].data(), normals[i].size() * sizeof(glm::vec3));
    arrays.attribute(texCoordLocation, 2, texCoords[i].data(), texCoords[i].size() * sizeof(glm::vec2));
    arrays.attribute(tangentLocation, 4, tangents[i].data(), tangents[i].size() * sizeof(glm::vec4));
    arrays.drawTriangles(indices[i].data(), count);
    arrays.end();
}
