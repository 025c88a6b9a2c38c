#include "objects/ModelImport.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

bool finiteUnitPerpendicular(const glm::vec4& t, const glm::vec3& n)
{
    glm::vec3 v(t);
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::fabs(glm::length(v) - 1.0f) < 1e-5f
        && std::fabs(glm::dot(v, glm::normalize(n))) < 1e-5f && (t.w == 1.0f || t.w == -1.0f);
}

const std::vector<glm::vec4> corner = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
const std::vector<glm::vec3> facingZ(3, glm::vec3(0, 0, 1));
const std::vector<GLuint> oneTriangle = {0, 1, 2};

} // namespace

TEST(Tangents, TextureAlignedTriangleGetsPlusXWithRightHandedness)
{
    std::vector<glm::vec2> uv = {{0, 0}, {1, 0}, {0, 1}};
    std::vector<glm::vec4> t = computeTangents(corner, facingZ, uv, oneTriangle);
    ASSERT_EQ(t.size(), 3u);
    for (const glm::vec4& v : t)
        EXPECT_EQ(v, glm::vec4(1, 0, 0, 1));
}

TEST(Tangents, MirroredVGivesLeftHandedness)
{
    std::vector<glm::vec2> uv = {{0, 0}, {1, 0}, {0, -1}};
    for (const glm::vec4& v : computeTangents(corner, facingZ, uv, oneTriangle))
        EXPECT_EQ(v, glm::vec4(1, 0, 0, -1));
}

TEST(Tangents, SharedVertexSumsTheContributionsOfItsTriangles)
{
    // Two triangles share vertex 0. The first maps u along +x, the second along +y;
    // their sum at vertex 0 points along (1, 1, 0), normalised to (0.7071, 0.7071, 0).
    std::vector<glm::vec4> positions = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 1, 0, 1}, {-1, 0, 0, 1}};
    std::vector<glm::vec3> normals(5, glm::vec3(0, 0, 1));
    std::vector<glm::vec2> uv = {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {0, 1}};
    std::vector<GLuint> indices = {0, 1, 2, 0, 3, 4};
    std::vector<glm::vec4> t = computeTangents(positions, normals, uv, indices);
    EXPECT_NEAR(t[0].x, 0.70710678f, 1e-6f);
    EXPECT_NEAR(t[0].y, 0.70710678f, 1e-6f);
    EXPECT_NEAR(t[0].z, 0.0f, 1e-6f);
    EXPECT_EQ(t[1], glm::vec4(1, 0, 0, 1));
    EXPECT_EQ(t[3], glm::vec4(0, 1, 0, 1));
}

TEST(Tangents, TangentIsMadePerpendicularToATiltedNormal)
{
    // u runs along +x but the normal leans towards x: Gram-Schmidt removes that part.
    std::vector<glm::vec3> normals(3, glm::normalize(glm::vec3(1, 0, 1)));
    std::vector<glm::vec2> uv = {{0, 0}, {1, 0}, {0, 1}};
    std::vector<glm::vec4> t = computeTangents(corner, normals, uv, oneTriangle);
    // (1, 0, 0) - n (n . x) = (0.5, 0, -0.5), normalised (0.7071, 0, -0.7071).
    EXPECT_NEAR(t[0].x, 0.70710678f, 1e-6f);
    EXPECT_NEAR(t[0].z, -0.70710678f, 1e-6f);
}

TEST(Tangents, DegenerateCasesStayFiniteUnitAndPerpendicular)
{
    // Collinear texture coordinates: the formula divides by zero.
    std::vector<glm::vec2> line = {{0, 0}, {1, 1}, {2, 2}};
    for (const glm::vec4& v : computeTangents(corner, facingZ, line, oneTriangle))
        EXPECT_TRUE(finiteUnitPerpendicular(v, facingZ[0])) << v.x << " " << v.y << " " << v.z;

    // All texture coordinates equal (a mesh without any).
    std::vector<glm::vec2> point(3, glm::vec2(0.5f));
    for (const glm::vec4& v : computeTangents(corner, facingZ, point, oneTriangle))
        EXPECT_TRUE(finiteUnitPerpendicular(v, facingZ[0]));

    // The tangent from u is parallel to the normal.
    std::vector<glm::vec3> alongX(3, glm::vec3(1, 0, 0));
    std::vector<glm::vec2> uv = {{0, 0}, {1, 0}, {0, 1}};
    for (const glm::vec4& v : computeTangents(corner, alongX, uv, oneTriangle))
        EXPECT_TRUE(finiteUnitPerpendicular(v, alongX[0]));

    // A degenerate triangle does not spoil a good one that shares its vertex: vertex 0
    // keeps the good triangle's +x.
    std::vector<glm::vec4> positions = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {2, 0, 0, 1}, {3, 0, 0, 1}};
    std::vector<glm::vec3> normals(5, glm::vec3(0, 0, 1));
    std::vector<glm::vec2> mixed = {{0, 0}, {1, 0}, {0, 1}, {0, 0}, {0, 0}};
    std::vector<GLuint> indices = {0, 1, 2, 0, 3, 4};
    std::vector<glm::vec4> t = computeTangents(positions, normals, mixed, indices);
    EXPECT_EQ(t[0], glm::vec4(1, 0, 0, 1));
    EXPECT_TRUE(finiteUnitPerpendicular(t[3], normals[3]));
}

TEST(Tangents, VertexUsedByNoTriangleStillGetsAUsableTangent)
{
    std::vector<glm::vec4> positions = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {5, 5, 5, 1}};
    std::vector<glm::vec3> normals(4, glm::vec3(0, 1, 0));
    std::vector<glm::vec2> uv = {{0, 0}, {1, 0}, {0, 1}, {0, 0}};
    std::vector<glm::vec4> t = computeTangents(positions, normals, uv, oneTriangle);
    EXPECT_TRUE(finiteUnitPerpendicular(t[3], normals[3]));
}
