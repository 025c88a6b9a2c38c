#include "app/Camera.h"

#include <gtest/gtest.h>

namespace {

void expectVec3(const glm::vec3& actual, float x, float y, float z, float tolerance)
{
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

} // namespace

TEST(Camera, FreshCameraLooksDownMinusZFromTheOrigin)
{
    Camera camera;
    expectVec3(camera.position, 0, 0, 0, 0);
    expectVec3(camera.target, 0, 0, -1, 0);
    // yaw 180: (sin 180, tan 0, cos 180) = (0, 0, -1); float pi makes sin about -8.7e-8.
    camera.updateTarget();
    expectVec3(camera.target, 0, 0, -1, 1e-6f);
}

TEST(Camera, ChangePitchScalesByFortyAndWrapsPastAFullTurn)
{
    Camera camera;
    camera.changePitch(0.25f); // 0.25 x 40 = 10 degrees
    EXPECT_FLOAT_EQ(camera.pitch, 10.0f);

    camera.pitch = 350.0f;
    camera.changePitch(0.5f); // 370 wraps to 10
    EXPECT_FLOAT_EQ(camera.pitch, 10.0f);

    camera.pitch = -350.0f;
    camera.changePitch(-0.5f); // -370 wraps to -10
    EXPECT_FLOAT_EQ(camera.pitch, -10.0f);

    camera.pitch = 360.0f;
    camera.changePitch(0.0f); // exactly 360 is inside the band and stays
    EXPECT_EQ(camera.pitch, 360.0f);

    camera.pitch = -360.0f;
    camera.changePitch(0.0f);
    EXPECT_EQ(camera.pitch, -360.0f);
}

TEST(Camera, UpdateTargetPlacesTheTargetAtYawAndPitchFromTheEye)
{
    Camera camera;
    camera.position = glm::vec3(10.0f, 2.0f, -4.0f);
    camera.yaw = 90.0f;   // towards +x
    camera.pitch = 45.0f; // tan 45 = 1
    camera.updateTarget();
    expectVec3(camera.target, 11.0f, 3.0f, -4.0f, 1e-6f);

    camera.yaw = 30.0f;    // sin 30 = 0.5, cos 30 = 0.8660254
    camera.pitch = -30.0f; // tan -30 = -0.5773503
    camera.updateTarget();
    expectVec3(camera.target, 10.5f, 2.0f - 0.5773503f, -4.0f + 0.8660254f, 1e-6f);
}

// Seen from the eye, what lies ahead is on -z, what lies to the right on +x, what lies above
// on +y. Looking along +x with y up, the right hand points to +z.
TEST(Camera, ViewPutsWhatIsAheadInFrontRightOnTheRightAndUpAbove)
{
    Camera camera;
    camera.position = glm::vec3(10.0f, 2.0f, -4.0f);
    camera.yaw = 90.0f;
    camera.pitch = 0.0f;
    camera.updateTarget();
    const glm::mat4 view = camera.viewMatrix();
    auto seen = [&](float x, float y, float z) { return glm::vec3(view * glm::vec4(x, y, z, 1.0f)); };
    expectVec3(seen(15.0f, 2.0f, -4.0f), 0, 0, -5, 1e-5f);
    expectVec3(seen(10.0f, 2.0f, -1.0f), 3, 0, 0, 1e-5f);
    expectVec3(seen(10.0f, 5.0f, -4.0f), 0, 3, 0, 1e-5f);
}
