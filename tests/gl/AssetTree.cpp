#include "tests/gl/AssetTree.h"

#include <gtest/gtest.h>

#include "app/Camera.h"
#include "app/Globals.h"
#include "app/Light.h"
#include "objects/Object.h"
#include "objects/TextureLibrary.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "tests/gl/GLContext.h"

namespace gltest {

ImageColours greyImages(unsigned char grey, const std::map<std::size_t, Colour>& special)
{
    return [grey, special](std::size_t i) -> Colour {
        if (auto found = special.find(i); found != special.end())
            return found->second;
        if (i < 24 && i % 2 == 1)
            return {128, 128, 255};
        return {grey, grey, grey};
    };
}

AssetTree::AssetTree(const ImageColours& colours) : dir(tempDir())
{
    namespace fs = std::filesystem;
    fs::create_directories(dir + "/textures");
    fs::create_directories(dir + "/models");
    fs::create_directories(dir + "/shader");
    for (const auto& entry : fs::directory_iterator(std::string(GORBECK_SOURCE_DIR) + "/shader"))
        fs::copy_file(entry.path(), dir + "/shader/" + entry.path().filename().string());
    const std::vector<std::string>& names = TextureLibrary::fileNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        Colour c = colours(i);
        writeSolidJpeg(dir + "/" + names[i], c[0], c[1], c[2]);
    }
}

void AssetTree::enter()
{
    previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
}

void AssetTree::leave()
{
    std::filesystem::current_path(previous);
}

Scene* startScene(std::string* output)
{
    ::light = new Light();
    ::camera = new Camera();
    testing::internal::CaptureStdout();
    Scene* scene = new Scene();
    scene->loadShaders();
    scene->lookUpUniforms();
    scene->initMatrices();
    std::string printed = testing::internal::GetCapturedStdout();
    if (output)
        *output = printed;
    return scene;
}

void stopScene(Scene*& scene)
{
    if (scene) {
        for (Object* object : scene->objects)
            delete object;
        delete scene->player;
        delete scene;
    }
    delete ::camera;
    delete ::light;
    scene = nullptr;
    ::camera = nullptr;
    ::light = nullptr;
}

} // namespace gltest
