#include "objects/Object.h"

#include <cmath>
#include <utility>

#include <gtest/gtest.h>

#include "physics/Gorbeck.h"

// Objects built with program 0 make no GL call, so their maths runs without a context.

namespace {

void expectNear(const glm::vec4& actual, const glm::vec4& expected, float tolerance)
{
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(actual[k], expected[k], tolerance) << "component " << k;
}

} // namespace

TEST(Object, ModelMatrixTranslatesScalesThenRotatesInTheOrderZYX)
{
    Object object(0, 0, 0);
    object.position = glm::vec3(1.0f, 2.0f, 3.0f);
    object.scale = 2.0f;
    object.updateModelMatrix();
    // (1, 1, 1) scaled by 2 is (2, 2, 2), moved by (1, 2, 3): (3, 4, 5).
    expectNear(object.modelMatrix * glm::vec4(1, 1, 1, 1), glm::vec4(3, 4, 5, 1), 1e-6f);

    // Turned 90 degrees about y, +x goes to -z; scale 2 and move: (1, 2, 3) + (0, 0, -2).
    object.rotation = glm::vec3(0.0f, 90.0f, 0.0f);
    object.updateModelMatrix();
    expectNear(object.modelMatrix * glm::vec4(1, 0, 0, 1), glm::vec4(1, 2, 1, 1), 1e-5f);

    // z first, then x: +x about z by 90 is +y, then +y about x by 90 is +z.
    object.position = glm::vec3(0.0f);
    object.scale = 1.0f;
    object.rotation = glm::vec3(90.0f, 0.0f, 90.0f);
    object.updateModelMatrix();
    expectNear(object.modelMatrix * glm::vec4(1, 0, 0, 1), glm::vec4(0, 0, 1, 1), 1e-6f);
    // The parts are kept: the product is rebuilt from them.
    glm::mat4 product = object.translationMatrix * object.scaleMatrix * object.rotationXMatrix * object.rotationYMatrix
        * object.rotationZMatrix;
    EXPECT_EQ(product, object.modelMatrix);
}

TEST(Object, DirectionIsMinusZTurnedByTheRotationAngles)
{
    // Heading h: d = (-sin h, 0, -cos h); -180 is the player's starting heading, so it walks towards -z. About x by
    // 90: y' = y cos a - z sin a = 1, z' = y sin a + z cos a = 0.
    const std::pair<glm::vec3, glm::vec3> cases[] = {{glm::vec3(0), glm::vec3(0, 0, -1)},
                                                     {glm::vec3(0, 90, 0), glm::vec3(-1, 0, 0)},
                                                     {glm::vec3(0, -180, 0), glm::vec3(0, 0, 1)},
                                                     {glm::vec3(0, 30, 0), glm::vec3(-0.5f, 0, -0.8660254f)},
                                                     {glm::vec3(90, 0, 0), glm::vec3(0, 1, 0)}};
    for (const auto& [rotation, expected] : cases) {
        Object object(0, 0, 0);
        object.rotation = rotation;
        glm::vec3 d = object.getDirection();
        expectNear(glm::vec4(d, 0), glm::vec4(expected, 0), 1e-6f);
        EXPECT_EQ(object.direction, d);
    }
}

TEST(Gorbeck, RestPoseDrawsEveryMeshWithTheModelMatrix)
{
    Gorbeck mouse(0, 0, 38);
    mouse.position = glm::vec3(5.0f, 1.0f, -2.0f);
    mouse.scale = 0.01f;
    mouse.rotation.y = -180.0f;
    mouse.updateModelMatrix();
    for (int i = 0; i < 38; ++i)
        EXPECT_EQ(mouse.meshMatrix(i), mouse.modelMatrix) << "mesh " << i;
}

TEST(Gorbeck, TailWagsAboutItsRootWhichStaysInPlace)
{
    Gorbeck mouse(0, 0, 38);
    mouse.updateModelMatrix();   // identity: model space is world space here
    mouse.wagPhase = 1.5707964f; // sin = 1: 5 degrees about y
    glm::mat4 m = mouse.meshMatrix(15);
    expectNear(m * glm::vec4(0, 0, -100, 1), glm::vec4(0, 0, -100, 1), 1e-4f);
    // (0, 0, 0) lies 100 ahead of the root; turned 5 degrees about y it moves sideways by
    // 100 sin 5 = 8.7156 and back by 100 (1 - cos 5) = 0.3805.
    expectNear(m * glm::vec4(0, 0, 0, 1), glm::vec4(8.71557f, 0, -0.38053f, 1), 1e-3f);
    EXPECT_EQ(mouse.wagMatrix, m);
    // The neighbours are untouched by the wag.
    EXPECT_EQ(mouse.meshMatrix(0), mouse.modelMatrix);
    EXPECT_EQ(mouse.meshMatrix(36), mouse.modelMatrix);
}

TEST(Gorbeck, LegsSwingAboutTheirPivotsInAntiphase)
{
    Gorbeck mouse(0, 0, 38);
    mouse.updateModelMatrix();
    mouse.swingPhase = 1.5707964f; // 25 degrees
    const float s = std::sin(glm::radians(25.0f)), c = std::cos(glm::radians(25.0f));

    glm::mat4 front = mouse.meshMatrix(16);
    EXPECT_EQ(mouse.meshMatrix(25), front);
    expectNear(front * glm::vec4(0, 0, 30, 1), glm::vec4(0, 0, 30, 1), 1e-4f);
    // A front foot 80 below the shoulder, turned +25 degrees about x: y' = -80 cos, z' = 30 - 80 sin.
    expectNear(front * glm::vec4(0, -80, 30, 1), glm::vec4(0, -80 * c, 30 - 80 * s, 1), 1e-3f);

    glm::mat4 hind = mouse.meshMatrix(26);
    EXPECT_EQ(mouse.meshMatrix(35), hind);
    expectNear(hind * glm::vec4(0, -10, -40, 1), glm::vec4(0, -10, -40, 1), 1e-4f);
    // A hind foot 80 below the hip swings the other way: z' = -40 + 80 sin.
    expectNear(hind * glm::vec4(0, -90, -40, 1), glm::vec4(0, -10 - 80 * c, -40 + 80 * s, 1), 1e-3f);
}

TEST(Gorbeck, BodySwaysAboutTheModelOriginAndFollowsTheModelMatrix)
{
    Gorbeck mouse(0, 0, 38);
    mouse.position = glm::vec3(10.0f, 0.96f, 20.0f);
    mouse.scale = 0.01f;
    mouse.updateModelMatrix();
    mouse.swayPhase = 1.5707964f; // 3 degrees about x
    glm::mat4 m = mouse.meshMatrix(4);
    for (int i = 1; i <= 14; ++i)
        EXPECT_EQ(mouse.meshMatrix(i), m);
    // The nose tip at (0, 0, 100) drops by 100 sin 3 = 5.2336 model units, 0.052 world units.
    glm::vec4 tip = m * glm::vec4(0, 0, 100, 1);
    EXPECT_NEAR(tip.y, 0.96f - 0.052336f, 1e-5f);
    EXPECT_NEAR(tip.z, 20.0f + 0.99863f, 1e-5f);
}
