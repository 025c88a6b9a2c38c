#include "app/Replay.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

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
    FrameInput a;
    a.time = 0.1 + 0.2; // 0.30000000000000004: needs all 17 digits
    a.mouseX = 401.5;
    a.mouseY = 299.0;
    a.press(Key::W);
    a.press(Key::Space);
    a.press(Key::F10);
    FrameInput b;
    b.time = 1.0 / 3.0;
    for (size_t k = 0; k < keyCount; ++k)
        b.keys[k] = true;
    {
        ReplayRecorder recorder;
        std::string error;
        ASSERT_TRUE(recorder.open(path, error)) << error;
        recorder.start(0.123456789012345678);
        recorder.record(a);
        recorder.record(b);
        recorder.record(FrameInput());
    }
    Replay replay;
    std::string error;
    ASSERT_TRUE(loadReplay(path, replay, error)) << error;
    EXPECT_EQ(replay.startTime, 0.123456789012345678);
    ASSERT_EQ(replay.frames.size(), 3u);
    EXPECT_EQ(replay.frames[0].time, a.time);
    EXPECT_EQ(replay.frames[0].mouseX, 401.5);
    EXPECT_EQ(replay.frames[0].keys, a.keys);
    EXPECT_EQ(replay.frames[1].keys, b.keys);
    EXPECT_EQ(replay.frames[1].time, b.time);
    EXPECT_EQ(replay.frames[2].keys, FrameInput().keys);

    std::ifstream text(path);
    std::string header, start, first;
    std::getline(text, header);
    std::getline(text, start);
    std::getline(text, first);
    EXPECT_EQ(header, "gorbeck-replay 2");
    EXPECT_EQ(first, "frame 0.30000000000000004 401.5 299 F10+W+Space");
}

TEST_F(ReplayFile, PadFocusAndF11ReadBackExactly)
{
    FrameInput a;
    a.time = 2.5;
    a.press(Key::F11);
    a.pad.leftX = -0.25f;
    a.pad.leftY = 1.0f;
    a.pad.rightX = 0.3f; // 0.300000011920928955078125 as a float
    a.pad.press(PadButton::A);
    a.pad.press(PadButton::Back);
    a.focused = false;
    FrameInput b;
    b.time = 3.0;
    b.focused = false;
    FrameInput c;
    c.time = 3.5;
    c.pad.rightY = -1.0f / 3.0f;
    c.pad.press(PadButton::Start);
    {
        ReplayRecorder recorder;
        std::string error;
        ASSERT_TRUE(recorder.open(path, error)) << error;
        recorder.start(2.0);
        for (const FrameInput& input : {a, b, c, FrameInput()})
            recorder.record(input);
    }
    std::ifstream text(path);
    std::string line, lines;
    while (std::getline(text, line))
        lines += line + "\n";
    EXPECT_EQ(lines,
              "gorbeck-replay 2\n"
              "start 2\n"
              "frame 2.5 400 300 F11 pad -0.25 1 0.30000001192092896 0 A+Back unfocused\n"
              "frame 3 400 300 - unfocused\n"
              "frame 3.5 400 300 - pad 0 0 0 -0.3333333432674408 Start\n"
              "frame 0 400 300 -\n");

    Replay replay;
    std::string error;
    ASSERT_TRUE(loadReplay(path, replay, error)) << error;
    ASSERT_EQ(replay.frames.size(), 4u);
    const FrameInput* written[] = {&a, &b, &c};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(replay.frames[i].keys, written[i]->keys) << "frame " << i;
        EXPECT_TRUE(replay.frames[i].pad == written[i]->pad) << "frame " << i;
        EXPECT_EQ(replay.frames[i].focused, written[i]->focused) << "frame " << i;
    }
    EXPECT_EQ(replay.frames[0].pad.rightX, 0.3f);
    EXPECT_EQ(replay.frames[2].pad.rightY, -1.0f / 3.0f);
    EXPECT_TRUE(replay.frames[3].pad.idle());
    EXPECT_TRUE(replay.frames[3].focused);
}

TEST_F(ReplayFile, Version1ReadsAsBeforeAndKnowsNothingNewer)
{
    Replay replay;
    std::string error;
    ASSERT_TRUE(
        loadReplay(write("gorbeck-replay 1\nstart 0.5\nframe 0.55 400 300 -\nframe 0.6 412 300 W+A\n"), replay, error))
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

TEST_F(ReplayFile, MalformedPadFieldsAreRejectedWithOneLine)
{
    const std::string where = "malformed replay " + path + ", line 3: ";
    auto frame = [](const std::string& tail) { return "gorbeck-replay 2\nstart 0\nframe 1 400 300 W " + tail + "\n"; };
    const std::string expected = where + "expected \"pad <left x> <left y> <right x> <right y> <buttons>\"";
    EXPECT_EQ(errorFor(frame("pad 0 0 0 A")), expected);
    EXPECT_EQ(errorFor(frame("pad 0 0 0 0")), expected) << "no buttons";
    EXPECT_EQ(errorFor(frame("pad 0 nan 0 0 A")), expected);
    EXPECT_EQ(errorFor(frame("pad 0 0 inf 0 A")), expected);
    EXPECT_EQ(errorFor(frame("pad 0 1.5 0 0 A")), where + "a pad axis lies outside -1 to 1");
    EXPECT_EQ(errorFor(frame("pad 0 0 0 -1.001 -")), where + "a pad axis lies outside -1 to 1");
    EXPECT_EQ(errorFor(frame("pad -1 1 -1 1 A+Start+Back")), "") << "the edges are readings";
    EXPECT_EQ(errorFor(frame("pad 0 0 0 0 A+X")), where + "unknown pad button in \"A+X\"");
    EXPECT_EQ(errorFor(frame("pad 0 0 0 0 A extra")), where + "unexpected \"extra\" at the end of the line");
    EXPECT_EQ(errorFor(frame("pad 0 0 0 0 A pad 0 0 0 0 A")), where + "unexpected \"pad\" at the end of the line");
    EXPECT_EQ(errorFor(frame("unfocused pad 0 0 0 0 A")), where + "unexpected \"pad\" at the end of the line")
        << "the pad comes before the focus";
    EXPECT_EQ(errorFor(frame("unfocused unfocused")), where + "unexpected \"unfocused\" at the end of the line");
}

TEST_F(ReplayFile, CommentsBlankLinesAndCrLfAreAccepted)
{
    EXPECT_EQ(errorFor("# made by hand\r\ngorbeck-replay 1\r\n\r\nstart 2\r\nframe 2.5 400 300 W+A\r\n"), "");
}

TEST_F(ReplayFile, MalformedFilesNameTheFileAndLine)
{
    const std::string where = "malformed replay " + path + ", line ";
    EXPECT_EQ(errorFor(""), "malformed replay " + path + ": the file is empty");
    EXPECT_EQ(errorFor("gorbeck-replay 3\n"),
              where + "1: version 3 is not supported (this game reads versions 1 and 2)");
    EXPECT_EQ(errorFor("gorbeck-replay 0\n"),
              where + "1: version 0 is not supported (this game reads versions 1 and 2)");
    EXPECT_EQ(errorFor("hello\n"), where + "1: expected \"gorbeck-replay 1\" or \"gorbeck-replay 2\"");
    EXPECT_EQ(errorFor("gorbeck-replay 1\nframe 1 400 300 W\n"), where + "2: a frame before the start line");
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe 1 400 W\n"),
              where + "3: expected \"frame <seconds> <mouse x> <mouse y> <keys>\"");
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe 1 400 300 W+Jump\n"), where + "3: unknown key in \"W+Jump\"");
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe nan 400 300 W\n"),
              where + "3: expected \"frame <seconds> <mouse x> <mouse y> <keys>\"");
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe 1 400 300 W extra\n"),
              where + "3: unexpected \"extra\" at the end of the line");
    // Past the range the mouse could never have been; the edge itself is still a reading.
    const std::string outside = "the mouse position lies outside -100000 to 100000";
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe 1 400 1e300 W\n"), where + "3: " + outside);
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe 1 400 300 -\nframe 2 -100000.5 300 -\n"),
              where + "4: " + outside);
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nframe 1 -100000 100000 -\n"), "");
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\n"), "malformed replay " + path + ": it holds no frame");
    EXPECT_EQ(errorFor("gorbeck-replay 1\nstart 0\nstart 1\n"), where + "3: expected one \"start <seconds>\" line");

    Replay replay;
    std::string error;
    EXPECT_FALSE(loadReplay("/nonexistent/dir/x.replay", replay, error));
    EXPECT_EQ(error, "cannot read the replay /nonexistent/dir/x.replay: No such file or directory");
}

// The shipped winning route, played twice through the game's own frame update on the
// generated level, takes the same course frame for frame and ends on the cheese.
TEST(DemoRoute, ReplayingTwiceGivesTheSamePositionsFrameForFrame)
{
    Replay replay;
    std::string error;
    ASSERT_TRUE(loadReplay(std::string(GORBECK_SOURCE_DIR) + "/demo/win.replay", replay, error)) << error;
    std::vector<glm::vec3> first;
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(startHeadlessWorld(std::string(GORBECK_RUNTIME_DIR) + "/models/level.obj", error)) << error;
        lastFrameTime = static_cast<float>(replay.startTime);
        for (size_t i = 0; i < replay.frames.size(); ++i) {
            update(replay.frames[i]);
            if (run == 0)
                first.push_back(scene->player->position);
            else
                ASSERT_EQ(scene->player->position, first[i]) << "frame " << i + 1;
        }
        EXPECT_EQ(gameState, 1);
        stopHeadlessWorld();
    }
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
    ASSERT_EQ(replay.frames.size(), course.size());
    stopHeadlessWorld();
    ASSERT_TRUE(startHeadlessWorld(level, error)) << error;
    lastFrameTime = static_cast<float>(replay.startTime);
    for (size_t i = 0; i < replay.frames.size(); ++i) {
        update(replay.frames[i]);
        ASSERT_EQ(scene->player->position, course[i]) << "frame " << i + 1;
        ASSERT_EQ(camera->yaw, yaws[i]) << "frame " << i + 1;
    }
}
