#pragma once

#include "objects/BumpMappedObject.h"

// The player's mouse. While it walks, groups of its meshes turn about their joints: the
// body sways, the tail wags about its root and the front and hind legs swing in antiphase.
// Only the matrix sent per mesh changes; the vertex data never does.
class Gorbeck : public BumpMappedObject {
public:
    Gorbeck(GLuint program, GLuint depthProgram, int numMeshes);

    void draw(bool useVertexArrays) override;
    void drawDepth(bool useVertexArrays) override;
    glm::mat4 meshModelMatrix(int i) override { return meshMatrix(i); }

    // The matrix mesh i is drawn with: `modelMatrix` turned about its group's pivot.
    // Also stores it in the group's matrix field.
    glm::mat4 meshMatrix(int i);

    glm::mat4 swayMatrix{1.0f};
    glm::mat4 swingMatrix{1.0f};
    glm::mat4 wagMatrix{1.0f};
    float swayPhase = 0.0f;
    float swingPhase = 0.0f;
    float wagPhase = 0.0f;

private:
    static bool animated(int i) { return i >= 1 && i <= 35; }
};
