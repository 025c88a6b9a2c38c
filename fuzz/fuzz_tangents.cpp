// Feeds computeTangents arbitrary meshes: vertex count, positions, normals, texture
// coordinates and in-range indices all come from the input. Every tangent must be finite
// with w = +-1, and where the normal has a direction, unit length and perpendicular to it.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "objects/ModelImport.h"

namespace {

// Raw bit patterns reach NaN, infinities and extremes; the small grid reaches the
// degenerate but ordinary meshes (shared points, collinear texture coordinates) often.
float nextFloat(FuzzedDataProvider& in, int style)
{
    switch (style) {
    case 0:
        return in.ConsumeIntegral<int8_t>() / 8.0f;
    case 1:
        return in.ConsumeFloatingPointInRange<float>(-1000.0f, 1000.0f);
    default: {
        uint32_t bits = in.ConsumeIntegral<uint32_t>();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    }
}

[[noreturn]] void fail(const char* what, size_t vertex, const glm::vec4& t, const glm::vec3& n)
{
    std::fprintf(stderr, "vertex %zu: %s: tangent (%.9g %.9g %.9g %.9g) normal (%.9g %.9g %.9g)\n", vertex, what, t.x,
                 t.y, t.z, t.w, n.x, n.y, n.z);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const int style = in.ConsumeIntegralInRange<int>(0, 2);
    const int normalStyle = in.ConsumeIntegralInRange<int>(0, 2);
    const size_t count = in.ConsumeIntegralInRange<size_t>(1, 64);
    const size_t triangles = in.ConsumeIntegralInRange<size_t>(0, 128);

    std::vector<glm::vec4> vertices(count);
    std::vector<glm::vec3> normals(count);
    std::vector<glm::vec2> texCoords(count);
    for (size_t i = 0; i < count; ++i) {
        vertices[i] = glm::vec4(nextFloat(in, style), nextFloat(in, style), nextFloat(in, style), 1.0f);
        normals[i] = glm::vec3(nextFloat(in, normalStyle), nextFloat(in, normalStyle), nextFloat(in, normalStyle));
        texCoords[i] = glm::vec2(nextFloat(in, style), nextFloat(in, style));
    }
    // The callers (the model import) only pass indices below the vertex count.
    std::vector<GLuint> indices(3 * triangles);
    for (GLuint& index : indices)
        index = in.ConsumeIntegralInRange<GLuint>(0, static_cast<GLuint>(count - 1));

    const std::vector<glm::vec4> tangents = computeTangents(vertices, normals, texCoords, indices);
    if (tangents.size() != count) {
        std::fprintf(stderr, "%zu tangents for %zu vertices\n", tangents.size(), count);
        std::abort();
    }
    for (size_t i = 0; i < count; ++i) {
        const glm::vec4& t = tangents[i];
        const glm::vec3& n = normals[i];
        if (!std::isfinite(t.x) || !std::isfinite(t.y) || !std::isfinite(t.z))
            fail("not finite", i, t, n);
        if (t.w != 1.0f && t.w != -1.0f)
            fail("w is not +-1", i, t, n);
        // In double, so that the check itself neither overflows nor underflows.
        const double tx = t.x, ty = t.y, tz = t.z, nx = n.x, ny = n.y, nz = n.z;
        const double normalLength = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (!std::isfinite(normalLength) || normalLength == 0.0)
            continue;
        if (std::fabs(std::sqrt(tx * tx + ty * ty + tz * tz) - 1.0) > 1e-3)
            fail("not unit length", i, t, n);
        if (std::fabs((tx * nx + ty * ny + tz * nz) / normalLength) > 1e-3)
            fail("not perpendicular to the normal", i, t, n);
    }
    return 0;
}
