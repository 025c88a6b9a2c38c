#include "tools/gen/Mesh.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include <glm/geometric.hpp>

namespace gen {

namespace {

constexpr float twoPi = 6.28318530718f;

} // namespace

uint32_t Mesh::add(const Vertex& v)
{
    vertices.push_back(v);
    return static_cast<uint32_t>(vertices.size() - 1);
}

void Mesh::triangle(uint32_t a, uint32_t b, uint32_t c, glm::vec3 outward)
{
    glm::vec3 pa = vertices[a].position, pb = vertices[b].position, pc = vertices[c].position;
    if (glm::dot(glm::cross(pb - pa, pc - pa), outward) < 0.0f)
        std::swap(b, c);
    indices.push_back(a);
    indices.push_back(b);
    indices.push_back(c);
}

void Mesh::polygon(const std::vector<glm::vec3>& corners, const std::vector<glm::vec2>& uvs, glm::vec3 normal)
{
    std::vector<uint32_t> ids;
    for (size_t i = 0; i < corners.size(); ++i)
        ids.push_back(add({corners[i], normal, uvs[i]}));
    for (size_t i = 1; i + 1 < ids.size(); ++i)
        triangle(ids[0], ids[i], ids[i + 1], normal);
}

void addColumn(Mesh& mesh, const std::vector<glm::vec2>& footprint, const std::vector<float>& topHeights, float bottom,
               float uvPerUnit, Mesh* topMesh)
{
    const size_t n = footprint.size();
    std::vector<glm::vec3> top, base;
    std::vector<glm::vec2> topUv, baseUv;
    for (size_t i = 0; i < n; ++i) {
        top.emplace_back(footprint[i].x, topHeights[i], footprint[i].y);
        base.emplace_back(footprint[i].x, bottom, footprint[i].y);
        topUv.push_back(footprint[i] * uvPerUnit);
        baseUv.push_back(footprint[i] * uvPerUnit);
    }
    glm::vec3 up = glm::normalize(glm::cross(top[2] - top[0], top[1] - top[0]));
    if (up.y < 0.0f)
        up = -up;
    (topMesh ? *topMesh : mesh).polygon(top, topUv, up);
    mesh.polygon(base, baseUv, glm::vec3(0.0f, -1.0f, 0.0f));

    glm::vec2 centre(0.0f);
    for (const glm::vec2& p : footprint)
        centre += p / static_cast<float>(n);
    float along = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        size_t j = (i + 1) % n;
        glm::vec2 edge = footprint[j] - footprint[i];
        float length = glm::length(edge);
        glm::vec3 outward = glm::normalize(glm::vec3(edge.y, 0.0f, -edge.x));
        glm::vec2 mid = 0.5f * (footprint[i] + footprint[j]);
        if (glm::dot(glm::vec2(outward.x, outward.z), mid - centre) < 0.0f)
            outward = -outward;
        float u0 = along * uvPerUnit, u1 = (along + length) * uvPerUnit;
        mesh.polygon({base[i], base[j], top[j], top[i]},
                     {{u0, bottom * uvPerUnit},
                      {u1, bottom * uvPerUnit},
                      {u1, top[j].y * uvPerUnit},
                      {u0, top[i].y * uvPerUnit}},
                     outward);
        along += length;
    }
}

void addBox(Mesh& mesh, glm::vec3 lo, glm::vec3 hi, float uvPerUnit)
{
    addColumn(mesh, {{lo.x, lo.z}, {hi.x, lo.z}, {hi.x, hi.z}, {lo.x, hi.z}}, {hi.y, hi.y, hi.y, hi.y}, lo.y,
              uvPerUnit);
}

void addBevelledColumn(Mesh& mesh, const std::vector<glm::vec2>& footprint, const std::vector<float>& topHeights,
                       float bottom, float uvPerUnit, float inset, float drop, Mesh* topMesh, float topUvPerUnit)
{
    const size_t n = footprint.size();
    // The top plane y = a x + b z + c through the first three corners.
    glm::vec3 p0(footprint[0].x, topHeights[0], footprint[0].y), p1(footprint[1].x, topHeights[1], footprint[1].y),
        p2(footprint[2].x, topHeights[2], footprint[2].y);
    glm::vec3 normal = glm::cross(p1 - p0, p2 - p0);
    auto heightAt = [&](glm::vec2 q) { return p0.y - (normal.x * (q.x - p0.x) + normal.z * (q.y - p0.z)) / normal.y; };

    std::vector<float> lowered;
    for (float h : topHeights)
        lowered.push_back(h - drop);
    // The column's top and the frustum's base would meet inside the solid: leave both out.
    Mesh inner, column;
    addColumn(column, footprint, lowered, bottom, uvPerUnit, &inner);
    uint32_t offset = static_cast<uint32_t>(mesh.vertices.size());
    mesh.vertices.insert(mesh.vertices.end(), column.vertices.begin(), column.vertices.end());
    for (uint32_t i : column.indices)
        mesh.indices.push_back(i + offset);

    glm::vec2 centre(0.0f);
    for (const glm::vec2& p : footprint)
        centre += p / static_cast<float>(n);
    // Inset the footprint by moving every edge inwards and meeting neighbours.
    std::vector<glm::vec2> corners;
    for (size_t i = 0; i < n; ++i) {
        glm::vec2 prev = footprint[(i + n - 1) % n], cur = footprint[i], next = footprint[(i + 1) % n];
        auto inward = [&](glm::vec2 a, glm::vec2 b) {
            glm::vec2 d = glm::normalize(b - a), m(-d.y, d.x);
            return glm::dot(m, centre - a) > 0.0f ? m : -m;
        };
        glm::vec2 m1 = inward(prev, cur), m2 = inward(cur, next);
        glm::vec2 d1 = glm::normalize(cur - prev), d2 = glm::normalize(next - cur);
        // Solve cur + m1 bevel + d1 s = cur + m2 bevel + d2 t for the corner.
        glm::vec2 rhs = (m2 - m1) * inset;
        float det = d1.x * (-d2.y) - d1.y * (-d2.x);
        float s = (rhs.x * (-d2.y) - rhs.y * (-d2.x)) / det;
        corners.push_back(cur + m1 * inset + d1 * s);
    }

    std::vector<glm::vec3> top, base;
    std::vector<glm::vec2> topUv;
    for (size_t i = 0; i < n; ++i) {
        top.emplace_back(corners[i].x, heightAt(corners[i]), corners[i].y);
        base.emplace_back(footprint[i].x, lowered[i], footprint[i].y);
        topUv.push_back(corners[i] * (topUvPerUnit > 0.0f ? topUvPerUnit : uvPerUnit));
    }
    glm::vec3 up = glm::normalize(normal.y < 0.0f ? -normal : normal);
    (topMesh ? *topMesh : mesh).polygon(top, topUv, up);
    for (size_t i = 0; i < n; ++i) {
        size_t j = (i + 1) % n;
        glm::vec3 face = glm::cross(base[j] - base[i], top[i] - base[i]);
        glm::vec2 mid = 0.5f * (footprint[i] + footprint[j]);
        if (glm::dot(glm::vec2(face.x, face.z), mid - centre) < 0.0f)
            face = -face;
        face = glm::normalize(face);
        // Coordinates in the face's own plane keep the texture at its real size on the slope.
        glm::vec3 dir = glm::normalize(base[j] - base[i]);
        glm::vec3 across = glm::normalize(glm::cross(face, dir));
        auto uvOf = [&](glm::vec3 p) {
            return glm::vec2(glm::dot(p - base[i], dir), glm::dot(p - base[i], across)) * uvPerUnit;
        };
        mesh.polygon({base[i], base[j], top[j], top[i]}, {uvOf(base[i]), uvOf(base[j]), uvOf(top[j]), uvOf(top[i])},
                     face);
    }
}

void addEllipsoid(Mesh& mesh, glm::vec3 centre, glm::vec3 radii, int segments, int rings, float uRepeat, float vRepeat)
{
    uint32_t first = static_cast<uint32_t>(mesh.vertices.size());
    for (int r = 0; r <= rings; ++r) {
        float theta = static_cast<float>(r) / static_cast<float>(rings) * (twoPi * 0.5f);
        for (int s = 0; s <= segments; ++s) {
            // Pole vertices sit half a segment over so that no pole triangle has three texture
            // coordinates in one line.
            float fs = static_cast<float>(s) + ((r == 0 || r == rings) ? 0.5f : 0.0f);
            float phi = fs / static_cast<float>(segments) * twoPi;
            glm::vec3 unit(std::sin(theta) * std::sin(phi), std::cos(theta), std::sin(theta) * std::cos(phi));
            glm::vec3 p = centre + unit * radii;
            glm::vec3 n = glm::normalize(unit / radii);
            glm::vec2 uv(fs / static_cast<float>(segments) * uRepeat,
                         1.0f - static_cast<float>(r) / static_cast<float>(rings) * vRepeat);
            mesh.add({p, n, uv});
        }
    }
    auto id = [&](int r, int s) { return first + static_cast<uint32_t>(r * (segments + 1) + s); };
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            uint32_t a = id(r, s), b = id(r, s + 1), c = id(r + 1, s), d = id(r + 1, s + 1);
            glm::vec3 out = mesh.vertices[a].position + mesh.vertices[d].position - 2.0f * centre;
            if (r != 0)
                mesh.triangle(a, c, b, out);
            if (r != rings - 1)
                mesh.triangle(b, c, d, out);
        }
    }
}

void addTube(Mesh& mesh, const std::vector<glm::vec3>& path, const std::vector<float>& radii, int sides, float vPerUnit)
{
    const size_t n = path.size();
    std::vector<glm::vec3> tangents(n);
    for (size_t i = 0; i < n; ++i) {
        glm::vec3 ahead = path[std::min(i + 1, n - 1)], behind = path[i == 0 ? 0 : i - 1];
        tangents[i] = glm::normalize(ahead - behind);
    }
    // A frame carried along the path so the rings do not twist.
    glm::vec3 ref = std::abs(tangents[0].y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
    glm::vec3 side = glm::normalize(glm::cross(tangents[0], ref));
    std::vector<std::vector<uint32_t>> ringIds(n);
    float length = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0) {
            length += glm::distance(path[i], path[i - 1]);
            side = glm::normalize(side - tangents[i] * glm::dot(side, tangents[i]));
        }
        glm::vec3 other = glm::cross(tangents[i], side);
        for (int s = 0; s <= sides; ++s) {
            float a = static_cast<float>(s) / static_cast<float>(sides) * twoPi;
            glm::vec3 dir = side * std::cos(a) + other * std::sin(a);
            ringIds[i].push_back(mesh.add({path[i] + dir * radii[i],
                                           dir,
                                           {static_cast<float>(s) / static_cast<float>(sides), length * vPerUnit}}));
        }
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        for (int s = 0; s < sides; ++s) {
            uint32_t a = ringIds[i][s], b = ringIds[i][s + 1], c = ringIds[i + 1][s], d = ringIds[i + 1][s + 1];
            glm::vec3 out = mesh.vertices[a].normal + mesh.vertices[d].normal;
            mesh.triangle(a, b, c, out);
            mesh.triangle(b, d, c, out);
        }
    }
    for (size_t end : {size_t{0}, n - 1}) {
        glm::vec3 normal = end == 0 ? -tangents[0] : tangents[n - 1];
        std::vector<glm::vec3> corners;
        std::vector<glm::vec2> uvs;
        for (int s = 0; s < sides; ++s) {
            const Vertex& v = mesh.vertices[ringIds[end][s]];
            float a = static_cast<float>(s) / static_cast<float>(sides) * twoPi;
            corners.push_back(v.position);
            uvs.emplace_back(0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a));
        }
        mesh.polygon(corners, uvs, normal);
    }
}

bool writeObj(const std::string& path, const Model& model, const std::string& header)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "w"), &std::fclose);
    if (!file)
        return false;
    FILE* f = file.get();
    std::fprintf(f, "# %s\n", header.c_str());
    size_t base = 1;
    for (const Mesh& mesh : model.meshes) {
        std::fprintf(f, "o %s\n", mesh.name.c_str());
        for (const Vertex& v : mesh.vertices)
            std::fprintf(f, "v %.4f %.4f %.4f\n", v.position.x, v.position.y, v.position.z);
        for (const Vertex& v : mesh.vertices)
            std::fprintf(f, "vt %.5f %.5f\n", v.uv.x, v.uv.y);
        for (const Vertex& v : mesh.vertices)
            std::fprintf(f, "vn %.5f %.5f %.5f\n", v.normal.x, v.normal.y, v.normal.z);
        for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
            size_t a = base + mesh.indices[i], b = base + mesh.indices[i + 1], c = base + mesh.indices[i + 2];
            std::fprintf(f, "f %zu/%zu/%zu %zu/%zu/%zu %zu/%zu/%zu\n", a, a, a, b, b, b, c, c, c);
        }
        base += mesh.vertices.size();
    }
    return std::ferror(f) == 0;
}

} // namespace gen
