#include "render/Scene.h"

#include <iostream>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "app/Camera.h"
#include "app/Globals.h"
#include "app/Light.h"
#include "objects/TextureLibrary.h"
#include "physics/BulletPhysics.h"
#include "render/Screen.h"
#include "render/ShaderProgram.h"
#include "render/TextManager.h"

namespace {

constexpr const char* lightingUniformNames[] = {
    "projection",
    "view",
    "shadowprojection",
    "bias",
    "lightview",
    "shadowmap",
    "lightposition",
    "cameraview",
    "light_ambientcomponent",
    "light_diffusecomponent",
    "light_specularcomponent",
    "specularcomponentfactor",
    "cameraposition",
};

void lookUp(GLuint program, GLint* locations, int count)
{
    bool linked = programLinked(program);
    for (int i = 0; i < count; ++i)
        locations[i] = linked ? glGetUniformLocation(program, lightingUniformNames[i]) : -1;
}

} // namespace

Scene::Scene(RenderPath path) : camera(::camera), light(::light), renderPath(path)
{
    colorUniforms.fill(-1);
    textureUniforms.fill(-1);
    bumpUniforms.fill(-1);
    shadowUniforms.fill(-1);
    textureLibrary = std::make_unique<TextureLibrary>();
    textureLibrary->setAnisotropy(path.anisotropy);
    textureLibrary->loadTextures();
    physics = std::make_unique<BulletPhysics>();
    textManager = new TextManager(textureLibrary.get());
}

Scene::Scene(std::unique_ptr<BulletPhysics> world)
    : camera(::camera), light(::light), textureLibrary(std::make_unique<TextureLibrary>()), physics(std::move(world))
{
    colorUniforms.fill(-1);
    textureUniforms.fill(-1);
    bumpUniforms.fill(-1);
    shadowUniforms.fill(-1);
}

// The objects and the text overlay live until the process ends; only what the scene owns goes.
Scene::~Scene() = default;

void Scene::loadShaders()
{
    // NOTE: the failure lines word for word, "shaderloading" as one (held by tests/e2e/fault_matrix.sh).
    // A software renderer runs both sides of every branch, so the programs take other ways there.
    const char* defines = renderPath.software ? "#define SOFTWARE_RENDERER\n" : "";
    if (!buildShaderProgram("shader/color.vert", "shader/color.frag", colorProgram, defines))
        std::cout << "colorShader: shaderloading not successful" << std::endl;
    if (!buildShaderProgram("shader/texture.vert", "shader/texture.frag", textureProgram, defines))
        std::cout << "textureShader: shaderloading not successful" << std::endl;
    if (!buildShaderProgram("shader/bump.vert", "shader/bump.frag", bumpProgram, defines))
        std::cout << "bumpShader: shaderloading not successful" << std::endl;
    if (!buildShaderProgram("shader/shadow.vert", "shader/shadow.frag", shadowProgram, defines))
        std::cout << "shadowShader: shaderloading not successful" << std::endl;
    colorReady = programLinked(colorProgram);
    textureReady = programLinked(textureProgram);
    shadowReady = programLinked(shadowProgram);
    bumpReady = programLinked(bumpProgram);
}

void Scene::lookUpUniforms()
{
    lookUp(colorProgram, colorUniforms.data(), 12);
    lookUp(textureProgram, textureUniforms.data(), 12);
    lookUp(bumpProgram, bumpUniforms.data(), 13);
    lookUp(shadowProgram, shadowUniforms.data(), 2);
}

void Scene::initMatrices()
{
    projection = glm::perspective(glm::radians(35.0f), screen::aspect, 5.0f, 250.0f);
    shadowProjection = glm::perspective(glm::radians(45.0f), screen::aspect, 195.0f, 220.0f);
    view = glm::mat4(1.0f);
}

void Scene::setViewMatrix(glm::mat4 m)
{
    view = m;
}

void Scene::updateLightView()
{
    // The light looks straight down, where the usual up (0, 1, 0) would be parallel to the
    // view direction; +x serves as up instead.
    lightView = glm::lookAt(light->position, light->target, glm::vec3(1.0f, 0.0f, 0.0f));
}

void Scene::uploadLightingUniforms()
{
    if (colorReady)
        uploadLightingUniforms(colorProgram, colorUniforms.data(), false);
    if (textureReady)
        uploadLightingUniforms(textureProgram, textureUniforms.data(), false);
    if (bumpReady)
        uploadLightingUniforms(bumpProgram, bumpUniforms.data(), true);
}

void Scene::uploadLightingUniforms(GLuint program, const GLint* uniforms, bool withCameraPosition)
{
    glUseProgram(program);
    glUniformMatrix4fv(uniforms[Projection], 1, GL_FALSE, glm::value_ptr(projection));
    glUniformMatrix4fv(uniforms[View], 1, GL_FALSE, glm::value_ptr(view));
    glUniform3fv(uniforms[CameraView], 1, glm::value_ptr(cameraView));
    glUniformMatrix4fv(uniforms[Bias], 1, GL_FALSE, glm::value_ptr(bias));
    glUniformMatrix4fv(uniforms[LightView], 1, GL_FALSE, glm::value_ptr(lightView));
    glUniformMatrix4fv(uniforms[ShadowProjection], 1, GL_FALSE, glm::value_ptr(shadowProjection));
    glUniform3fv(uniforms[LightPosition], 1, glm::value_ptr(light->position));
    glUniform4fv(uniforms[LightAmbient], 1, glm::value_ptr(light->ambient));
    glUniform4fv(uniforms[LightDiffuse], 1, glm::value_ptr(light->diffuse));
    glUniform4fv(uniforms[LightSpecular], 1, glm::value_ptr(light->specular));
    glUniform1f(uniforms[SpecularFactor], light->specularFactor);
    if (withCameraPosition) {
        glm::vec3 eye = camera->position;
        glUniform3fv(uniforms[CameraPosition], 1, glm::value_ptr(eye));
    }
    glActiveTexture(GL_TEXTURE0 + shadowMapUnit);
    glBindTexture(GL_TEXTURE_2D, shadowMapTexture);
    glBindSampler(shadowMapUnit, shadowSampler);
    glUniform1i(uniforms[ShadowMap], shadowMapUnit);
    glUseProgram(0);
}

void Scene::setWireframe(bool on)
{
    glPolygonMode(GL_FRONT_AND_BACK, on ? GL_LINE : GL_FILL);
}
