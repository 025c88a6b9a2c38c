#include "render/ShadowRegion.h"

#include <cmath>
#include <set>
#include <utility>

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "objects/MeshBounds.h"

namespace {

using Cells = std::set<std::pair<int, int>>;

Cells markedCells(const ShadowRegion& region)
{
    Cells cells;
    for (int y = 0; y < region.cellsPerSide(); ++y)
        for (int x = 0; x < region.cellsPerSide(); ++x)
            if (region.marked(x, y))
                cells.insert({x, y});
    return cells;
}

// The cells x0 to x1 across and y0 to y1 up, both ends included.
Cells rectangle(int x0, int x1, int y0, int y1)
{
    Cells cells;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            cells.insert({x, y});
    return cells;
}

Cells square(int from, int to)
{
    return rectangle(from, to, from, to);
}

// A region whose record has started, as after the first clear.
ShadowRegion recording(int mapTexels)
{
    ShadowRegion region(mapTexels);
    region.startRecord();
    return region;
}

// The game's light: 200 above the origin looking down with +x as up, its 45 degree lens.
const glm::mat4 lightClip = glm::perspective(glm::radians(45.0f), 4.0f / 3.0f, 195.0f, 220.0f)
    * glm::lookAt(glm::vec3(0, 200, 0), glm::vec3(0), glm::vec3(1, 0, 0));

} // namespace

TEST(ShadowRegion, UnknownUntilTheFirstClear)
{
    ShadowRegion region(8192);
    EXPECT_TRUE(region.everything());
    EXPECT_EQ(region.cellsPerSide(), 64);
    EXPECT_TRUE(markedCells(region).empty());
}

// Without a lens (clip space = model space) a 1024 map has eight cells of 128 texels a side.
// x from -0.4 to -0.1 lands on texels 307.2 to 460.8, inside cells 2 and 3; y the same.
TEST(ShadowRegion, BoxMarksTheCellsItsCornersProjectInto)
{
    ShadowRegion region(1024);
    ASSERT_EQ(region.cellsPerSide(), 8);
    region.forget();
    // Still unknown: nothing recorded counts until a clear has started a record.
    region.add(glm::mat4(1.0f), {{glm::vec3(-0.4f, -0.4f, 0.0f), glm::vec3(-0.1f, -0.1f, 0.0f)}});
    EXPECT_TRUE(region.everything());

    ShadowRegion started = recording(1024);
    started.add(glm::mat4(1.0f), {{glm::vec3(-0.4f, -0.4f, 0.0f), glm::vec3(-0.1f, -0.1f, 0.0f)}});
    EXPECT_FALSE(started.everything());
    EXPECT_EQ(markedCells(started), square(2, 3));
}

// Seen from the light, 200 units down, the map spans 200 tan 22.5 = 82.8 units either side
// along world x (the map's up) and 4/3 of that, 110.5, along world z (the map's right).
TEST(ShadowRegion, GroundBelowTheLightMarksTheMiddleAndMovesWithTheBox)
{
    ShadowRegion region = recording(8192);
    // 1 unit either side: 37.1 texels right and left of 4096 and 49.4 up and down: cells 31, 32.
    region.add(lightClip, {{glm::vec3(-1, 0, -1), glm::vec3(1, 0, 1)}});
    EXPECT_EQ(markedCells(region), square(31, 32));

    // 20 units along +z: 741.6 texels to the right, texels 4800.5 to 4874.7, cells 37 and 38.
    ShadowRegion moved = recording(8192);
    moved.add(lightClip, {{glm::vec3(-1, 0, 19), glm::vec3(1, 0, 21)}});
    EXPECT_EQ(markedCells(moved), rectangle(37, 38, 31, 32));
}

TEST(ShadowRegion, WhatTheLightsLensClipsAwayMarksNothing)
{
    ShadowRegion region = recording(8192);
    // 230 units below the light, past the far plane at 220; 190 below, short of the near one at 195.
    region.add(lightClip, {{glm::vec3(-50, -30, -50), glm::vec3(50, -30, 50)}});
    region.add(lightClip, {{glm::vec3(-5, 10, -5), glm::vec3(5, 10, 5)}});
    // 300 units along +z, beyond the map's right edge at 110.
    region.add(lightClip, {{glm::vec3(-1, 0, 299), glm::vec3(1, 0, 301)}});
    EXPECT_FALSE(region.everything());
    EXPECT_TRUE(markedCells(region).empty());

    // Reaching from the ground up to the far plane: the ground's part is drawn.
    region.add(lightClip, {{glm::vec3(-1, -30, -1), glm::vec3(1, 0, 1)}});
    EXPECT_FALSE(markedCells(region).empty());
}

TEST(ShadowRegion, BoxReachingBehindTheLightOrNotFiniteMakesItAllUnknown)
{
    ShadowRegion behind = recording(8192);
    behind.add(lightClip, {{glm::vec3(-1, 0, -1), glm::vec3(1, 250, 1)}});
    EXPECT_TRUE(behind.everything());

    ShadowRegion broken = recording(8192);
    glm::mat4 notFinite = lightClip;
    notFinite[3][0] = NAN;
    broken.add(notFinite, {{glm::vec3(-1, 0, -1), glm::vec3(1, 0, 1)}});
    EXPECT_TRUE(broken.everything());

    ShadowRegion told = recording(8192);
    told.addEverything();
    EXPECT_TRUE(told.everything());
}

TEST(MeshFootprint, FewTrianglesAreKeptCornerForCornerInDrawingOrder)
{
    std::vector<glm::vec4> vertices = {{0, 0, 0, 1}, {2, 1, 0, 1}, {0, 3, 1, 1}, {5, 5, 5, 1}, {6, 5, 4, 1}};
    std::vector<GLuint> indices = {0, 1, 2, 4, 3, 2};
    std::optional<MeshFootprint> footprint = meshFootprint(vertices, indices, indices.size());
    ASSERT_TRUE(footprint);
    EXPECT_TRUE(footprint->boxes.empty());
    ASSERT_EQ(footprint->triangles.size(), 2u);
    EXPECT_EQ(footprint->triangles[0].a, glm::vec3(0, 0, 0));
    EXPECT_EQ(footprint->triangles[0].b, glm::vec3(2, 1, 0));
    EXPECT_EQ(footprint->triangles[0].c, glm::vec3(0, 3, 1));
    EXPECT_EQ(footprint->triangles[1].a, glm::vec3(6, 5, 4));
    EXPECT_EQ(footprint->triangles[1].b, glm::vec3(5, 5, 5));
    EXPECT_EQ(footprint->triangles[1].c, glm::vec3(0, 3, 1));

    // Only the first `count` indices are drawn, three per triangle.
    footprint = meshFootprint(vertices, indices, 5);
    ASSERT_TRUE(footprint);
    EXPECT_EQ(footprint->triangles.size(), 1u);
}

TEST(MeshFootprint, IndexPastTheVerticesLeavesTheMeshUnplaced)
{
    std::vector<glm::vec4> vertices = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
    EXPECT_FALSE(meshFootprint(vertices, {0, 1, 3}, 3));
    EXPECT_FALSE(meshFootprint(vertices, {0, 1, 2}, 6)) << "more indices drawn than the mesh holds";
    EXPECT_TRUE(meshFootprint(vertices, {}, 0));
}

// 5000 small triangles in a row along x, triangle k from x = k to k + 0.5: the row is 4999.5
// long, so the 8 grid cells along it are 624.94 long and the first holds triangles 0 to 624.
TEST(MeshFootprint, ManyTrianglesGroupIntoBoxesOfAnEightCellGrid)
{
    std::vector<glm::vec4> vertices;
    std::vector<GLuint> indices;
    for (int k = 0; k < 5000; ++k) {
        float x = static_cast<float>(k);
        vertices.insert(vertices.end(), {{x, 0, 0, 1}, {x + 0.5f, 0, 0, 1}, {x, 0.5f, 0, 1}});
        indices.insert(indices.end(), {GLuint(3 * k), GLuint(3 * k + 1), GLuint(3 * k + 2)});
    }
    std::optional<MeshFootprint> footprint = meshFootprint(vertices, indices, indices.size());
    ASSERT_TRUE(footprint);
    EXPECT_TRUE(footprint->triangles.empty());
    const std::vector<Box>& boxes = footprint->boxes;
    ASSERT_EQ(boxes.size(), 8u);
    EXPECT_EQ(boxes.front().lo, glm::vec3(0, 0, 0));
    EXPECT_EQ(boxes.front().hi, glm::vec3(624.5f, 0.5f, 0));
    EXPECT_EQ(boxes.back().hi, glm::vec3(4999.5f, 0.5f, 0));
    for (size_t k = 0; k < vertices.size(); ++k) {
        glm::vec3 v(vertices[k]);
        bool inside = false;
        for (const Box& b : boxes)
            inside = inside || (glm::all(glm::greaterThanEqual(v, b.lo)) && glm::all(glm::lessThanEqual(v, b.hi)));
        EXPECT_TRUE(inside) << "vertex " << k << " lies in no box";
    }
}

namespace {

// A 1024 map without a lens: texel t sits at t / 512 - 1 in clip space.
glm::vec3 atTexel(float s, float t)
{
    return {s / 512.0f - 1.0f, t / 512.0f - 1.0f, 0.0f};
}

// Corners at texels (64, 64), (936, 64) and (64, 936), counter-clockwise: the long edge runs
// along s + t = 1000. A cell of 128 texels, grown by the rasteriser's 2-texel margin, reaches
// it when 128 (x + y) - 4 < 1000, so the cells with x + y <= 7 are marked; the box around the
// triangle would mark all 8 x 8.
const Triangle counterClockwise{atTexel(64, 64), atTexel(936, 64), atTexel(64, 936)};
const Triangle clockwise{counterClockwise.a, counterClockwise.c, counterClockwise.b};

Cells belowTheLongEdge()
{
    Cells cells;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x + y <= 7; ++x)
            cells.insert({x, y});
    return cells;
}

} // namespace

TEST(ShadowRegion, TriangleMarksTheCellsItOverlapsNotItsWholeBox)
{
    for (const Triangle& wound : {counterClockwise, clockwise}) {
        ShadowRegion region = recording(1024);
        region.addTriangles(glm::mat4(1.0f), {wound});
        EXPECT_EQ(markedCells(region), belowTheLongEdge());
    }
    EXPECT_EQ(belowTheLongEdge().size(), 36u);
}

TEST(ShadowRegion, TriangleWoundTheCulledWayMarksNothingUnlessTooThinToTell)
{
    ShadowRegion region = recording(1024);
    region.setCulled(ShadowRegion::Culled::counterClockwise);
    region.addTriangles(glm::mat4(1.0f), {counterClockwise});
    EXPECT_TRUE(markedCells(region).empty());
    region.addTriangles(glm::mat4(1.0f), {clockwise});
    EXPECT_EQ(markedCells(region), belowTheLongEdge());

    ShadowRegion other = recording(1024);
    other.setCulled(ShadowRegion::Culled::clockwise);
    other.addTriangles(glm::mat4(1.0f), {clockwise});
    EXPECT_TRUE(markedCells(other).empty());

    // One texel high and 872 long, counter-clockwise: a corner moved by the margin could turn
    // it round, so it counts as drawn. Texels 64 to 65 high, grown by 2: row 0 only.
    ShadowRegion sliver = recording(1024);
    sliver.setCulled(ShadowRegion::Culled::counterClockwise);
    sliver.addTriangles(glm::mat4(1.0f), {{atTexel(64, 64), atTexel(936, 64), atTexel(500, 65)}});
    EXPECT_EQ(markedCells(sliver), rectangle(0, 7, 0, 0));
}

TEST(ShadowRegion, OnlyFrontFacesCulledAloneCountAsCulled)
{
    using C = ShadowRegion::Culled;
    EXPECT_EQ(ShadowRegion::culledBy(true, GL_FRONT, GL_CCW), C::counterClockwise);
    EXPECT_EQ(ShadowRegion::culledBy(true, GL_FRONT, GL_CW), C::clockwise);
    EXPECT_EQ(ShadowRegion::culledBy(false, GL_FRONT, GL_CCW), C::nothing);
    EXPECT_EQ(ShadowRegion::culledBy(true, GL_BACK, GL_CCW), C::nothing);
    EXPECT_EQ(ShadowRegion::culledBy(true, GL_FRONT_AND_BACK, GL_CCW), C::nothing);
}

// Seen by the game's light: the ground 230 below it lies past the far plane; a triangle
// reaching above the light has a corner behind its eye and could land anywhere.
TEST(ShadowRegion, TriangleClippedAwayMarksNothingAndOneBehindTheLightMarksAll)
{
    ShadowRegion region = recording(8192);
    region.addTriangles(lightClip, {{glm::vec3(-5, -30, -5), glm::vec3(5, -30, -5), glm::vec3(0, -30, 5)}});
    EXPECT_TRUE(markedCells(region).empty());
    EXPECT_FALSE(region.everything());

    region.addTriangles(lightClip, {{glm::vec3(-1, 0, -1), glm::vec3(1, 0, -1), glm::vec3(0, 250, 1)}});
    EXPECT_TRUE(region.everything());
}

// A corner just in front of the eye plane, w = 1e-40, projects past any float: where the
// triangle lands is not known.
TEST(ShadowRegion, TriangleProjectingPastAnyFloatMarksAll)
{
    glm::mat4 nearlyAtTheEye(1.0f);
    nearlyAtTheEye[3][3] = 1.0e-40f;
    ShadowRegion region = recording(1024);
    region.addTriangles(nearlyAtTheEye, {{glm::vec3(0.5f, 0, 0), glm::vec3(-0.5f, 0, 0), glm::vec3(0, 0.5f, 0)}});
    EXPECT_TRUE(region.everything());
}

TEST(ShadowRegion, ClearCoversTheWholeMapWhenUnknownThenOnlyTheMarkedCells)
{
    using Rect = ShadowRegion::Rect;
    ShadowRegion region(1024);
    EXPECT_EQ(region.startRecord(), (std::vector<Rect>{{0, 0, 1024, 1024}}));
    EXPECT_TRUE(region.startRecord().empty()) << "nothing drawn since";

    // Cells 2 and 3 both ways: one square of 256 texels from texel 256.
    region.add(glm::mat4(1.0f), {{glm::vec3(-0.4f, -0.4f, 0.0f), glm::vec3(-0.1f, -0.1f, 0.0f)}});
    EXPECT_EQ(region.startRecord(), (std::vector<Rect>{{256, 256, 256, 256}}));

    // An L: cells 0 to 7 of row 0 (x from -1 to 1 at y = -0.99, texels 0 to 1024 by 5.1), and
    // cell 0 of rows 0 to 2 (x -0.99 to -0.8, texels 5.1 to 102.4; y -0.99 to -0.45, texels
    // 5.1 to 281.6). Row 0 takes one rectangle; rows 1 and 2 share the other.
    region.add(glm::mat4(1.0f),
               {{glm::vec3(-1.0f, -0.99f, 0.0f), glm::vec3(1.0f, -0.99f, 0.0f)},
                {glm::vec3(-0.99f, -0.99f, 0.0f), glm::vec3(-0.8f, -0.45f, 0.0f)}});
    EXPECT_EQ(region.startRecord(), (std::vector<Rect>{{0, 0, 1024, 128}, {0, 128, 128, 256}}));
    EXPECT_FALSE(region.everything());

    region.forget();
    EXPECT_EQ(region.startRecord(), (std::vector<Rect>{{0, 0, 1024, 1024}}));
}
