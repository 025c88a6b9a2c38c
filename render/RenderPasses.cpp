#include "render/Scene.h"

#include <iostream>

#include <glm/gtc/type_ptr.hpp>

#include "app/Globals.h"
#include "objects/Object.h"
#include "objects/TextureLibrary.h"
#include "physics/Gorbeck.h"
#include "render/Display.h"
#include "render/Screen.h"

void Scene::createShadowMap()
{
    shadowMapUnit = textureLibrary->takeTextureUnit();
    // Maps the light's clip space [-1, 1] to texture space [0, 1] in x, y and depth.
    bias = glm::mat4(0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 1.0f);

    glGenTextures(1, &shadowMapTexture);
    glBindTexture(GL_TEXTURE_2D, shadowMapTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Look-ups outside the map must not wrap to its far side; the border's depth of 1.0
    // is farther than anything, so whatever lies outside the map is lit.
    const GLfloat border[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_CLAMP_TO_BORDER));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_CLAMP_TO_BORDER));
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, shadowMapSize, shadowMapSize, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenFramebuffers(1, &shadowFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowMapTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    // NOTE: word for word; no test holds it, as Mesa never leaves this framebuffer incomplete.
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cout << "GL_FRAMEBUFFER_COMPLETE failed, CANNOT use FBO" << std::endl;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    shadowSampler = createShadowSampler();
}

GLuint createShadowSampler()
{
    GLuint sampler = 0;
    glGenSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const GLfloat border[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
    glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
    glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    return sampler;
}

void Scene::renderShadowPass()
{
    glViewport(0, 0, shadowMapSize, shadowMapSize);
    // Only the faces turned away from the light write depth, which keeps lit surfaces
    // from shadowing themselves.
    glCullFace(GL_FRONT);
    glUseProgram(shadowReady ? shadowProgram : 0);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    drawShadowCasters();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glUseProgram(0);
}

void Scene::drawShadowCasters()
{
    // On a card one clear of the whole map is a fast clear. On the CPU a clear costs every
    // texel, and most of the map is never drawn on: only the cells the last pass drew on are
    // cleared, and this pass's cells are recorded for the next.
    bool recordRegion = renderPath.software;
    if (!recordRegion)
        glClear(GL_DEPTH_BUFFER_BIT);
    else
        shadowRegion.clear(shadowMapTexture);
    if (!shadowReady)
        return;
    glUniformMatrix4fv(shadowUniforms[View], 1, GL_FALSE, glm::value_ptr(lightView));
    glUniformMatrix4fv(shadowUniforms[Projection], 1, GL_FALSE, glm::value_ptr(shadowProjection));
    glm::mat4 lightClip = shadowProjection * lightView;
    if (recordRegion) {
        // The faces the rasteriser culls write nothing, so the region need not hold them.
        GLint cullFace = GL_BACK, frontFace = GL_CCW;
        glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
        glGetIntegerv(GL_FRONT_FACE, &frontFace);
        shadowRegion.setCulled(ShadowRegion::culledBy(glIsEnabled(GL_CULL_FACE), cullFace, frontFace));
    }
    auto draw = [&](Object& object) {
        object.drawDepth(useVertexArrays);
        if (recordRegion)
            shadowRegion.add(lightClip, object);
    };
    if (player)
        draw(*player);
    for (Object* object : objects)
        draw(*object);
}

void Scene::renderCameraPass()
{
    glViewport(0, 0, screen::width, screen::height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCullFace(GL_BACK);
    uploadLightingUniforms();
    if (bumpReady) {
        if (player)
            player->draw(useVertexArrays);
        for (Object* object : objects)
            object->draw(useVertexArrays);
    }
    display::present();
}
