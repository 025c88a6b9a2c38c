#include "objects/ModelImport.h"

#include <cmath>
#include <optional>

#include <gtest/gtest.h>

namespace {

const std::vector<glm::vec4> corner = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
const std::vector<glm::vec2> alignedUv = {{0, 0}, {1, 0}, {0, 1}};
const std::vector<GLuint> oneTriangle = {0, 1, 2};
constexpr float r = 0.70710678f;

// A mesh and the tangent expected at each vertex (one entry: the same at every vertex).
// No value: no texture direction exists, and any finite unit tangent across the normal,
// with handedness +-1, will do.
struct Case {
    const char* what;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uv;
    std::vector<std::optional<glm::vec4>> expected;
    std::vector<glm::vec4> positions = corner;
    std::vector<GLuint> indices = oneTriangle;
};

std::vector<glm::vec3> all(int n, glm::vec3 normal)
{
    return std::vector<glm::vec3>(n, normal);
}

const Case cases[] = {
    {"texture-aligned triangle", all(3, {0, 0, 1}), alignedUv, {glm::vec4(1, 0, 0, 1)}},
    {"mirrored v gives left handedness", all(3, {0, 0, 1}), {{0, 0}, {1, 0}, {0, -1}}, {glm::vec4(1, 0, 0, -1)}},
    // u runs along +x but the normal leans towards x: (1, 0, 0) - n (n . x) = (0.5, 0, -0.5), normalised.
    {"tilted normal", all(3, glm::normalize(glm::vec3(1, 0, 1))), alignedUv, {glm::vec4(r, 0, -r, 1)}},
    // Files need not hold unit normals: a long one, and ones whose squares overflow or vanish.
    {"long normal", all(3, {5, 0, 5}), alignedUv, {glm::vec4(r, 0, -r, 1)}},
    {"huge normal", all(3, {2e38f, 0, 2e38f}), alignedUv, {glm::vec4(r, 0, -r, 1)}},
    {"tiny normal", all(3, {1e-30f, 0, 1e-30f}), alignedUv, {glm::vec4(r, 0, -r, 1)}},
    // s1 = 1e-20, t1 = t2 = 1, s2 = 0: the determinant is 1e-20 and the u direction
    // (e1 - e2) x 1e20 = (1, -1, 0) x 1e20 overflows a float when squared; the v direction
    // (0, 1, 0) makes w = +1.
    {"nearly collinear texture coordinates",
     all(3, {0, 0, 1}),
     {{0, 0}, {1e-20f, 1}, {0, 1}},
     {glm::vec4(r, -r, 0, 1)}},
    {"collinear texture coordinates", all(3, {0, 0, 1}), {{0, 0}, {1, 1}, {2, 2}}, {std::nullopt}},
    {"no texture coordinates", all(3, {0, 0, 1}), std::vector<glm::vec2>(3, glm::vec2(0.5f)), {std::nullopt}},
    {"tangent from u parallel to the normal", all(3, {1, 0, 0}), alignedUv, {std::nullopt}},
    // u increases along (1, 1, 1), the normal's own direction, given long and unit.
    {"u along a long normal",
     all(3, glm::vec3(15.875f)),
     alignedUv,
     {std::nullopt},
     {{0, 0, 0, 1}, {1, 1, 1, 1}, {1, -1, 0, 1}}},
    {"u along a unit normal",
     all(3, glm::vec3(0.57735026f)),
     alignedUv,
     {std::nullopt},
     {{0, 0, 0, 1}, {1, 1, 1, 1}, {1, -1, 0, 1}}},
    // Vertex 0 is shared: the first triangle maps u along +x, the second along +y; the sum
    // at vertex 0 is (1, 1, 0), normalised.
    {"shared vertex sums its triangles",
     all(5, {0, 0, 1}),
     {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {0, 1}},
     {glm::vec4(r, r, 0, 1), glm::vec4(1, 0, 0, 1), std::nullopt, glm::vec4(0, 1, 0, 1), std::nullopt},
     {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 1, 0, 1}, {-1, 0, 0, 1}},
     {0, 1, 2, 0, 3, 4}},
    // A degenerate triangle does not spoil a good one that shares its vertex 0.
    {"degenerate neighbour",
     all(5, {0, 0, 1}),
     {{0, 0}, {1, 0}, {0, 1}, {0, 0}, {0, 0}},
     {glm::vec4(1, 0, 0, 1), std::nullopt, std::nullopt, std::nullopt, std::nullopt},
     {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {2, 0, 0, 1}, {3, 0, 0, 1}},
     {0, 1, 2, 0, 3, 4}},
    {"vertex in no triangle",
     all(4, {0, 1, 0}),
     {{0, 0}, {1, 0}, {0, 1}, {0, 0}},
     {std::nullopt},
     {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {5, 5, 5, 1}}},
};

class Tangents : public testing::TestWithParam<Case> { };

// Checked in double so that the check neither overflows nor loses the small errors.
TEST_P(Tangents, AreUnitAcrossTheNormalAndFollowTheTextureDirection)
{
    const Case& c = GetParam();
    std::vector<glm::vec4> t = computeTangents(c.positions, c.normals, c.uv, c.indices);
    ASSERT_EQ(t.size(), c.positions.size());
    for (size_t i = 0; i < t.size(); ++i) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        const std::optional<glm::vec4>& expected = c.expected.size() == 1 ? c.expected[0] : c.expected[i];
        double tx = t[i].x, ty = t[i].y, tz = t[i].z, nx = c.normals[i].x, ny = c.normals[i].y, nz = c.normals[i].z;
        ASSERT_TRUE(std::isfinite(tx) && std::isfinite(ty) && std::isfinite(tz));
        EXPECT_NEAR(std::sqrt(tx * tx + ty * ty + tz * tz), 1.0, 1e-5) << tx << " " << ty << " " << tz;
        EXPECT_NEAR((tx * nx + ty * ny + tz * nz) / std::sqrt(nx * nx + ny * ny + nz * nz), 0.0, 1e-5);
        EXPECT_TRUE(t[i].w == 1.0f || t[i].w == -1.0f);
        if (expected) {
            for (int k = 0; k < 4; ++k)
                EXPECT_NEAR(t[i][k], (*expected)[k], 1e-6f) << "component " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Meshes, Tangents, testing::ValuesIn(cases), [](const testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* p = info.param.what; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p)))
            name += *p;
    return name;
});

} // namespace
