#include <sstream>

#include "tests/app/PlayFixture.h"

using FilterTable = PlayFixture;

namespace {

// The filter pair for a mipmap mode (0 off, 1 nearest level, 2 linear blend) and a filter.
std::pair<GLint, GLint> filters(int mode, bool linear)
{
    const GLint minification[3][2] = {
        {GL_NEAREST, GL_LINEAR},
        {GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_NEAREST},
        {GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR_MIPMAP_LINEAR},
    };
    return {minification[mode][linear ? 1 : 0], linear ? GL_LINEAR : GL_NEAREST};
}

} // namespace

// From each of the six states, F4 asks for the other filter at the same mipmap mode and F5
// for the next mipmap mode with the same filter.
TEST_F(FilterTable, F4AndF5AskForTheFiltersOfTheStateTheyLeadTo)
{
    for (int mode = 0; mode < 3; ++mode) {
        for (bool linear : {false, true}) {
            mipmapMode = mode;
            linearFiltering = linear;
            std::ostringstream console;
            FrameInput input;
            input.mouseX = 400;
            input.mouseY = 300;
            input.time = clock += 0.02;
            input.press(Key::F4);
            FrameRequests flip = update(input, console);
            auto expected = filters(mode, !linear);
            EXPECT_EQ(flip.minification, expected.first) << "F4 from mode " << mode << " linear " << linear;
            EXPECT_EQ(flip.magnification, expected.second) << "F4 from mode " << mode << " linear " << linear;
            update(FrameInput{{}, 400, 300, clock += 0.02, {}, true}, console);

            mipmapMode = mode;
            linearFiltering = linear;
            input.press(Key::F4, false);
            input.press(Key::F5);
            input.time = clock += 0.02;
            FrameRequests advance = update(input, console);
            expected = filters((mode + 1) % 3, linear);
            EXPECT_EQ(advance.minification, expected.first) << "F5 from mode " << mode << " linear " << linear;
            EXPECT_EQ(advance.magnification, expected.second) << "F5 from mode " << mode << " linear " << linear;
            update(FrameInput{{}, 400, 300, clock += 0.02, {}, true}, console);
        }
    }
}
