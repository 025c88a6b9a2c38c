#pragma once

#include <vector>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "objects/MeshBounds.h"

class Object;

// The part of the shadow map that the shadow pass has written since the last clear, as
// square cells of the map. Outside the cells the map still holds the cleared depth, so
// clearing the cells alone leaves it exactly as a full clear would; most of the map is never
// drawn on. The part is not known at first and after forget(): then the clear covers it all.
class ShadowRegion {
public:
    static constexpr int cellTexels = 128;

    explicit ShadowRegion(int mapTexels);

    struct Rect {
        int x, y, width, height;
        bool operator==(const Rect&) const = default;
    };

    // The next clear covers the whole map.
    void forget();
    // Clears `depthTexture`, the depth attachment of the framebuffer bound, over
    // startRecord()'s rectangles: the whole map with glClear, parts of it by filling the
    // texture (glClearTexSubImage) where the context has that call. A scissored glClear
    // does the same but costs far more on llvmpipe, which draws each rectangle as a quad
    // through the fragment pipeline, so it serves only contexts without the fill.
    void clear(GLuint depthTexture);
    // Whether clear() may fill the texture; off, it always uses the scissored glClear.
    void allowFill(bool allowed) { fillAllowed = allowed; }
    // The rectangles of texels where the map may have been drawn on since the last clear (the
    // whole map when that is not known), few and not overlapping; starts a new, empty record.
    std::vector<Rect> startRecord();

    // Which way round a triangle's corners run in the map when the pass culls it, so that it
    // writes nothing. The shadow pass culls the faces turned towards the light.
    enum class Culled { nothing, counterClockwise, clockwise };
    void setCulled(Culled winding) { culled = winding; }
    // What GL culls with face culling `on`, GL_CULL_FACE_MODE `cullFace` and GL_FRONT_FACE
    // `frontFace`: only the culling of front faces alone is of use to the shadow pass.
    static Culled culledBy(bool on, GLint cullFace, GLint frontFace);

    // Records what drawing `object` (each mesh with its meshModelMatrix) through `lightClip`,
    // the light's projection times its view, can write.
    void add(const glm::mat4& lightClip, Object& object);
    // Records what triangles inside `boxes`, drawn through `clipFromModel`, can write.
    void add(const glm::mat4& clipFromModel, const std::vector<Box>& boxes);
    // Records what `triangles`, drawn through `clipFromModel`, can write: the cells that each
    // one the pass does not cull overlaps.
    void addTriangles(const glm::mat4& clipFromModel, const std::vector<Triangle>& triangles);
    // Records that anything may have been written.
    void addEverything();

    bool everything() const { return all; }
    bool marked(int cellX, int cellY) const { return cells[cellY * side + cellX] != 0; }
    int cellsPerSide() const { return side; }

private:
    // The first and last cell columns and rows of a span of cells.
    struct CellSpan {
        int x0, y0, x1, y1;
    };
    // The cells that the texels from `lo` to `hi` fall in; false when none of them lies on the map.
    bool cellsCovering(glm::vec2 lo, glm::vec2 hi, CellSpan& span) const;
    // The cell holding texel column or row `texel`, clamped to the map.
    int cellOf(float texel) const;
    void markTexels(float left, float bottom, float right, float top);
    // a, b and c in texels of the map.
    void markTriangle(glm::vec2 a, glm::vec2 b, glm::vec2 c);

    int mapTexels;
    int side;
    bool all = true;
    bool fillAllowed = true;
    Culled culled = Culled::nothing;
    std::vector<unsigned char> cells;
};
