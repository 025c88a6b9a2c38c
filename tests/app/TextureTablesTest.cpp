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

TEST(TextureTables, EveryMeshUsesTheNormalMapMadeForItsColourImage)
{
    TexturePairs player = playerTextures(), level = levelTextures();
    ASSERT_EQ(player.size(), 38u);
    ASSERT_EQ(level.size(), 19u);
    expectOwnNormalMaps(player, "player");
    expectOwnNormalMaps(level, "level");
    // A few rows by hand: the nose, the tail, the ears in fur; the ground, the water, the cheese.
    EXPECT_EQ(player[4], std::make_pair(10, 11));
    EXPECT_EQ(player[15], std::make_pair(6, 7));
    EXPECT_EQ(player[37], std::make_pair(0, 1));
    EXPECT_EQ(level[1], std::make_pair(18, 19));
    EXPECT_EQ(level[14], std::make_pair(14, 15));
    EXPECT_EQ(level[18], std::make_pair(22, 23));
}
