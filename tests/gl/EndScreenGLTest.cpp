#include "render/TextManager.h"

#include "tests/gl/AssetTree.h"

namespace {

const gltest::Colour green{30, 200, 30}, red{200, 30, 30}, blue{30, 30, 200};

// JPEG at quality 99 keeps a flat block within a few levels of its colour; 40 still keeps
// the three colours, 170 apart in their strong channel, from passing for one another.
auto looksLike
    = [](int x, int y, gltest::Colour c) { return gltest::pixelsNear(x, y, glm::vec3(c[0], c[1], c[2]), 40); };

// The end screens over the 26 images of a tree, the win image 64 x 32: its upper half green,
// below that red on the left and blue on the right.
class EndScreen : public testing::Test {
protected:
    void SetUp() override
    {
        tree.enter();
        gltest::writeBlocks("textures/youwin.jpg", 4, {green, green, green, green, red, red, blue, blue});
        gltest::useStartUpState();
    }

    void TearDown() override
    {
        tree.leave();
        gltest::glErrors();
    }

    // Loads whatever images are in place and builds the end-screen drawer over them.
    void load()
    {
        output = gltest::printedBy([&] {
            library.loadTextures();
            manager = std::make_unique<TextManager>(&library);
        });
    }

    void draw(unsigned index)
    {
        // Red left in the buffer must give way to the cleared black.
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        manager->drawEndScreen(index);
    }

    gltest::AssetTree tree{gltest::greyImages(90)};
    TextureLibrary library;
    std::unique_ptr<TextManager> manager;
    std::string output;
};

} // namespace

TEST_F(EndScreen, WinImageFillsTheHeightAndTheMiddleSeventyNinePercentUprightAndUnmirrored)
{
    load();
    ASSERT_EQ(library.textures.size(), 26u) << output;
    draw(24);
    EXPECT_TRUE(gltest::glErrors().empty());

    // 3 units away through 35 degrees the window shows 3 tan 17.5 = 0.9459 either side of the
    // middle vertically and 4/3 of that, 1.2612, horizontally. The quad reaches 1 both ways: past
    // the top and bottom, and 1/1.2612 = 79.29 % of the width, columns 82.84 to 717.16.
    // A pixel is drawn when its centre (x + 0.5) is inside: columns 83 to 716, give or take one
    // for the rasteriser's rounding of the edge.
    for (int row : {0, 150, 300, 450, 599}) {
        EXPECT_EQ(gltest::notBlack(0, row, 82, 1), 0u) << "left of the quad, row " << row;
        EXPECT_EQ(gltest::notBlack(84, row, 632, 1), 632u) << "gap in row " << row;
        EXPECT_EQ(gltest::notBlack(718, row, 82, 1), 0u) << "right of the quad, row " << row;
    }
    // The image's top half along the window's top, its left half on the left.
    for (int x : {100, 240, 560, 700}) {
        EXPECT_TRUE(looksLike(x, 599, green));
        EXPECT_TRUE(looksLike(x, 450, green));
        EXPECT_TRUE(looksLike(x, 0, x < 400 ? red : blue));
        EXPECT_TRUE(looksLike(x, 150, x < 400 ? red : blue));
    }
}

TEST_F(EndScreen, MissingImageLeavesItsScreenBlackAndNeverShowsTheOther)
{
    // Without the win image the lose image moves down to index 24 of the library's list; the
    // win screen must still not show it.
    std::filesystem::remove("textures/youwin.jpg");
    load();
    ASSERT_EQ(library.textures.size(), 25u) << output;
    EXPECT_NE(output.find("textures/youwin.jpg did not load: the win screen will be black\n"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("lose screen"), std::string::npos) << output;
    for (unsigned index : {24u, 26u, 1000u}) {
        draw(index);
        EXPECT_EQ(gltest::notBlack(0, 0, 800, 600), 0u)
            << "pixels that are not the black clear colour, index " << index;
        EXPECT_TRUE(gltest::glErrors().empty()) << "index " << index;
    }
    // The lose screen shows its own grey image, which still loaded.
    draw(25);
    EXPECT_TRUE(looksLike(400, 300, {90, 90, 90}));
    EXPECT_TRUE(gltest::glErrors().empty());
}
