#pragma once

#include <GL/glew.h>

#include "render/GlHandle.h"

class Scene;

// The least work known to give a frame's shadow map and a picture of the same objects: the
// shadow pass itself; the same objects drawn once into the window in one colour; the swap. The
// benchmark draws it after every frame of play, from the same positions, so the frame's cost
// reads as a ratio to it.
class FloorFrame {
public:
    explicit FloorFrame(Scene& scene);
    bool ready() const { return static_cast<bool>(program); }

    void drawShadowMap();
    void drawCameraView();
    void present();

private:
    Scene& scene;
    ProgramHandle program;
    GLint modelLocation = -1;
    GLint viewLocation = -1;
    GLint projectionLocation = -1;
};
