#pragma once

#include "objects/TexturedObject.h"

// An object lit through a normal map per mesh, with a tangent per vertex.
class BumpMappedObject : public TexturedObject {
public:
    BumpMappedObject(GLuint program, GLuint depthProgram, int numMeshes);

    void initBuffers() override;
    void draw(bool useVertexArrays) override;

    std::vector<const Texture*> normalTextures;
    std::vector<std::vector<glm::vec4>> tangents;
    GLint normalMapLocation = -1;
    GLint tangentLocation = -1;

protected:
    // Binds mesh i's two maps and draws it; the program is in use and "model" is set.
    void drawMesh(int i, bool useVertexArrays);
};
