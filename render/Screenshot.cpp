#include "render/Screenshot.h"

#include <vector>

#include <GL/glew.h>
#include <IL/il.h>

bool saveScreenshot(const std::string& path, int width, int height, std::string& error)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    // GL reads the bottom row first, which is DevIL's lower-left origin.
    ilTexImage(width, height, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, pixels.data());
    ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT);
    ilEnable(IL_FILE_OVERWRITE);
    bool saved = ilSave(IL_PNG, path.c_str());
    ilBindImage(0);
    ilDeleteImage(image);
    if (!saved)
        error = "cannot write the screenshot " + path;
    return saved;
}
