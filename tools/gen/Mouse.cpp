#include "tools/gen/Mouse.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace gen {

namespace {

// The body, the largest part, gets 32 segments around and 20 rings from pole to pole. Every
// other part gets as many as keep its outline as close to a true ellipse as the body's (the
// gap between a segment and its arc is r (1 - cos(pi / segments))), and at least 8 around:
// a toe a few pixels wide drawn with as many triangles as the body only costs fragment work.
constexpr int bodySegments = 32;
constexpr int bodyRings = 20;
constexpr float bodyRadius = 92.0f;

void sphere(Mesh& m, glm::vec3 centre, glm::vec3 radii, float uRepeat = 2.0f, float vRepeat = 1.0f)
{
    const float pi = 3.14159265f;
    const float bodyGap = bodyRadius * (1.0f - std::cos(pi / bodySegments));
    float largest = std::max({radii.x, radii.y, radii.z});
    float needed = pi / std::acos(1.0f - std::min(bodyGap / largest, 1.0f));
    int segments = std::max(8, static_cast<int>(std::ceil(needed - 1.0e-3f)));
    int rings = std::max(5, (segments * bodyRings + bodySegments - 1) / bodySegments);
    addEllipsoid(m, centre, radii, segments, rings, uRepeat, vRepeat);
}

// One leg: two fur pieces hanging from near the pivot, then a pink paw with two toes. The
// top of the upper piece sits almost on the pivot so that swinging never pulls it out of the body.
void leg(Model& model, size_t first, float x, glm::vec3 pivot, float thigh, float forward)
{
    glm::vec3 top(x, pivot.y - 4.0f, pivot.z);
    glm::vec3 knee(x, -56.0f, pivot.z + 0.1f * forward);
    glm::vec3 ankle(x, -84.0f, pivot.z + 0.3f * forward);
    addTube(model.meshes[first], {top, 0.5f * (top + knee), knee}, {thigh, thigh * 0.9f, thigh * 0.6f}, 16, 0.02f);
    addTube(model.meshes[first + 1], {knee + glm::vec3(0, 4, 0), ankle}, {thigh * 0.62f, 6.0f}, 16, 0.02f);
    glm::vec3 paw(x, mouseFeetHeight + 6.0f, ankle.z + 8.0f);
    sphere(model.meshes[first + 2], paw, {9.0f, 6.0f, 14.0f});
    float toeZ = paw.z + 12.0f;
    sphere(model.meshes[first + 3], {x - 4.5f, mouseFeetHeight + 4.0f, toeZ}, {4.0f, 4.0f, 5.0f}, 1.0f);
    sphere(model.meshes[first + 4], {x + 4.5f, mouseFeetHeight + 4.0f, toeZ}, {4.0f, 4.0f, 5.0f}, 1.0f);
}

} // namespace

Model buildMouse()
{
    Model model;
    model.meshes.resize(38);
    for (size_t i = 0; i < model.meshes.size(); ++i)
        model.meshes[i].name = "gorbeck_" + std::to_string(i);
    auto& m = model.meshes;

    // 0 to 3, fur: body, head, muzzle and chest. The head parts sway a little against the
    // body, so they overlap it deeply.
    sphere(m[0], {0, -8, -12}, {52, 46, bodyRadius}, 3.0f, 2.0f);
    sphere(m[1], {0, 6, 80}, {32, 30, 50});
    sphere(m[2], {0, -4, 114}, {18, 16, 26});
    sphere(m[3], {0, -12, 48}, {40, 36, 40});

    // 4: the nose at the tip of the muzzle.
    sphere(m[4], {0, -2, 138}, {8, 7, 7}, 1.0f);

    // 5 to 10: whiskers, three a side, rooted inside the muzzle.
    const float rise[3] = {6.0f, 0.0f, -6.0f};
    for (int side = 0; side < 2; ++side) {
        float s = side == 0 ? 1.0f : -1.0f;
        for (int i = 0; i < 3; ++i) {
            glm::vec3 root(6.0f * s, -6.0f + 0.5f * rise[i], 124.0f);
            glm::vec3 mid(40.0f * s, -6.0f + rise[i], 124.0f - 2.0f * static_cast<float>(i));
            glm::vec3 tip(78.0f * s, -8.0f + 2.0f * rise[i], 114.0f - 6.0f * static_cast<float>(i));
            addTube(m[5 + side * 3 + i], {root, mid, tip}, {1.3f, 0.8f, 0.35f}, 6, 0.02f);
        }
    }

    // 11, 12: two incisors under the muzzle, their tops hidden in it.
    addBox(m[11], {-5.0f, -25.0f, 127.0f}, {-0.5f, -10.0f, 131.0f}, 1.0f / 20.0f);
    addBox(m[12], {0.5f, -25.0f, 127.0f}, {5.0f, -10.0f, 131.0f}, 1.0f / 20.0f);

    // 13, 14: eyes, bulging out of the head.
    sphere(m[13], {21, 18, 100}, {7, 7, 7});
    sphere(m[14], {-21, 18, 100}, {7, 7, 7});

    // 15: the tail, from inside the body at its root back and down along -z.
    addTube(m[15],
            {{0, -4, -80},
             tailRoot + glm::vec3(0, -6, 8),
             {0, -14, -150},
             {0, -26, -200},
             {0, -34, -250},
             {0, -36, -300},
             {0, -32, -345}},
            {9.0f, 8.5f, 7.0f, 5.5f, 4.2f, 3.0f, 1.6f}, 16, 0.01f);

    // 16 to 25: front legs, 26 to 35: hind legs (upper pieces fur, paws and toes pink).
    leg(model, 16, 30.0f, frontLegPivot, 11.0f, 10.0f);
    leg(model, 21, -30.0f, frontLegPivot, 11.0f, 10.0f);
    leg(model, 26, 30.0f, hindLegPivot, 13.0f, 20.0f);
    leg(model, 31, -30.0f, hindLegPivot, 13.0f, 20.0f);

    // 36, 37: round ears standing on the head.
    sphere(m[36], {18, 30, 68}, {16, 18, 4});
    sphere(m[37], {-18, 30, 68}, {16, 18, 4});
    return model;
}

} // namespace gen
