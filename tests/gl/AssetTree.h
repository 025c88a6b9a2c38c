#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include <glm/gtc/matrix_transform.hpp>

#include "app/Camera.h"
#include "app/Globals.h"
#include "app/Light.h"
#include "objects/ModelImport.h"
#include "objects/TextureLibrary.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "tests/ObjFiles.h"
#include "tests/gl/GLContext.h"

namespace gltest {

// The colour of image `index` of the texture list.
using ImageColours = std::function<Colour(std::size_t index)>;

// Every normal map flat (128, 128, 255), the other images `grey`, but those in `special`.
ImageColours greyImages(unsigned char grey, const std::map<std::size_t, Colour>& special = {});

// A run-time tree in a fresh temporary folder, laid out like the game's: the shipped
// shaders, the 26 images as 16 x 16 JPEGs of one colour each, and an empty models folder.
class AssetTree {
public:
    explicit AssetTree(const ImageColours& colours);

    // Makes the tree the working directory, where the game looks for its files; leave() goes back.
    void enter()
    {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
    }
    void leave() { std::filesystem::current_path(previous); }

    std::string dir;

private:
    std::filesystem::path previous;
};

// What start-up builds before the models, in the working directory: the light, the camera,
// the scene with its textures, programs and matrices. What it printed goes to `output`.
Scene* startScene(std::string* output = nullptr, RenderPath path = {});
// Deletes the scene with its objects and player, then the camera and the light.
void stopScene(Scene*& scene);

// Draws `object` alone, seen from 20 along +z looking at the origin, under a white ambient
// light only: each pixel it covers shows its colour map's texel unchanged.
void drawUnderWhiteAmbient(Scene& scene, Object& object);
// The window column of x on the plane z = 0 in that picture: the window shows
// 20 tan 17.5 x 4/3 = 8.409 either side of the middle.
inline int columnOf(float x)
{
    return static_cast<int>(400.0f + x / 8.409f * 400.0f);
}

} // namespace gltest
