#include "app/Replay.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "app/FrameUpdate.h"
#include "app/Globals.h"
#include "app/HeadlessGame.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "tests/app/PlayFixture.h"

namespace {

class ReplayFile : public testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(path); }

    std::string write(const std::string& text)
    {
        std::ofstream(path) << text;
        return path;
    }

    // Loads the text; returns the error line, or "" when it loaded.
    std::string errorFor(const std::string& text)
    {
        Replay replay;
        std::string error;
        return loadReplay(write(text), replay, error) ? "" : error;
    }

    std::string path = (std::filesystem::temp_directory_path() / "gorbeck-replay-test.replay").string();
};

} // namespace

TEST_F(ReplayFile, RecordedFramesReadBackExactly)
{
    FrameInput keys;
    keys.time = 0.1 + 0.2; // 0.30000000000000004: needs all 17 digits
    keys.mouseX = 401.5;
    keys.mouseY = 299.0;
    keys.press(Key::W);
    keys.press(Key::Space);
    keys.press(Key::F10);
    FrameInput padAway;
    padAway.time = 2.5;
    padAway.press(Key::F11);
    padAway.pad.leftX = -0.25f;
    padAway.pad.leftY = 1.0f;
    padAway.pad.rightX = 0.3f; // 0.300000011920928955078125 as a float
    padAway.pad.press(PadButton::A);
    padAway.pad.press(PadButton::Back);
    padAway.focused = false;
    FrameInput away;
    away.time = 3.0;
    away.focused = false;
    FrameInput start;
    start.time = 3.5;
    start.pad.rightY = -1.0f / 3.0f;
    start.pad.press(PadButton::Start);
    FrameInput allKeys;
    allKeys.time = 1.0 / 3.0;
    allKeys.keys.fill(true);
    const FrameInput written[] = {keys, padAway, away, start, allKeys, FrameInput()};
    {
        ReplayRecorder recorder;
        std::string error;
        ASSERT_TRUE(recorder.open(path, error)) << error;
        recorder.start(0.123456789012345678);
        for (const FrameInput& input : written)
            recorder.record(input);
    }
    std::ifstream text(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 8u);
    lines.erase(lines.begin() + 6); // every key's name, in the order Replay's own table keeps
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "gorbeck-replay 2",
                  "start 0.12345678901234568",
                  "frame 0.30000000000000004 401.5 299 F10+W+Space",
                  "frame 2.5 400 300 F11 pad -0.25 1 0.30000001192092896 0 A+Back unfocused",
                  "frame 3 400 300 - unfocused",
                  "frame 3.5 400 300 - pad 0 0 0 -0.3333333432674408 Start",
                  "frame 0 400 300 -",
              }));

    Replay replay;
    std::string error;
    ASSERT_TRUE(loadReplay(path, replay, error)) << error;
    EXPECT_EQ(replay.startTime, 0.123456789012345678);
    ASSERT_EQ(replay.frames.size(), std::size(written));
    for (size_t i = 0; i < std::size(written); ++i) {
        EXPECT_EQ(replay.frames[i].time, written[i].time) << "frame " << i;
        EXPECT_EQ(replay.frames[i].mouseX, written[i].mouseX) << "frame " << i;
        EXPECT_EQ(replay.frames[i].mouseY, written[i].mouseY) << "frame " << i;
        EXPECT_EQ(replay.frames[i].keys, written[i].keys) << "frame " << i;
        EXPECT_TRUE(replay.frames[i].pad == written[i].pad) << "frame " << i;
        EXPECT_EQ(replay.frames[i].focused, written[i].focused) << "frame " << i;
    }
}

// Version 1 came before the pad, the focus and F11; its files may come from any editor.
TEST_F(ReplayFile, Version1ReadsAsBeforeAndKnowsNothingNewer)
{
    Replay replay;
    std::string error;
    ASSERT_TRUE(loadReplay(write("# made by hand\r\ngorbeck-replay 1\r\n\r\nstart 0.5\r\n"
                                 "frame 0.55 400 300 -\r\nframe 0.6 412 300 W+A\r\n"),
                           replay, error))
        << error;
    ASSERT_EQ(replay.frames.size(), 2u);
    FrameInput expected;
    expected.press(Key::W);
    expected.press(Key::A);
    EXPECT_EQ(replay.frames[1].keys, expected.keys);
    EXPECT_EQ(replay.frames[1].mouseX, 412.0);
    for (const FrameInput& frame : replay.frames) {
        EXPECT_TRUE(frame.pad.idle());
        EXPECT_TRUE(frame.focused);
    }

    const std::string where = "malformed replay " + path + ", line 3: ";
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe 1 400 300 F11\n"), where + "unknown key in \"F11\"");
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe 1 400 300 - pad 0 0 0 0 A\n"),
              where + "unexpected \"pad\" at the end of the line");
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe 1 400 300 - unfocused\n"),
              where + "unexpected \"unfocused\" at the end of the line");
}

// Each case is a file and what its error line says after "malformed replay <path>" ("" when
// the file loads).
TEST_F(ReplayFile, MalformedFilesNameTheFileAndLine)
{
    const std::string v1 = "gorbeck-replay 1\nstart 0\n", v2 = "gorbeck-replay 2\nstart 0\nframe 1 400 300 W ";
    const std::string line3 = ", line 3: ", frame = "expected \"frame <seconds> <mouse x> <mouse y> <keys>\"";
    const std::string pad = line3 + "expected \"pad <left x> <left y> <right x> <right y> <buttons>\"";
    const std::string mouse = "the mouse position lies outside -100000 to 100000";
    const std::string axis = line3 + "a pad axis lies outside -1 to 1";
    const std::string atTheEnd = "\" at the end of the line";
    const std::pair<std::string, std::string> cases[] = {
        {"", ": the file is empty"},
        {"gorbeck-replay 3\n", ", line 1: version 3 is not supported (this game reads versions 1 and 2)"},
        {"gorbeck-replay 0\n", ", line 1: version 0 is not supported (this game reads versions 1 and 2)"},
        {"hello\n", ", line 1: expected \"gorbeck-replay 1\" or \"gorbeck-replay 2\""},
        {"gorbeck-replay 1\nframe 1 400 300 W\n", ", line 2: a frame before the start line"},
        {v1 + "frame 1 400 W\n", line3 + frame},
        {v1 + "frame 1 400 300 W+Jump\n", line3 + "unknown key in \"W+Jump\""},
        {v1 + "frame nan 400 300 W\n", line3 + frame},
        {v1 + "frame 1 400 300 W extra\n", line3 + "unexpected \"extra" + atTheEnd},
        // Past the range the mouse could never have been; the edge itself is still a reading.
        {v1 + "frame 1 400 1e300 W\n", line3 + mouse},
        {v1 + "frame 1 400 300 -\nframe 2 -100000.5 300 -\n", ", line 4: " + mouse},
        {v1 + "frame 1 -100000 100000 -\n", ""},
        {v1, ": it holds no frame"},
        {v1 + "start 1\n", line3 + "expected one \"start <seconds>\" line"},
        {v2 + "pad 0 0 0 A\n", pad},
        {v2 + "pad 0 0 0 0\n", pad},
        {v2 + "pad 0 nan 0 0 A\n", pad},
        {v2 + "pad 0 0 inf 0 A\n", pad},
        {v2 + "pad 0 1.5 0 0 A\n", axis},
        {v2 + "pad 0 0 0 -1.001 -\n", axis},
        {v2 + "pad -1 1 -1 1 A+Start+Back\n", ""},
        {v2 + "pad 0 0 0 0 A+X\n", line3 + "unknown pad button in \"A+X\""},
        {v2 + "pad 0 0 0 0 A extra\n", line3 + "unexpected \"extra" + atTheEnd},
        {v2 + "pad 0 0 0 0 A pad 0 0 0 0 A\n", line3 + "unexpected \"pad" + atTheEnd},
        {v2 + "unfocused pad 0 0 0 0 A\n", line3 + "unexpected \"pad" + atTheEnd}, // the pad comes first
        {v2 + "unfocused unfocused\n", line3 + "unexpected \"unfocused" + atTheEnd},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(errorFor(text), expected.empty() ? "" : "malformed replay " + path + expected) << text;

    Replay replay;
    std::string error;
    EXPECT_FALSE(loadReplay("/nonexistent/dir/x.replay", replay, error));
    EXPECT_EQ(error, "cannot read the replay /nonexistent/dir/x.replay: No such file or directory");
}

namespace {

struct Course {
    std::vector<glm::vec3> positions;
    std::vector<float> yaws;
    int gameState = 0;
};

// Plays `replay` through the game's own frame update in a fresh world on `level`.
Course play(const std::string& level, const Replay& replay)
{
    Course course;
    std::string error;
    stopHeadlessWorld();
    EXPECT_TRUE(startHeadlessWorld(level, error)) << error;
    lastFrameTime = static_cast<float>(replay.startTime);
    for (const FrameInput& input : replay.frames) {
        update(input);
        course.positions.push_back(scene->player->position);
        course.yaws.push_back(camera->yaw);
    }
    course.gameState = gameState;
    stopHeadlessWorld();
    return course;
}

} // namespace

// The shipped winning route, played twice through the game's own frame update on the
// generated level, takes the same course frame for frame and ends on the cheese.
TEST(DemoRoute, ReplayingTwiceGivesTheSamePositionsFrameForFrame)
{
    Replay replay;
    std::string error;
    ASSERT_TRUE(loadReplay(std::string(GORBECK_SOURCE_DIR) + "/demo/win.replay", replay, error)) << error;
    const std::string level = std::string(GORBECK_RUNTIME_DIR) + "/models/level.obj";
    Course first = play(level, replay);
    EXPECT_EQ(first.gameState, 1);
    EXPECT_EQ(play(level, replay).positions, first.positions);
}

namespace {

// A pad run at 30 frames a second on the flat floor: it lands, walks at 0.8 of full push,
// turns right at 0.3, orbits right at 0.5, jumps, pauses with Start with the right stick
// pushed, looks away from the window, and ends with Back.
constexpr int padRunFrames = 340;
constexpr int padBackFrame = 330;

FrameInput padFrame(int i)
{
    FrameInput input;
    PadInput& pad = input.pad;
    if (i >= 120 && i < 300)
        pad.leftY = -0.8f;
    if (i >= 150 && i < 180)
        pad.leftX = 0.3f;
    if (i >= 160 && i < 190)
        pad.rightX = 0.5f;
    if (i >= 200 && i < 203)
        pad.press(PadButton::A);
    if ((i >= 220 && i < 223) || i == 240 || i == 241)
        pad.press(PadButton::Start);
    if (i >= 220 && i <= 240)
        pad.rightX = 1.0f; // paused, and then the frame that resumes: no turn
    input.focused = !(i >= 260 && i < 270);
    if (i == padBackFrame)
        pad.press(PadButton::Back);
    return input;
}

} // namespace

using PadReplay = PlayFixture;

TEST_F(PadReplay, RecordedPadRunTakesTheSameCourseWhenReplayed)
{
    const std::string path = (dir / "pad.replay").string();
    const std::string level = (dir / "floor.obj").string();
    std::vector<glm::vec3> course;
    std::vector<float> yaws;
    float highest = 0.0f, landed = 0.0f;
    {
        ReplayRecorder recorder;
        std::string error;
        ASSERT_TRUE(recorder.open(path, error)) << error;
        recorder.start(clock);
        lastFrameTime = static_cast<float>(clock);
        for (int i = 0; i < padRunFrames; ++i) {
            clock += 1.0 / 30;
            FrameInput input = padFrame(i);
            input.time = clock;
            recorder.record(input);
            update(input);
            course.push_back(player->position);
            yaws.push_back(camera->yaw);
            if (i == 199)
                landed = player->position.y;
            if (i >= 200 && i < padBackFrame)
                highest = std::max(highest, player->position.y);
        }
    }
    // What the pad did, worked out by hand: 1 s at 0.3 turns 0.3 x 80 = 24 degrees right,
    // 1 s at 0.5 orbits 0.5 x 120 = 60 degrees right, A jumps 6.64 high, and of the 180
    // frames with the stick pushed, 21 paused by Start and 11 away walk nothing (the frames
    // that resume take no time), which leaves 148 frames of 8 / 30 units: 39.47 units.
    EXPECT_NEAR(player->rotation.y, -180.0f - 24.0f, 1e-3f);
    EXPECT_NEAR(camera->yaw, 180.0f - 60.0f, 1e-3f);
    EXPECT_NEAR(highest - landed, 6.64f, 0.05f);
    float walked = 0.0f;
    for (int i = 120; i <= 300; ++i)
        walked += glm::length(glm::vec2(course[i].x - course[i - 1].x, course[i].z - course[i - 1].z));
    EXPECT_NEAR(walked, 39.47f, 0.05f);
    EXPECT_NEAR(course[padBackFrame].x, 0.0f, 1e-4f) << "Back returned to the start";
    EXPECT_NEAR(course[padBackFrame].z, 0.0f, 1e-4f) << "Back returned to the start";

    Replay replay;
    std::string error;
    ASSERT_TRUE(loadReplay(path, replay, error)) << error;
    Course replayed = play(level, replay);
    EXPECT_EQ(replayed.positions, course);
    EXPECT_EQ(replayed.yaws, yaws);
}
