#include "tests/gl/AssetTree.h"

#include "objects/Object.h"

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
    std::filesystem::create_directories(dir + "/textures");
    std::filesystem::create_directories(dir + "/models");
    std::filesystem::copy(std::string(GORBECK_SOURCE_DIR) + "/shader", dir + "/shader");
    const std::vector<std::string>& names = TextureLibrary::fileNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        writeBlocks(dir + "/" + names[i], 1, {colours(i)});
}

Scene* startScene(std::string* output, RenderPath path)
{
    ::light = new Light();
    ::camera = new Camera();
    Scene* scene = nullptr;
    std::string printed = printedBy([&] {
        scene = new Scene(path);
        scene->loadShaders();
        scene->lookUpUniforms();
        scene->initMatrices();
    });
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
    }
    delete std::exchange(scene, nullptr);
    delete std::exchange(::camera, nullptr);
    delete std::exchange(::light, nullptr);
}

void drawUnderWhiteAmbient(Scene& scene, Object& object)
{
    ::light->ambient = glm::vec4(1.0f);
    ::light->diffuse = ::light->specular = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    scene.setViewMatrix(glm::lookAt(glm::vec3(0, 0, 20), glm::vec3(0), glm::vec3(0, 1, 0)));
    object.updateModelMatrix();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene.uploadLightingUniforms();
    object.draw(true);
}

} // namespace gltest
