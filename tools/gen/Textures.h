#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/gen/Image.h"

namespace gen {

enum class SurfaceKind { Fur, Eye, Teeth, Tail, Whisker, Nose, Brick, Water, Stone, Ground, CheeseSide, CheeseTop };

// A colour map together with the height field it was painted from; the normal map is
// derived from the same field so bumps and colours line up.
struct Surface {
    Image colour;
    HeightField height;
    float depth = 1.0f; // pixels that a height of 1 stands out, for the normal map
};

Surface makeSurface(SurfaceKind kind);

// The depth of the cheese's holes at texture coordinates u, v in [0, 1), 0 (no hole) to 1
// (a hole's middle): round dents scattered over a `cells` x `cells` lattice that tiles,
// `density` the share of cells with a hole. `shade` receives the same depth for colouring.
float cheeseHoles(float u, float v, int cells, float density, uint32_t seed, float& shade);

// How many times smaller than painted a surface's maps are stored, on each side: no finer
// than the camera samples them. The mouse, always 11 units off, reads its 512-pixel maps at
// mipmap level 2.7 or coarser; along the recorded routes the 1024-pixel brick, water and
// stone are read at level 2.2, 2.0 and 1.25 or coarser, while the ground, which the camera
// sees closest, reaches level 0.28.
int storedShrink(SurfaceKind kind);

// A line of lettering on the end screens: its text and the row of the 1024-row picture its
// middle sits on.
struct EndScreenLine {
    const char* text;
    int middleRow;
};
// What the keys do on both end screens, under the outcome.
constexpr EndScreenLine endScreenHints[] = {{"Enter: play again", 780}, {"Esc: quit", 870}};

// Full-picture lettering on a background that matches the outcome, with the hints below it.
Image makeEndScreen(const std::string& text, bool won);

// The desktop icon, 128 x 128: a wedge of cheese over the water.
Image makeIcon();

// Writes every texture under dir/textures; false if any file could not be written.
bool writeTextures(const std::string& dir);

} // namespace gen
