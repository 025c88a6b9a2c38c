#pragma once

#include <vector>

#include "tools/gen/Mesh.h"

namespace gen {

// Heights of the course, in world units with y up.
constexpr float startGroundHeight = 0.0f;
constexpr float waterHeight = -20.0f;
// The cheese stands 8 above the yard on top of its tower, a landmark along the last stretch.
constexpr float cheeseTopHeight = 27.9f;
// The middle of the cheese's top, inside the goal area.
constexpr float cheeseX = 240.0f;
constexpr float cheeseZ = 557.0f;

// A point of a walking route. `jump` marks the spot in front of a step where the character
// jumps up onto the next ledge.
struct Waypoint {
    float x;
    float z;
    bool jump;
};

// The course in order, from the start point (0, 10, 0) to inside the goal area.
const std::vector<Waypoint>& courseRoute();
// Down the first causeway, then a jump sideways over its kerb into the water.
const std::vector<Waypoint>& fallRoute();

// The 19 meshes of models/level.obj, in the order of the level's texture table.
Model buildLevel();

} // namespace gen
