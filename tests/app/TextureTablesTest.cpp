#include "app/TextureTables.h"

#include <gtest/gtest.h>

#include "objects/TextureLibrary.h"

namespace {

// "textures/mouse_body_c.jpg" -> "mouse_body", "textures/brick19.jpg" -> "brick19".
std::string stem(const std::string& path)
{
    std::string name = path.substr(path.rfind('/') + 1);
    name = name.substr(0, name.rfind('.'));
    if (name.size() > 2 && name.compare(name.size() - 2, 2, "_c") == 0)
        name.resize(name.size() - 2);
    return name;
}

// Every mesh shows a colour image and the normal map made for it: the next file in load
// order, named after the colour image (brick19 / brick19n2, mouse_body_c / mouse_body_n).
void expectOwnNormalMaps(const TexturePairs& pairs, const char* model)
{
    const auto& files = TextureLibrary::fileNames();
    for (size_t i = 0; i < pairs.size(); ++i) {
        auto [colour, normal] = pairs[i];
        SCOPED_TRACE(std::string(model) + " mesh " + std::to_string(i));
        ASSERT_GE(colour, 0);
        ASSERT_LT(colour, 24); // 24 and 25 are the end screens
        EXPECT_EQ(colour % 2, 0);
        ASSERT_EQ(normal, colour + 1);
        std::string colourStem = stem(files[colour]), normalStem = stem(files[normal]);
        EXPECT_EQ(normalStem.rfind(colourStem, 0), 0u) << files[normal] << " is not " << files[colour] << "'s map";
        EXPECT_NE(normalStem, colourStem);
    }
}

} // namespace

// Row for row, from the table of which part of each model shows which image. The ears (the
// player's last two rows) and the ground show their own normal maps.
TEST(TextureTables, EveryMeshShowsItsOwnPartsImagesRowForRow)
{
    const std::pair<int, int> body{0, 1}, eye{2, 3}, teeth{4, 5}, tail{6, 7}, noseHair{8, 9}, nose{10, 11};
    TexturePairs player;
    auto rows
        = [](TexturePairs& table, int count, std::pair<int, int> pair) { table.insert(table.end(), count, pair); };
    rows(player, 4, body);     // 0 to 3
    rows(player, 1, nose);     // 4
    rows(player, 6, noseHair); // 5 to 10
    rows(player, 2, teeth);    // 11, 12
    rows(player, 2, eye);      // 13, 14
    rows(player, 1, tail);     // 15
    for (int first = 16; first <= 31; first += 5) {
        rows(player, 2, body); // 16, 17 / 21, 22 / 26, 27 / 31, 32
        rows(player, 3, tail); // 18 to 20 / 23 to 25 / 28 to 30 / 33 to 35
    }
    rows(player, 2, body); // 36, 37
    EXPECT_EQ(playerTextures(), player);

    const std::pair<int, int> brick{12, 13}, water{14, 15}, stone{16, 17}, ground{18, 19}, cheeseSide{20, 21},
        cheeseTop{22, 23};
    TexturePairs level{brick, ground};
    rows(level, 8, stone); // 2 to 9
    rows(level, 4, brick); // 10 to 13
    level.insert(level.end(), {water, stone, brick, cheeseSide, cheeseTop});
    EXPECT_EQ(levelTextures(), level);
}

TEST(TextureTables, EveryMeshUsesTheNormalMapMadeForItsColourImage)
{
    TexturePairs player = playerTextures(), level = levelTextures();
    ASSERT_EQ(player.size(), 38u);
    ASSERT_EQ(level.size(), 19u);
    expectOwnNormalMaps(player, "player");
    expectOwnNormalMaps(level, "level");
}
