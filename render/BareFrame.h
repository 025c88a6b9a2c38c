#pragma once

#include <GL/glew.h>

// The least work a frame of this game must do: clear the 8192 x 8192 shadow depth target,
// draw one depth layer covering all of it, clear the 800 x 600 window and present. The
// benchmark times it beside the real frame, so the real frame's cost reads as a ratio.
class BareFrame {
public:
    explicit BareFrame(GLuint shadowFramebuffer);
    ~BareFrame();
    bool ready() const { return program != 0; }

    // Depth work into the shadow target only (timed apart as the floor's GPU pass).
    void drawDepthLayer();
    // The window's clear and the present.
    void finishFrame();

private:
    GLuint framebuffer;
    GLuint program = 0;
    GLuint vertexArray = 0;
};
