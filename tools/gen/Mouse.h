#pragma once

#include <glm/vec3.hpp>

#include "tools/gen/Mesh.h"

namespace gen {

// Pivots of the animated groups, in model units (the model is drawn at scale 0.01).
constexpr glm::vec3 frontLegPivot(0.0f, 0.0f, 30.0f);
constexpr glm::vec3 hindLegPivot(0.0f, -10.0f, -40.0f);
constexpr glm::vec3 tailRoot(0.0f, 0.0f, -100.0f);
// The controller's box rests 0.96 above the floor, so the feet are 96 model units below its centre.
constexpr float mouseFeetHeight = -96.0f;

// The 38 meshes of models/gorbeck.obj, facing +z, in the order of the player's texture table.
Model buildMouse();

} // namespace gen
