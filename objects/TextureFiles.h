#pragma once

#include <string>
#include <vector>

// The game's 26 images in load order: the player's maps, the level's maps, then the win and
// lose images. The game loads them, the asset generator writes them, and the build reads
// the quoted names of this file to know the generator's outputs (tools/CMakeLists.txt), so
// this file names no other texture path.
inline const std::vector<std::string>& textureFiles()
{
    static const std::vector<std::string> names = {
        "textures/mouse_body_c.jpg",     "textures/mouse_body_n.jpg",  "textures/mouse_eye_c.jpg",
        "textures/mouse_eye_n.jpg",      "textures/mouse_teeth_c.jpg", "textures/mouse_teeth_n.jpg",
        "textures/mouse_tail_c.jpg",     "textures/mouse_tail_n.jpg",  "textures/mouse_nosehair_c.jpg",
        "textures/mouse_nosehair_n.jpg", "textures/mouse_nose_c.jpg",  "textures/mouse_nose_n.jpg",
        "textures/brick19.jpg",          "textures/brick19n2.jpg",     "textures/water_c.jpg",
        "textures/water_n.jpg",          "textures/stone_c.jpg",       "textures/stone_n.jpg",
        "textures/ground11.jpg",         "textures/ground11n.jpg",     "textures/cheeseSide.jpg",
        "textures/cheeseSide_n.jpg",     "textures/cheeseTop.jpg",     "textures/cheeseTop_n.jpg",
        "textures/youwin.jpg",           "textures/youlose.jpg",
    };
    return names;
}
