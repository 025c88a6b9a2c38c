#include "render/TextManager.h"

#include <iostream>
#include <utility>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "objects/TextureLibrary.h"
#include "render/Display.h"
#include "render/Screen.h"
#include "render/ShaderProgram.h"

namespace {

// Seen from 3 units away through a 35 degree lens, this quad spans the window's height
// and the middle 79 percent of its width. The texture's first row lies along the top edge.
constexpr GLfloat quadPositions[] = {
    -1.0f, -1.0f, 0.0f, 1.0f, -1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, -1.0f, 0.0f, 1.0f,
};
constexpr GLfloat quadTexCoords[] = {
    0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f,
};
// Both triangles are counter-clockwise as the viewer sees them, so culling keeps them.
constexpr GLuint quadIndices[] = {0, 2, 1, 0, 3, 2};

} // namespace

TextManager::TextManager(TextureLibrary* library) : textureLibrary(library)
{
    // GL refuses look-ups on a program that failed to build; its locations stay -1 and
    // the end screen then shows only the cleared window.
    programReady = buildShaderProgram("shader/text.vert", "shader/text.frag", program);
    if (programReady) {
        vertexLocation = glGetAttribLocation(program, "vertex");
        texCoordLocation = glGetAttribLocation(program, "texcoords_in");
        textureMapLocation = glGetUniformLocation(program, "texturemap");
        viewLocation = glGetUniformLocation(program, "view");
        projectionLocation = glGetUniformLocation(program, "projection");
    }
    projection = glm::perspective(glm::radians(35.0f), screen::aspect, 0.1f, 10.0f);
    view = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -3.0f));
    createQuad();
    const auto& files = TextureLibrary::fileNames();
    for (auto [index, outcome] : {std::pair<unsigned, const char*>(winImage, "win"), {loseImage, "lose"}})
        if (textureLibrary && textureLibrary->loaded(static_cast<int>(index)) == nullptr)
            std::cout << files[index] << " did not load: the " << outcome << " screen will be black" << std::endl;
}

void TextManager::createQuad()
{
    // A core profile has no client-side arrays: the quad lives in buffers made once.
    quadArray = makeVertexArray();
    glBindVertexArray(quadArray.get());
    for (BufferHandle& buffer : quadBuffers)
        buffer = makeBuffer();
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffers[0].get());
    glBufferData(GL_ARRAY_BUFFER, sizeof quadPositions, quadPositions, GL_STATIC_DRAW);
    if (vertexLocation >= 0) {
        glEnableVertexAttribArray(vertexLocation);
        glVertexAttribPointer(vertexLocation, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffers[1].get());
    glBufferData(GL_ARRAY_BUFFER, sizeof quadTexCoords, quadTexCoords, GL_STATIC_DRAW);
    if (texCoordLocation >= 0) {
        glEnableVertexAttribArray(texCoordLocation);
        glVertexAttribPointer(texCoordLocation, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quadBuffers[2].get());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof quadIndices, quadIndices, GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void TextManager::drawEndScreen(unsigned textureIndex)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const Texture* image = textureLibrary ? textureLibrary->loaded(static_cast<int>(textureIndex)) : nullptr;
    if (programReady && image) {
        const Texture& texture = *image;
        glUseProgram(program);
        glUniformMatrix4fv(viewLocation, 1, GL_FALSE, glm::value_ptr(view));
        glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, glm::value_ptr(projection));
        glActiveTexture(GL_TEXTURE0 + texture.unit);
        glBindTexture(GL_TEXTURE_2D, texture.id);
        glUniform1i(textureMapLocation, texture.unit);
        glBindVertexArray(quadArray.get());
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
        glUseProgram(0);
    }
    display::present();
}
