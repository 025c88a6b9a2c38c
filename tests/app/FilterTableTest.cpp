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
    std::ostringstream console;
    for (int mode = 0; mode < 3; ++mode) {
        for (bool linear : {false, true}) {
            for (Key key : {Key::F4, Key::F5}) {
                mipmapMode = mode;
                linearFiltering = linear;
                FrameInput input{{}, 400, 300, clock += 0.02, {}, true};
                input.press(key);
                FrameRequests requests = update(input, console);
                auto expected = key == Key::F4 ? filters(mode, !linear) : filters((mode + 1) % 3, linear);
                EXPECT_EQ(requests.minification, expected.first)
                    << (key == Key::F4 ? "F4" : "F5") << " from mode " << mode << " linear " << linear;
                EXPECT_EQ(requests.magnification, expected.second)
                    << (key == Key::F4 ? "F4" : "F5") << " from mode " << mode << " linear " << linear;
                update(FrameInput{{}, 400, 300, clock += 0.02, {}, true}, console); // released
            }
        }
    }
}
