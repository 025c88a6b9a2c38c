#include "tools/gen/Level.h"

#include <cmath>
#include <string>

#include <glm/geometric.hpp>

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

// Walkways are 18 wide. Kerbs along their edges stand higher than the character can step
// (0.35) and are brick red, so the edge reads against the water from far off.
constexpr float halfWidth = 9.0f;
constexpr float flatHalf = halfWidth - bevelInset;
constexpr float kerbThickness = 0.7f;
constexpr float kerbHeight = 0.6f;
constexpr float wallThickness = 1.0f;

// Where the route steps up, the higher piece starts 1.5 units inside the lower one and
// rises 0.15 above it: the lower piece's edge is buried, so the character never has a bare
// edge or a face at walking height under it, which would stop it.
constexpr float rise = 0.15f;
constexpr float overlap = 1.5f;

// The long stretch runs from the turning platform straight at the cheese tower, so the
// tower stands ahead on the skyline as soon as it is within sight.
const glm::vec2 stretchStart(36.0f, -68.0f);
const glm::vec2 stretchEnd(240.0f, 500.0f);

// Along-and-across coordinates of a straight piece of walkway: `s` runs along it, `l` across
// (positive to its right).
struct Line {
    glm::vec2 origin;
    glm::vec2 along;
    glm::vec2 across;

    Line(glm::vec2 from, glm::vec2 to) : origin(from), along(glm::normalize(to - from)), across(along.y, -along.x) { }
    glm::vec2 at(float s, float l) const { return origin + along * s + across * l; }
    // The rectangle from s0 to s1 and from l0 to l1.
    std::vector<glm::vec2> area(float s0, float s1, float l0, float l1) const
    {
        return {at(s0, l0), at(s1, l0), at(s1, l1), at(s0, l1)};
    }
};

// A walkway from s0 to s1 whose top rises from h0 to h1 (a ramp when they differ), down to
// the footing. Its flat top goes to `top`; sides and bevels go to `sides`.
void walkway(Mesh& top, Mesh& sides, const Line& line, float s0, float s1, float h0, float h1, float uv, float sideUv)
{
    addBevelledColumn(sides, line.area(s0, s1, -halfWidth, halfWidth), {h0, h1, h1, h0}, footing, sideUv, bevelInset,
                      bevelDrop, &top, uv);
}

// A low strip standing on a walkway's flat top at the across offsets l0 to l1, following
// its slope, buried a little into it.
void strip(Mesh& m, const Line& line, float s0, float s1, float l0, float l1, float h0, float h1, float height)
{
    addColumn(m, line.area(s0, s1, l0, l1), {h0 + height, h1 + height, h1 + height, h0 + height},
              std::fmin(h0, h1) - 0.3f, brickUv);
}

void kerbs(Mesh& m, const Line& line, float s0, float s1, float h0, float h1)
{
    strip(m, line, s0, s1, -flatHalf, -flatHalf + kerbThickness, h0, h1, kerbHeight);
    strip(m, line, s0, s1, flatHalf - kerbThickness, flatHalf, h0, h1, kerbHeight);
}

void walls(Mesh& m, const Line& line, float s0, float s1, float h, float height)
{
    strip(m, line, s0, s1, -flatHalf, -flatHalf + wallThickness, h, h, height);
    strip(m, line, s0, s1, flatHalf - wallThickness, flatHalf, h, h, height);
}

// An axis-aligned wall standing on a surface at `base`.
void wall(Mesh& m, float x0, float x1, float z0, float z1, float base, float height)
{
    addBox(m, {x0, base - 0.4f, z0}, {x1, base + height, z1}, brickUv);
}

// The heights and lengths of the course, along the long stretch from `stretchStart`.
struct Course {
    float causeway = startGroundHeight + rise; // the first causeway, heading south
    float platform = causeway + rise;          // where the course turns
    float stretch = platform + rise;           // the long stretch begins
    float ramp1Start = 60.0f, ramp1End = 120.0f;
    float bridge = stretch + 8.0f;
    float jumpAt = 210.0f; // the one step that needs a jump: 3 up
    float landing = bridge + 3.0f;
    float pathStart = 330.0f;
    float path = landing + rise;
    float ramp2Start = 410.0f, ramp2End = 470.0f;
    float tower = path + 8.0f;
    float gate = tower + rise; // the short piece north into the yard
    float yard = gate + rise;
};

constexpr Course course;
static_assert(course.yard + 8.0f - cheeseTopHeight < 1e-4f && cheeseTopHeight - course.yard - 8.0f < 1e-4f,
              "the cheese stands 8 above the yard");

} // namespace

const std::vector<Waypoint>& courseRoute()
{
    static const std::vector<Waypoint> route = [] {
        Line stretch(stretchStart, stretchEnd);
        glm::vec2 beforeJump = stretch.at(course.jumpAt - 2.5f, 0.0f);
        glm::vec2 afterJump = stretch.at(course.jumpAt + 30.0f, 0.0f);
        return std::vector<Waypoint>{
            {0.0f, -68.0f, false},                   // south down the causeway to the platform
            {stretchStart.x, stretchStart.y, false}, // east across it to the foot of the long stretch
            {beforeJump.x, beforeJump.y, true},      // up the ramp and over the bridge to the step
            {afterJump.x, afterJump.y, false},       // up onto the landing
            {stretchEnd.x, stretchEnd.y, false},     // up the second ramp and along the tower path
            {240.0f, 545.0f, false},                 // north through the gate into the cheese yard
        };
    }();
    return route;
}

const std::vector<Waypoint>& fallRoute()
{
    static const std::vector<Waypoint> route = {{0.0f, -35.0f, true}, {-45.0f, -37.0f, false}};
    return route;
}

Model buildLevel()
{
    Model model;
    model.meshes.resize(19);
    for (size_t i = 0; i < model.meshes.size(); ++i)
        model.meshes[i].name = "level_" + std::to_string(i);
    auto& m = model.meshes;
    const Course& c = course;

    // 1: the start island's earth, on stone sides (15). 0: its walls, open to the south
    // where the causeway leaves, which is the way the mouse and the camera face at the start.
    addBevelledColumn(m[15], {{20, -20}, {20, 20}, {-20, 20}, {-20, -20}}, {0, 0, 0, 0}, footing, stoneUv, bevelInset,
                      bevelDrop, &m[1], groundUv);
    wall(m[0], -19.1f, 19.1f, 18.1f, 19.1f, startGroundHeight, 2.0f);
    wall(m[0], -19.1f, -18.1f, -19.1f, 18.1f, startGroundHeight, 2.0f);
    wall(m[0], 18.1f, 19.1f, -19.1f, 18.1f, startGroundHeight, 2.0f);
    wall(m[0], -18.1f, -halfWidth, -19.1f, -18.1f, startGroundHeight, 2.0f);
    wall(m[0], halfWidth, 18.1f, -19.1f, -18.1f, startGroundHeight, 2.0f);

    // 2: the causeway south; 10: every kerb of the course.
    Line south({0.0f, -20.0f}, {0.0f, -80.0f});
    walkway(m[2], m[2], south, -overlap, 40.5f, c.causeway, c.causeway, stoneUv, stoneUv);
    kerbs(m[10], south, 0.0f, 40.0f - overlap, c.causeway, c.causeway);

    // 3: the platform where the course turns east, then north-north-east. Kerbs round it,
    // but where the causeway comes in and the long stretch leaves.
    Line east({-halfWidth, -68.0f}, {46.0f, -68.0f});
    walkway(m[3], m[3], east, 0.0f, 55.0f, c.platform, c.platform, stoneUv, stoneUv);
    strip(m[10], east, bevelInset, bevelInset + kerbThickness, -flatHalf, flatHalf, c.platform, c.platform, kerbHeight);
    strip(m[10], east, 55.0f - bevelInset - kerbThickness, 55.0f - bevelInset, -flatHalf, flatHalf, c.platform,
          c.platform, kerbHeight);
    strip(m[10], east, bevelInset, 55.0f - bevelInset, flatHalf - kerbThickness, flatHalf, c.platform, c.platform,
          kerbHeight);
    strip(m[10], east, 2.0f * halfWidth - bevelInset, 38.0f, -flatHalf, -flatHalf + kerbThickness, c.platform,
          c.platform, kerbHeight);

    // 4, 5: the long stretch's causeway and a ramp rising 8 over 60, gentle enough to climb
    // at a low frame rate. The ramp starts under the causeway and comes out of it.
    Line stretch(stretchStart, stretchEnd);
    walkway(m[4], m[4], stretch, 0.0f, c.ramp1Start, c.stretch, c.stretch, stoneUv, stoneUv);
    // The kerbs begin where the stretch leaves the platform.
    strip(m[10], stretch, 5.0f, c.ramp1Start, -flatHalf, -flatHalf + kerbThickness, c.stretch, c.stretch, kerbHeight);
    strip(m[10], stretch, 11.0f, c.ramp1Start, flatHalf - kerbThickness, flatHalf, c.stretch, c.stretch, kerbHeight);
    const float slope1 = (c.bridge - c.stretch) / (c.ramp1End - c.ramp1Start);
    const float ramp1Foot = c.stretch - slope1 * overlap;
    walkway(m[5], m[5], stretch, c.ramp1Start - overlap, c.ramp1End, ramp1Foot, c.bridge, stoneUv, stoneUv);
    kerbs(m[10], stretch, c.ramp1Start, c.ramp1End, c.stretch, c.bridge);

    // 11: the brick bridge, walled, up to the step.
    walkway(m[11], m[11], stretch, c.ramp1End - overlap, c.jumpAt, c.bridge, c.bridge, brickUv, brickUv);
    walls(m[11], stretch, c.ramp1End, c.jumpAt, c.bridge, 1.5f);

    // 6: the landing, 3 above the bridge: the one jump of the course. It reads as a step from
    // afar: a brick face (13) in front of the stone and a yellow band (18) along its top edge.
    walkway(m[6], m[6], stretch, c.jumpAt, c.pathStart, c.landing, c.landing, stoneUv, stoneUv);
    addColumn(m[13], stretch.area(c.jumpAt - 0.7f, c.jumpAt, -flatHalf + wallThickness, flatHalf - wallThickness),
              {c.landing - 0.05f, c.landing - 0.05f, c.landing - 0.05f, c.landing - 0.05f}, c.bridge - 0.3f, brickUv);
    addColumn(m[18], stretch.area(c.jumpAt + bevelInset, c.jumpAt + bevelInset + 1.2f, -flatHalf, flatHalf),
              {c.landing + 0.02f, c.landing + 0.02f, c.landing + 0.02f, c.landing + 0.02f}, c.landing - 0.3f, cheeseUv);
    kerbs(m[10], stretch, c.jumpAt + bevelInset + 1.2f, c.pathStart, c.landing, c.landing);

    // 7, 8: the stone path and a second ramp, 8 over 60, up to the height of the tower.
    walkway(m[7], m[7], stretch, c.pathStart - overlap, c.ramp2Start, c.path, c.path, stoneUv, stoneUv);
    kerbs(m[10], stretch, c.pathStart, c.ramp2Start, c.path, c.path);
    const float slope2 = (c.tower - c.path) / (c.ramp2End - c.ramp2Start);
    const float ramp2Foot = c.path - slope2 * overlap;
    walkway(m[8], m[8], stretch, c.ramp2Start - overlap, c.ramp2End, ramp2Foot, c.tower, stoneUv, stoneUv);
    kerbs(m[10], stretch, c.ramp2Start, c.ramp2End, c.path, c.tower);

    // 12: the tower path, brick and walled, to the foot of the cheese tower.
    const float stretchLength = glm::length(stretchEnd - stretchStart);
    walkway(m[12], m[12], stretch, c.ramp2End - overlap, stretchLength, c.tower, c.tower, brickUv, brickUv);
    walls(m[12], stretch, c.ramp2End, stretchLength - bevelInset, c.tower, 1.5f);

    // 9: the gate, a short piece north into the yard, kerbed from where the tower path's
    // walls end.
    Line north({240.0f, 497.0f}, {240.0f, 540.0f});
    walkway(m[9], m[9], north, 0.0f, 35.0f, c.gate, c.gate, stoneUv, stoneUv);
    const float gateKerbEnd = 32.6f;
    strip(m[10], north, 4.0f, gateKerbEnd, -flatHalf, -flatHalf + kerbThickness, c.gate, c.gate, kerbHeight);
    strip(m[10], north, bevelInset, gateKerbEnd, flatHalf - kerbThickness, flatHalf, c.gate, c.gate, kerbHeight);

    // 1 on 13: the cheese yard, earth on a brick tower rising from the water. 16: its walls,
    // open where the gate comes in.
    addBevelledColumn(m[13], {{275, 530.5f}, {275, 600}, {205, 600}, {205, 530.5f}}, {c.yard, c.yard, c.yard, c.yard},
                      footing, brickUv, bevelInset, bevelDrop, &m[1], groundUv);
    const float y0 = 531.4f, y1 = 599.1f, x0 = 205.9f, x1 = 274.1f;
    wall(m[16], x0, 240.0f - halfWidth, y0, y0 + 1.0f, c.yard, 2.5f);
    wall(m[16], 240.0f + halfWidth, x1, y0, y0 + 1.0f, c.yard, 2.5f);
    wall(m[16], x0, x1, y1 - 1.0f, y1, c.yard, 2.5f);
    wall(m[16], x0, x0 + 1.0f, y0 + 1.0f, y1 - 1.0f, c.yard, 2.5f);
    wall(m[16], x1 - 1.0f, x1, y0 + 1.0f, y1 - 1.0f, c.yard, 2.5f);

    // 17, 18: the cheese, a block inside the goal area. Its sides lean in at 45 degrees, so
    // the light from above reaches them and they read yellow, not in shadow. The mouse's box
    // reaches 2 either side of it east and west, so the block stands 4 inside the area's
    // sides (x 230 to 250): walking into any of its faces wins, no climb needed.
    addBevelledColumn(m[17], {{246, 548}, {246, 566}, {234, 566}, {234, 548}},
                      {cheeseTopHeight, cheeseTopHeight, cheeseTopHeight, cheeseTopHeight}, c.yard - 0.1f, cheeseUv,
                      3.0f, 3.0f, &m[18]);

    // 14: water under everything, far enough out that every fall ends in it.
    for (float x = -160.0f; x < 420.0f; x += 20.0f)
        for (float z = -220.0f; z < 740.0f; z += 20.0f)
            m[14].polygon({{x, waterHeight, z},
                           {x + 20, waterHeight, z},
                           {x + 20, waterHeight, z + 20},
                           {x, waterHeight, z + 20}},
                          {{x * waterUv, z * waterUv},
                           {(x + 20) * waterUv, z * waterUv},
                           {(x + 20) * waterUv, (z + 20) * waterUv},
                           {x * waterUv, (z + 20) * waterUv}},
                          {0.0f, 1.0f, 0.0f});
    return model;
}

} // namespace gen
