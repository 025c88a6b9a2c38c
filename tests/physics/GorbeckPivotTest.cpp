#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include "physics/Gorbeck.h"
#include "tools/gen/Mouse.h"

// The walk animation turns each group about the joint where the asset generator built it:
// a joint off its pivot would tear the leg or tail away from the body as it swings.
TEST(GorbeckPivot, EachAnimatedGroupTurnsAboutTheGeneratorsJoint)
{
    struct Group {
        int mesh;
        glm::vec3 joint;
    };
    const Group groups[] = {
        {15, gen::tailRoot},     {16, gen::frontLegPivot}, {21, gen::frontLegPivot}, {25, gen::frontLegPivot},
        {26, gen::hindLegPivot}, {31, gen::hindLegPivot},  {35, gen::hindLegPivot},
    };
    Gorbeck mouse(0, 0, 38);
    mouse.updateModelMatrix(); // identity: model space is world space here
    mouse.swingPhase = 1.0f;
    mouse.wagPhase = 1.0f;
    for (const Group& group : groups) {
        glm::mat4 m = mouse.meshMatrix(group.mesh);
        glm::vec4 joint = m * glm::vec4(group.joint, 1.0f);
        EXPECT_NEAR(glm::distance(glm::vec3(joint), group.joint), 0.0f, 1e-3f) << "mesh " << group.mesh;
        // A point 50 below the joint does move: the group is turning.
        glm::vec3 below = group.joint + glm::vec3(0.0f, -50.0f, -50.0f);
        EXPECT_GT(glm::distance(glm::vec3(m * glm::vec4(below, 1.0f)), below), 1.0f) << "mesh " << group.mesh;
    }
}
