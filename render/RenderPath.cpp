#include "render/RenderPath.h"

#include <algorithm>
#include <cctype>

#include <GL/glew.h>

bool isSoftwareRenderer(const std::string& glRenderer)
{
    std::string name = glRenderer;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    // Mesa's llvmpipe and softpipe, its older swrast, and the Windows and VirtualBox fallbacks.
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "software rasterizer", "gdi generic"})
        if (name.find(software) != std::string::npos)
            return true;
    return false;
}

RenderPath renderPathFor(RendererChoice choice, const std::string& glRenderer, float driverAnisotropy)
{
    RenderPath path;
    path.software = choice == RendererChoice::software
        || (choice == RendererChoice::fromDriver && isSoftwareRenderer(glRenderer));
    if (!path.software)
        path.anisotropy = std::clamp(driverAnisotropy, 1.0f, largestAnisotropy);
    return path;
}

RenderPath chooseRenderPath(RendererChoice choice)
{
    const GLubyte* renderer = glGetString(GL_RENDERER);
    GLfloat anisotropy = 1.0f;
    // Core in GL 4.6; before that the ARB and EXT extensions, with the same enum.
    if (GLEW_VERSION_4_6 || GLEW_ARB_texture_filter_anisotropic || GLEW_EXT_texture_filter_anisotropic)
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
    return renderPathFor(choice, renderer ? reinterpret_cast<const char*>(renderer) : "", anisotropy);
}

bool rendererChoiceNamed(const std::string& name, RendererChoice& choice)
{
    if (name != "hardware" && name != "software")
        return false;
    choice = name == "software" ? RendererChoice::software : RendererChoice::hardware;
    return true;
}

const char* pathName(const RenderPath& path)
{
    return path.software ? "software" : "hardware";
}
