#include "physics/Gorbeck.h"

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

const glm::vec3 xAxis(1.0f, 0.0f, 0.0f);
const glm::vec3 yAxis(0.0f, 1.0f, 0.0f);

// Pivots in model units: the tail's root and the shoulders and hips the legs hang from.
const glm::vec3 tailRoot(0.0f, 0.0f, -100.0f);
const glm::vec3 frontLegPivot(0.0f, 0.0f, 30.0f);
const glm::vec3 hindLegPivot(0.0f, -10.0f, -40.0f);

constexpr float swayDegrees = 3.0f;
constexpr float wagDegrees = 5.0f;
constexpr float swingDegrees = 25.0f;

glm::mat4 turnAbout(const glm::mat4& m, const glm::vec3& pivot, float degrees, const glm::vec3& axis)
{
    glm::mat4 turned = glm::translate(m, pivot);
    turned = glm::rotate(turned, glm::radians(degrees), axis);
    return glm::translate(turned, -pivot);
}

} // namespace

Gorbeck::Gorbeck(GLuint program, GLuint depthProgram, int numMeshes)
    : BumpMappedObject(program, depthProgram, numMeshes)
{
}

glm::mat4 Gorbeck::meshMatrix(int i)
{
    if (i >= 1 && i <= 14) {
        swayMatrix = glm::rotate(modelMatrix, glm::radians(swayDegrees * std::sin(swayPhase)), xAxis);
        return swayMatrix;
    }
    if (i == 15) {
        wagMatrix = turnAbout(modelMatrix, tailRoot, wagDegrees * std::sin(wagPhase), yAxis);
        return wagMatrix;
    }
    if (i >= 16 && i <= 25) {
        swingMatrix = turnAbout(modelMatrix, frontLegPivot, swingDegrees * std::sin(swingPhase), xAxis);
        return swingMatrix;
    }
    if (i >= 26 && i <= 35) {
        // The hind legs swing the opposite way to the front legs.
        swingMatrix = turnAbout(modelMatrix, hindLegPivot, swingDegrees * std::sin(-swingPhase), xAxis);
        return swingMatrix;
    }
    return modelMatrix;
}

void Gorbeck::draw(bool useVertexArrays)
{
    beginDraw();
    for (int i = 0; i < numMeshes; ++i) {
        if (!animated(i)) {
            drawMesh(i, useVertexArrays);
            continue;
        }
        glUniformMatrix4fv(modelLocation, 1, GL_FALSE, glm::value_ptr(meshMatrix(i)));
        drawMesh(i, useVertexArrays);
        glUniformMatrix4fv(modelLocation, 1, GL_FALSE, glm::value_ptr(modelMatrix));
    }
    glUseProgram(0);
}

void Gorbeck::drawDepth(bool useVertexArrays)
{
    glUniformMatrix4fv(depthModelLocation, 1, GL_FALSE, glm::value_ptr(modelMatrix));
    for (int i = 0; i < numMeshes; ++i) {
        if (!animated(i)) {
            drawMeshDepth(i, useVertexArrays);
            continue;
        }
        glUniformMatrix4fv(depthModelLocation, 1, GL_FALSE, glm::value_ptr(meshMatrix(i)));
        drawMeshDepth(i, useVertexArrays);
        glUniformMatrix4fv(depthModelLocation, 1, GL_FALSE, glm::value_ptr(modelMatrix));
    }
}
