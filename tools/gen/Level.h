#pragma once

#include <vector>

#include "tools/gen/Mesh.h"

namespace gen {

// Heights of the course, in world units with y up.
constexpr float startGroundHeight = 0.0f;
constexpr float waterHeight = -20.0f;
// The cheese stands 3 above its yard, which the course reaches at 17.4.
constexpr float cheeseTopHeight = 20.4f;

// A point of the walking route from the start to the cheese. `jump` marks the spot in front
// of a wall where the character jumps up onto the next ledge.
struct Waypoint {
    float x;
    float z;
    bool jump;
};

// The route in order, from the start point (0, 10, 0) to inside the goal area.
const std::vector<Waypoint>& courseRoute();

// The 19 meshes of models/level.obj, in the order of the level's texture table.
Model buildLevel();

}  // namespace gen
