#pragma once

#include <array>
#include <memory>
#include <vector>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "render/RenderPath.h"
#include "render/ShadowRegion.h"

class BulletPhysics;
class Camera;
class Gorbeck;
class Light;
class Object;
class TextManager;
class TextureLibrary;

// Owns what is drawn and the state the lighting programs share: programs and their
// uniform locations, the camera and light matrices, the shadow map, the objects.
class Scene {
public:
    // Positions in a lighting program's uniform record.
    enum LightingUniform {
        Projection,
        View,
        ShadowProjection,
        Bias,
        LightView,
        ShadowMap,
        LightPosition,
        CameraView,
        LightAmbient,
        LightDiffuse,
        LightSpecular,
        SpecularFactor,
        CameraPosition,
    };

    // Loads the textures for `path`, which also decides how the shadow map is cleared and
    // which branches the lighting programs take.
    explicit Scene(RenderPath path = {});
    // A scene for running the game's rules without drawing: no GL call, no textures loaded,
    // no text overlay; the physics world is given.
    explicit Scene(std::unique_ptr<BulletPhysics> world);
    virtual ~Scene();

    void loadShaders();
    void lookUpUniforms();
    void initMatrices();
    void setViewMatrix(glm::mat4 m);
    void updateLightView();
    void uploadLightingUniforms();

    // Polygons as lines (true) or filled.
    void setWireframe(bool on);

    // The shadow map and the two passes are in RenderPasses.cpp; the rest is in Scene.cpp.
    void createShadowMap();
    void renderShadowPass();
    void renderCameraPass();

    static constexpr int shadowMapSize = 8192;

    Camera* camera = nullptr;
    Light* light = nullptr;
    GLuint colorProgram = 0;
    GLuint textureProgram = 0;
    GLuint bumpProgram = 0;
    GLuint shadowProgram = 0;
    std::unique_ptr<TextureLibrary> textureLibrary;
    std::unique_ptr<BulletPhysics> physics;
    std::vector<Object*> objects;
    Gorbeck* player = nullptr;
    GLuint shadowMapTexture = 0;
    GLuint shadowFramebuffer = 0;
    // How the lighting programs sample the shadow map: its filters and wrap, plus a depth
    // comparison with the fragment's own light-space depth (see createShadowSampler).
    GLuint shadowSampler = 0;
    int shadowMapUnit = 0;
    glm::mat4 bias{1.0f};
    glm::mat4 projection{1.0f};
    glm::mat4 view{1.0f};
    glm::mat4 lightView{1.0f};
    glm::mat4 shadowProjection{1.0f};
    glm::vec3 cameraView{0.0f};
    std::array<GLint, 12> colorUniforms;
    std::array<GLint, 12> textureUniforms;
    std::array<GLint, 13> bumpUniforms;
    std::array<GLint, 2> shadowUniforms;
    TextManager* textManager = nullptr;
    int playerBodyIndex = 0;
    RenderPath renderPath;
    // On the software path: where the shadow passes have drawn on the map since its last clear.
    ShadowRegion shadowRegion{shadowMapSize};

private:
    // Whether each of the four programs linked. Uploading to or drawing with one that did
    // not would only raise GL errors, so that work is skipped: the window still clears and
    // presents.
    bool colorReady = false;
    bool textureReady = false;
    bool shadowReady = false;
    bool bumpReady = false;

    void uploadLightingUniforms(GLuint program, const GLint* uniforms, bool withCameraPosition);
    // The shadow map cleared, then the player's and the level's depth from the light. The
    // framebuffer, viewport, culling and program of the pass are set.
    void drawShadowCasters();
};

// A sampler object for the shadow map's unit: linear filters, clamped to a border of depth 1,
// comparing the reference depth to the stored one (less or equal: lit). The texture keeps its
// own parameters; the sampler overrides them for the lighting programs only.
GLuint createShadowSampler();
