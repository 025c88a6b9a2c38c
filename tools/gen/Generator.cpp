#include "tools/gen/Generator.h"

#include <filesystem>
#include <iostream>

#include "tools/gen/Image.h"
#include "tools/gen/Level.h"
#include "tools/gen/Mouse.h"
#include "tools/gen/Music.h"
#include "tools/gen/Textures.h"

namespace gen {

bool generateAssets(const std::string& dir)
{
    std::error_code error;
    for (const char* sub : {"textures", "models", "sounds", "icons"})
        std::filesystem::create_directories(std::filesystem::path(dir) / sub, error);

    bool ok = true;
    if (!writeTextures(dir)) {
        std::cerr << "could not write the textures under " << dir << "\n";
        ok = false;
    }
    Image icon = makeIcon();
    if (!writePng(dir + "/icons/" + iconFile, icon.width, icon.height, icon.toBytes())) {
        std::cerr << "could not write the icon\n";
        ok = false;
    }
    if (!writeObj(dir + "/models/level.obj", buildLevel(), "The Tale of Gorbeck: the level, world units, y up")) {
        std::cerr << "could not write the level model\n";
        ok = false;
    }
    if (!writeObj(dir + "/models/gorbeck.obj", buildMouse(), "The Tale of Gorbeck: Gorbeck the mouse, facing +z")) {
        std::cerr << "could not write the mouse model\n";
        ok = false;
    }
    if (!writeMp3(dir + "/sounds/gorbeck.mp3", renderSong(), musicSampleRate)) {
        std::cerr << "could not write the music\n";
        ok = false;
    }
    return ok;
}

} // namespace gen
