#pragma once

#include <string>

// Which way this run draws, decided once at start-up from the GL driver. A graphics card takes
// the plain path: one clear of the whole shadow map (a fast clear on a card), anisotropic
// filtering, and branches that skip work. A software renderer (llvmpipe and its kind, which
// draw on the CPU) takes the path that is fastest there: the map cleared only where the last
// pass drew, no anisotropy, and shaders that run both sides of a branch anyway.
enum class RendererChoice { fromDriver, hardware, software };

struct RenderPath {
    bool software = false;
    // What textures are filtered with: 1 is none.
    float anisotropy = 1.0f;
};

// The most anisotropy the hardware path asks for; cards offer 16 at little cost.
constexpr float largestAnisotropy = 16.0f;

// Whether a GL_RENDERER string names a renderer that draws on the CPU.
bool isSoftwareRenderer(const std::string& glRenderer);
// The path for `choice`, given the driver's GL_RENDERER and its largest anisotropy (1 or less
// where it has none).
RenderPath renderPathFor(RendererChoice choice, const std::string& glRenderer, float driverAnisotropy);
// The path for the current context.
RenderPath chooseRenderPath(RendererChoice choice);
// The choice that --renderer's value names, "hardware" or "software"; false for anything else.
bool rendererChoiceNamed(const std::string& name, RendererChoice& choice);
// "hardware" or "software".
const char* pathName(const RenderPath& path);
