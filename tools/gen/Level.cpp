#include "tools/gen/Level.h"

#include <string>

namespace gen {

namespace {

// Texture sizes in world units: a brick tile is 2 units (bricks of 0.5 by 0.25), a cobble
// tile 4, ground 8, cheese 8 and water 16.
constexpr float brickUv = 0.5f;
constexpr float stoneUv = 0.25f;
constexpr float groundUv = 0.125f;
constexpr float cheeseUv = 0.125f;
constexpr float waterUv = 1.0f / 16.0f;

// Every solid reaches just below the water, so nothing sticks out between the course and the
// water to catch a fall.
constexpr float footing = waterHeight - 1.0f;

// Walkway edges are bevelled: the character's box rests a little into the floor, and a
// vertical face reaching the walking surface would catch it like a wall as it steps over an
// edge or a seam between two pieces. The bevel is shallow enough (21 degrees) to stand on.
constexpr float bevelInset = 0.9f;
constexpr float bevelDrop = 0.35f;

// A slab of walkway from its top down to the footing.
void slab(Mesh& m, float x0, float x1, float z0, float z1, float top, float uv)
{
    addBevelledColumn(m, {{x1, z0}, {x1, z1}, {x0, z1}, {x0, z0}}, {top, top, top, top}, footing, uv, bevelInset,
                      bevelDrop);
}

// A low wall standing on a walkway: below eye height, so it guides and casts shadow.
void wall(Mesh& m, float x0, float x1, float z0, float z1, float base, float height)
{
    addBox(m, {x0, base, z0}, {x1, base + height, z1}, brickUv);
}

}  // namespace

const std::vector<Waypoint>& courseRoute()
{
    static const std::vector<Waypoint> route = {
        {0.0f, 160.0f, false},    // along the causeway and up the ramp to the first corner
        {97.0f, 160.0f, true},    // across the brick bridge to the foot of the first step
        {112.0f, 160.0f, false},  // up onto the stone landing
        {112.0f, 298.0f, false},  // north along the walled path and up the second ramp
        {235.0f, 298.0f, false},  // east over the second bridge
        {235.0f, 427.5f, true},   // drop to the lower path, on to the tower wall
        {235.0f, 545.0f, false},  // along the tower top into the cheese yard
    };
    return route;
}

Model buildLevel()
{
    Model model;
    model.meshes.resize(19);
    for (size_t i = 0; i < model.meshes.size(); ++i)
        model.meshes[i].name = "level_" + std::to_string(i);
    auto& m = model.meshes;

    // Where the route steps up, the higher piece starts 1.5 units inside the lower one and
    // rises 0.15 above it: the lower piece's edge is buried, so the character never has a
    // bare edge or a face at walking height under it, which would stop it.
    constexpr float rise = 0.15f;
    constexpr float overlap = 1.5f;
    const float causeway = startGroundHeight + rise;
    const float rampTop = causeway + 10.0f, corner = rampTop, bridge = corner + rise;
    const float landing = bridge + 3.0f, pathNorth = landing + rise;
    const float ramp2Top = pathNorth + 3.0f, bridge2 = ramp2Top + rise, eastCorner = bridge2 + rise;
    const float lowerPath = eastCorner - 3.0f, tower = lowerPath + 3.5f, yard = tower + rise;

    // 1: the start island and the cheese yard, earth.
    slab(m[1], -20, 20, -20, 20, startGroundHeight, groundUv);
    slab(m[1], 205, 275, 530 - overlap, 600, yard, groundUv);

    // 0: walls around the back of the start island, open towards the causeway.
    wall(m[0], -20, 20, -20, -19, 0, 3);
    wall(m[0], -20, -19, -19, 20, 0, 3);
    wall(m[0], 19, 20, -19, 20, 0, 3);

    // 2 to 9: stone walkways and landings.
    slab(m[2], -6, 6, 20 - overlap, 90, causeway, stoneUv);  // open on both sides
    // A ramp rising 10 over 60, gentle enough to climb even at a low frame rate. It starts
    // under the causeway and comes out of it.
    float rampFoot = causeway - 10.0f / 60.0f * overlap;
    addBevelledColumn(m[3], {{-6, 90 - overlap}, {6, 90 - overlap}, {6, 150}, {-6, 150}},
                      {rampFoot, rampFoot, rampTop, rampTop}, footing, stoneUv, bevelInset, bevelDrop);
    slab(m[4], -6, 18, 150 - overlap, 170, corner, stoneUv);
    slab(m[5], 100, 124, 146, 174, landing, stoneUv);  // 3 above the bridge: a jump
    slab(m[6], 106, 118, 174 - overlap, 270, pathNorth, stoneUv);
    slab(m[7], 106, 160, 290 - overlap, 306, ramp2Top, stoneUv);
    slab(m[8], 220 - overlap, 250, 286, 310, eastCorner, stoneUv);  // its north edge drops 3 to the lower path
    slab(m[9], 229, 241, 310, 430, lowerPath, stoneUv);   // long enough for any landing

    // 10: the first bridge, walled on its north side.
    slab(m[10], 18 - overlap, 100, 154, 166, bridge, brickUv);
    wall(m[10], 18, 100, 165, 166, bridge, 2.5f);
    // 11: walls of the landing and the path north. The far wall of the landing stops a jump
    // that would otherwise carry on over the edge at a low frame rate.
    wall(m[11], 123, 124, 146, 174, landing, 4.5f);
    wall(m[11], 100, 123, 146, 147, landing, 2.0f);
    wall(m[11], 117, 118, 174, 270, pathNorth, 2.0f);
    // 12: the second bridge, walled on both sides, and the wall of the east corner.
    slab(m[12], 160 - overlap, 220, 292, 304, bridge2, brickUv);
    wall(m[12], 160, 220, 292, 293, bridge2, 1.5f);
    wall(m[12], 160, 220, 303, 304, bridge2, 1.5f);
    wall(m[12], 249, 250, 286, 310, eastCorner, 2.5f);
    // 13: the tower path, 3.5 above the lower path.
    slab(m[13], 225, 245, 430, 530, tower, brickUv);

    // 14: water under everything, far enough out that every fall ends in it.
    for (float x = -160.0f; x < 420.0f; x += 20.0f)
        for (float z = -140.0f; z < 740.0f; z += 20.0f)
            m[14].polygon({{x, waterHeight, z}, {x + 20, waterHeight, z}, {x + 20, waterHeight, z + 20},
                           {x, waterHeight, z + 20}},
                          {{x * waterUv, z * waterUv},
                           {(x + 20) * waterUv, z * waterUv},
                           {(x + 20) * waterUv, (z + 20) * waterUv},
                           {x * waterUv, (z + 20) * waterUv}},
                          {0.0f, 1.0f, 0.0f});

    // 15: a second ramp, 3 over 20, up to the stone landing.
    float ramp2Foot = pathNorth + rise - 3.0f / 20.0f * overlap;
    addBevelledColumn(m[15], {{106, 270 - overlap}, {118, 270 - overlap}, {118, 290}, {106, 290}},
                      {ramp2Foot, ramp2Foot, ramp2Top, ramp2Top}, footing, stoneUv, bevelInset, bevelDrop);

    // 16: walls around the cheese yard, open where the tower path comes in.
    wall(m[16], 205, 225, 530, 531, yard, 3);
    wall(m[16], 245, 275, 530, 531, yard, 3);
    wall(m[16], 205, 275, 599, 600, yard, 3);
    wall(m[16], 205, 206, 531, 599, yard, 3);
    wall(m[16], 274, 275, 531, 599, yard, 3);

    // 17, 18: the cheese, a wedge whose top lies inside the goal area.
    addColumn(m[17], {{233, 546}, {247, 546}, {240, 572}}, {cheeseTopHeight, cheeseTopHeight, cheeseTopHeight},
              yard - 0.1f, cheeseUv, &m[18]);
    return model;
}

}  // namespace gen
