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

Cells square(int from, int to)
{
    Cells cells;
    for (int y = from; y <= to; ++y)
        for (int x = from; x <= to; ++x)
            cells.insert({x, y});
    return cells;
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
    Cells expected;
    for (int y = 31; y <= 32; ++y)
        for (int x = 37; x <= 38; ++x)
            expected.insert({x, y});
    EXPECT_EQ(markedCells(moved), expected);
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

// The mesh spans 6 along x, so the grid's cells are 0.75 wide: the first triangle starts in
// cell (0, 0, 0), the second, at (6, 5, 4), in cell (7, 6, 5); each box holds all three corners.
TEST(MeshBoxes, TrianglesStartingInOneGridCellShareABox)
{
    std::vector<glm::vec4> vertices = {{0, 0, 0, 1}, {2, 1, 0, 1}, {0, 3, 1, 1}, {5, 5, 5, 1}, {6, 5, 4, 1}};
    std::vector<GLuint> indices = {0, 1, 2, 4, 3, 2};
    std::optional<std::vector<Box>> boxes = meshBoxes(vertices, indices, indices.size());
    ASSERT_TRUE(boxes);
    ASSERT_EQ(boxes->size(), 2u);
    EXPECT_EQ((*boxes)[0].lo, glm::vec3(0, 0, 0));
    EXPECT_EQ((*boxes)[0].hi, glm::vec3(2, 3, 1));
    EXPECT_EQ((*boxes)[1].lo, glm::vec3(0, 3, 1));
    EXPECT_EQ((*boxes)[1].hi, glm::vec3(6, 5, 5));

    // Only the first `count` indices are drawn, three per triangle.
    boxes = meshBoxes(vertices, indices, 5);
    ASSERT_TRUE(boxes);
    ASSERT_EQ(boxes->size(), 1u);
    EXPECT_EQ((*boxes)[0].hi, glm::vec3(2, 3, 1));
}

TEST(MeshBoxes, IndexPastTheVerticesLeavesTheMeshUnplaced)
{
    std::vector<glm::vec4> vertices = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
    EXPECT_FALSE(meshBoxes(vertices, {0, 1, 3}, 3));
    EXPECT_FALSE(meshBoxes(vertices, {0, 1, 2}, 6)) << "more indices drawn than the mesh holds";
    ASSERT_TRUE(meshBoxes(vertices, {}, 0));
    EXPECT_TRUE(meshBoxes(vertices, {}, 0)->empty());
}

// 5000 small triangles in a row along x, triangle k from x = k to k + 0.5: the row is 4999.5
// long, so the 8 grid cells along it are 624.94 long and the first holds triangles 0 to 624.
TEST(MeshBoxes, ManyTrianglesGroupIntoBoxesOfAnEightCellGrid)
{
    std::vector<glm::vec4> vertices;
    std::vector<GLuint> indices;
    for (int k = 0; k < 5000; ++k) {
        float x = static_cast<float>(k);
        vertices.insert(vertices.end(), {{x, 0, 0, 1}, {x + 0.5f, 0, 0, 1}, {x, 0.5f, 0, 1}});
        indices.insert(indices.end(), {GLuint(3 * k), GLuint(3 * k + 1), GLuint(3 * k + 2)});
    }
    std::optional<std::vector<Box>> found = meshBoxes(vertices, indices, indices.size());
    ASSERT_TRUE(found);
    const std::vector<Box>& boxes = *found;
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
