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
    EXPECT_EQ(header, "gorbeck-replay 1");
    EXPECT_EQ(first, "frame 0.30000000000000004 401.5 299 F10+W+Space");
}

TEST_F(ReplayFile, CommentsBlankLinesAndCrLfAreAccepted)
{
    EXPECT_EQ(errorFor("# made by hand\r\ngorbeck-replay 1\r\n\r\nstart 2\r\nframe 2.5 400 300 W+A\r\n"), "");
}

TEST_F(ReplayFile, MalformedFilesNameTheFileAndLine)
{
    const std::string where = "malformed replay " + path + ", line ";
    EXPECT_EQ(errorFor(""), "malformed replay " + path + ": the file is empty");
    EXPECT_EQ(errorFor("gorbeck-replay 2\n"), where + "1: version 2 is not supported (this game reads version 1)");
    EXPECT_EQ(errorFor("hello\n"), where + "1: expected \"gorbeck-replay 1\"");
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
