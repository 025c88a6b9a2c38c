#include "objects/Object.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "objects/ClientArrays.h"
#include "render/ShaderProgram.h"

namespace {

constexpr float degreesToRadians = 3.1415927410125732f / 180.0f;

} // namespace

Object::Object(GLuint program, GLuint depthProgram, int numMeshes)
    : numMeshes(numMeshes), program(program), depthProgram(depthProgram)
{
    if (programLinked(program)) {
        modelLocation = glGetUniformLocation(program, "model");
        vertexLocation = glGetAttribLocation(program, "vertex");
        normalLocation = glGetAttribLocation(program, "normal");
        materialAmbientLocation = glGetUniformLocation(program, "material_ambient");
        materialDiffuseLocation = glGetUniformLocation(program, "material_diffuse");
        materialSpecularLocation = glGetUniformLocation(program, "material_specular");
    }
    if (programLinked(depthProgram)) {
        depthModelLocation = glGetUniformLocation(depthProgram, "model");
        depthVertexLocation = glGetAttribLocation(depthProgram, "vertex");
    }
}

void Object::drawDepth(bool useVertexArrays)
{
    glUniformMatrix4fv(depthModelLocation, 1, GL_FALSE, glm::value_ptr(modelMatrix));
    for (int i = 0; i < numMeshes; ++i)
        drawMeshDepth(i, useVertexArrays);
}

void Object::drawPositions(GLint modelUniform, bool useVertexArrays)
{
    for (int i = 0; i < numMeshes; ++i) {
        glUniformMatrix4fv(modelUniform, 1, GL_FALSE, glm::value_ptr(meshModelMatrix(i)));
        drawMeshDepth(i, useVertexArrays);
    }
}

const MeshFootprint* Object::meshFootprint(int i)
{
    if (footprints.empty()) {
        for (int mesh = 0; mesh < numMeshes; ++mesh) {
            bool held = static_cast<size_t>(mesh) < vertices.size() && static_cast<size_t>(mesh) < indices.size()
                && static_cast<size_t>(mesh) < numFaces.size();
            footprints.push_back(held ? ::meshFootprint(vertices[mesh], indices[mesh], 3 * size_t{numFaces[mesh]})
                                      : std::nullopt);
        }
    }
    if (i < 0 || static_cast<size_t>(i) >= footprints.size() || !footprints[i])
        return nullptr;
    return &*footprints[i];
}

void Object::drawMeshDepth(int i, bool useVertexArrays)
{
    GLsizei count = static_cast<GLsizei>(3 * numFaces[i]);
    if (useVertexArrays) {
        glBindVertexArray(depthVertexArrays[i].get());
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
        return;
    }
    ClientArrays& arrays = ClientArrays::instance();
    arrays.begin();
    arrays.attribute(depthVertexLocation, 4, vertices[i].data(), vertices[i].size() * sizeof(glm::vec4));
    arrays.drawTriangles(indices[i].data(), count);
    arrays.end();
}

void Object::updateModelMatrix()
{
    const glm::mat4 identity(1.0f);
    rotationXMatrix = glm::rotate(identity, glm::radians(rotation.x), glm::vec3(1.0f, 0.0f, 0.0f));
    rotationYMatrix = glm::rotate(identity, glm::radians(rotation.y), glm::vec3(0.0f, 1.0f, 0.0f));
    rotationZMatrix = glm::rotate(identity, glm::radians(rotation.z), glm::vec3(0.0f, 0.0f, 1.0f));
    translationMatrix = glm::translate(identity, position);
    scaleMatrix = glm::scale(identity, glm::vec3(scale));
    // Applied to a vertex: about z, then y, then x, then scale, then move into place.
    modelMatrix = translationMatrix * scaleMatrix * rotationXMatrix * rotationYMatrix * rotationZMatrix;
}

glm::vec3 Object::getDirection()
{
    glm::vec3 d(0.0f, 0.0f, -1.0f);
    float a = rotation.x * degreesToRadians;
    d = glm::vec3(d.x, d.y * std::cos(a) - d.z * std::sin(a), d.y * std::sin(a) + d.z * std::cos(a));
    a = rotation.y * degreesToRadians;
    d = glm::vec3(d.x * std::cos(a) + d.z * std::sin(a), d.y, -d.x * std::sin(a) + d.z * std::cos(a));
    a = rotation.z * degreesToRadians;
    d = glm::vec3(d.x * std::cos(a) - d.y * std::sin(a), d.x * std::sin(a) + d.y * std::cos(a), d.z);
    direction = d;
    return direction;
}
