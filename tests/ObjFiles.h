#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include <glm/glm.hpp>

// Model files for the tests, in OBJ form. Each mesh is an object of its own; a quad's
// corners are centre - u - v, + u - v, + u + v, - u + v, counter-clockwise seen from where
// u x v points, which is also its normal; their texture coordinates are (0, 0), (1, 0),
// (1, 1) and (0, 1).
namespace objfile {

struct Quad {
    glm::vec3 centre;
    glm::vec3 u;
    glm::vec3 v;
};

// A square in the xy plane facing +z, `size` a side.
inline Quad facingZ(glm::vec3 centre, float size = 2.0f)
{
    return {centre, {size / 2, 0, 0}, {0, size / 2, 0}};
}

// A square floor at y = 0 facing up, reaching `half` either way along x and z.
inline Quad floor(float half)
{
    return {glm::vec3(0.0f), {0, 0, half}, {half, 0, 0}};
}

enum class Attributes { All, NoNormals, NoTexCoords };

class Writer {
public:
    explicit Writer(Attributes attributes = Attributes::All) : attributes(attributes) { }

    Writer& mesh(const std::string& name)
    {
        text << "o " << name << "\n";
        return *this;
    }

    Writer& quad(const Quad& q)
    {
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& c : corners) {
            glm::vec3 p = q.centre + c[0] * q.u + c[1] * q.v;
            text << "v " << p.x << " " << p.y << " " << p.z << "\n";
            if (attributes != Attributes::NoTexCoords)
                text << "vt " << (c[0] + 1) / 2 << " " << (c[1] + 1) / 2 << "\n";
        }
        glm::vec3 n = glm::normalize(glm::cross(q.u, q.v));
        if (attributes != Attributes::NoNormals)
            text << "vn " << n.x << " " << n.y << " " << n.z << "\n";
        ++normals;
        text << "f";
        for (int k = 0; k < 4; ++k) {
            ++corners_;
            if (attributes == Attributes::All)
                text << " " << corners_ << "/" << corners_ << "/" << normals;
            else if (attributes == Attributes::NoNormals)
                text << " " << corners_ << "/" << corners_;
            else
                text << " " << corners_ << "//" << normals;
        }
        text << "\n";
        return *this;
    }

    // A closed box of six outward quads.
    Writer& box(glm::vec3 lo, glm::vec3 hi)
    {
        glm::vec3 m = (lo + hi) / 2.0f, h = (hi - lo) / 2.0f;
        glm::vec3 x(h.x, 0, 0), y(0, h.y, 0), z(0, 0, h.z);
        return quad({m + x, y, z})
            .quad({m - x, z, y})
            .quad({m + y, z, x})
            .quad({m - y, x, z})
            .quad({m + z, x, y})
            .quad({m - z, y, x});
    }

    std::string str() const { return text.str(); }
    void save(const std::string& path) const { std::ofstream(path) << text.str(); }

private:
    Attributes attributes;
    std::ostringstream text;
    int corners_ = 0;
    int normals = 0;
};

} // namespace objfile
