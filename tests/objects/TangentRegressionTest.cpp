// Meshes that once gave tangents that were not unit length or not perpendicular to their
// normal: normals of any length (files need not hold unit ones), a tangent along the
// normal, and texture coordinates so close to collinear that the tangent's square overflows.
#include "objects/ModelImport.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

const std::vector<glm::vec4> corner = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
const std::vector<glm::vec2> alignedUv = {{0, 0}, {1, 0}, {0, 1}};
const std::vector<GLuint> oneTriangle = {0, 1, 2};

// Checked in double so that the check neither overflows nor loses the small errors.
void expectUnitPerpendicular(const glm::vec4& t, const glm::vec3& n)
{
    double tx = t.x, ty = t.y, tz = t.z, nx = n.x, ny = n.y, nz = n.z;
    double normalLength = std::sqrt(nx * nx + ny * ny + nz * nz);
    EXPECT_NEAR(std::sqrt(tx * tx + ty * ty + tz * tz), 1.0, 1e-5) << tx << " " << ty << " " << tz;
    EXPECT_NEAR((tx * nx + ty * ny + tz * nz) / normalLength, 0.0, 1e-5) << tx << " " << ty << " " << tz;
    EXPECT_TRUE(t.w == 1.0f || t.w == -1.0f);
}

} // namespace

TEST(TangentRegression, LongNormalIsTreatedAsItsDirection)
{
    // u runs along +x and the normal is (1, 0, 1) scaled by 5: the tangent is +x less its
    // part along (1, 0, 1) / sqrt 2, that is (0.5, 0, -0.5), normalised.
    std::vector<glm::vec3> normals(3, glm::vec3(5, 0, 5));
    std::vector<glm::vec4> t = computeTangents(corner, normals, alignedUv, oneTriangle);
    for (const glm::vec4& v : t) {
        EXPECT_NEAR(v.x, 0.70710678f, 1e-6f);
        EXPECT_NEAR(v.y, 0.0f, 1e-6f);
        EXPECT_NEAR(v.z, -0.70710678f, 1e-6f);
        EXPECT_EQ(v.w, 1.0f);
    }
}

TEST(TangentRegression, NormalsWhoseSquaresOverflowOrVanish)
{
    for (float scale : {2e38f, 1e-30f}) {
        std::vector<glm::vec3> normals(3, glm::vec3(scale, 0, scale));
        std::vector<glm::vec4> t = computeTangents(corner, normals, alignedUv, oneTriangle);
        for (const glm::vec4& v : t) {
            EXPECT_NEAR(v.x, 0.70710678f, 1e-6f) << scale;
            EXPECT_NEAR(v.z, -0.70710678f, 1e-6f) << scale;
            expectUnitPerpendicular(v, glm::vec3(1, 0, 1));
        }
    }
}

TEST(TangentRegression, TangentAlongTheNormalIsReplacedByAPerpendicularOne)
{
    // u increases along (1, 1, 1), the normal's own direction, given both long and unit.
    std::vector<glm::vec4> positions = {{0, 0, 0, 1}, {1, 1, 1, 1}, {1, -1, 0, 1}};
    for (float length : {15.875f, 0.57735026f}) {
        std::vector<glm::vec3> normals(3, glm::vec3(length));
        for (const glm::vec4& v : computeTangents(positions, normals, alignedUv, oneTriangle))
            expectUnitPerpendicular(v, normals[0]);
    }
}

TEST(TangentRegression, NearlyCollinearTextureCoordinatesStillGiveTheTangentsDirection)
{
    // s1 = 1e-20, t1 = t2 = 1, s2 = 0: the determinant is 1e-20 and the u direction is
    // (e1 - e2) x 1e20 = (1, -1, 0) x 1e20, whose square overflows a float. Its direction,
    // (1, -1, 0) / sqrt 2, is the answer; the v direction (0, 1, 0) makes w = +1.
    std::vector<glm::vec2> uv = {{0, 0}, {1e-20f, 1}, {0, 1}};
    std::vector<glm::vec3> normals(3, glm::vec3(0, 0, 1));
    for (const glm::vec4& v : computeTangents(corner, normals, uv, oneTriangle)) {
        EXPECT_NEAR(v.x, 0.70710678f, 1e-6f);
        EXPECT_NEAR(v.y, -0.70710678f, 1e-6f);
        EXPECT_NEAR(v.z, 0.0f, 1e-6f);
        EXPECT_EQ(v.w, 1.0f);
    }
}
