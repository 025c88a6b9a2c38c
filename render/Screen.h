#pragma once

// The window the game draws into, and what follows from its size.
namespace screen {

constexpr int width = 800;
constexpr int height = 600;
// The projections take the aspect ratio as a float: 4/3.
constexpr float aspect = static_cast<float>(width) / static_cast<float>(height);
// The point the mouse is put back to every frame, so the next frame reads its motion.
constexpr int centreX = width / 2;
constexpr int centreY = height / 2;

} // namespace screen
