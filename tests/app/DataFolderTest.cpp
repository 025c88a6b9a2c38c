#include "app/DataFolder.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

namespace fs = std::filesystem;

// A scratch tree: a build folder holding the program and its data beside it, and an
// installed prefix with bin/ and share/gorbeck/.
class DataFolder : public testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("gorbeck-data-" + std::to_string(::getpid()));
        fs::remove_all(root);
        makeData(root / "build");
        fs::create_directories(root / "prefix/bin");
        makeData(root / "prefix/share/gorbeck");
    }
    void TearDown() override { fs::remove_all(root); }

    static void makeData(const fs::path& dir)
    {
        fs::create_directories(dir / "shader");
        fs::create_directories(dir / "models");
    }

    // The game installed under `root`/prefix, started as plain "gorbeck" from the PATH.
    datafolder::Places installed() const
    {
        datafolder::Places places;
        places.argv0 = "gorbeck";
        places.executable = (root / "prefix/bin/gorbeck").string();
        places.installedFromBin = "../share/gorbeck";
        places.installed = "/usr/local/share/gorbeck";
        return places;
    }

    fs::path root;
};

TEST_F(DataFolder, IsOneHoldingBothTheShaderAndTheModelsFolders)
{
    EXPECT_TRUE(datafolder::isDataFolder(root / "build"));
    EXPECT_FALSE(datafolder::isDataFolder(root / "prefix/bin"));
    EXPECT_FALSE(datafolder::isDataFolder(root / "missing"));
    EXPECT_FALSE(datafolder::isDataFolder(fs::path()));
    fs::create_directories(root / "half/shader");
    EXPECT_FALSE(datafolder::isDataFolder(root / "half")) << "shader/ without models/";
    // A file named models is no folder of models.
    fs::create_directories(root / "file/shader");
    {
        std::ofstream(root / "file/models") << "x";
    }
    EXPECT_FALSE(datafolder::isDataFolder(root / "file"));
}

TEST_F(DataFolder, AnInstalledGameFindsItsDataUnderTheMovedPrefix)
{
    datafolder::Places places = installed();
    std::vector<fs::path> folders = datafolder::candidates(places);
    // A bare "gorbeck" came from the PATH, so the program's own folder leads.
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], root / "prefix/bin");
    EXPECT_EQ(folders[1], root / "prefix/share/gorbeck");
    EXPECT_EQ(folders[2], fs::path("/usr/local/share/gorbeck"));
    EXPECT_EQ(datafolder::choose(folders), root / "prefix/share/gorbeck");
}

TEST_F(DataFolder, TheBuildTreeUsesTheDataBesideTheProgram)
{
    datafolder::Places places = installed();
    places.argv0 = (root / "build/gorbeck").string();
    places.executable = (root / "build/gorbeck").string();
    std::vector<fs::path> folders = datafolder::candidates(places);
    // The program's folder appears once, though argv[0] and the executable both name it.
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], root / "build");
    EXPECT_EQ(folders[1], root / "share/gorbeck");
    EXPECT_EQ(datafolder::choose(folders), root / "build");
}

// A link to the program inside another tree of data (the fault matrix's broken copies) uses
// that tree, not the one beside the program it links to.
TEST_F(DataFolder, ALinkStartedByPathUsesTheTreeItLiesIn)
{
    makeData(root / "copy");
    datafolder::Places places = installed();
    places.argv0 = (root / "copy/gorbeck").string();
    places.executable = (root / "build/gorbeck").string();
    EXPECT_EQ(datafolder::choose(datafolder::candidates(places)), root / "copy");

    places.argv0 = "./gorbeck";
    std::vector<fs::path> folders = datafolder::candidates(places);
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders[0], fs::path("."));
}

TEST_F(DataFolder, GorbeckDataIsTheOnlyPlaceLookedAtWhenSet)
{
    datafolder::Places places = installed();
    places.dataVariableSet = true;
    places.dataVariable = (root / "build/").string();
    std::vector<fs::path> folders = datafolder::candidates(places);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(datafolder::choose(folders), root / "build/");

    // Named but wrong: nothing else is tried, and the message names it.
    places.dataVariable = (root / "prefix").string();
    folders = datafolder::candidates(places);
    EXPECT_EQ(datafolder::choose(folders), fs::path());
    EXPECT_EQ(datafolder::notFoundMessage(folders),
              "no data folder (one holding shader/ and models/) in " + (root / "prefix").string()
                  + "; set GORBECK_DATA to the folder");
}

TEST_F(DataFolder, NothingFoundSaysEveryPlaceItLookedInOneLine)
{
    fs::remove_all(root / "prefix/share");
    datafolder::Places places = installed();
    std::vector<fs::path> folders = datafolder::candidates(places);
    EXPECT_EQ(datafolder::choose(folders), fs::path());
    std::string expected = "no data folder (one holding shader/ and models/) in " + (root / "prefix/bin").string()
        + ", " + (root / "prefix/share/gorbeck").string()
        + ", /usr/local/share/gorbeck; set GORBECK_DATA to the folder";
    EXPECT_EQ(datafolder::notFoundMessage(folders), expected);
}

TEST(CommandLineFiles, AreTakenRelativeToWhereTheGameStarted)
{
    const char* argv[] = {"gorbeck",
                          "--replay",
                          "demo/lose.replay",
                          "--screenshot",
                          "end=../shots/end.png",
                          "--screenshot",
                          "start=/tmp/start.png"};
    CommandLine options;
    std::string error;
    ASSERT_TRUE(parseCommandLine(7, argv, options, error)) << error;
    datafolder::makeFilesAbsolute(options, "/home/player/gorbeck");
    EXPECT_EQ(options.replayFile, "/home/player/gorbeck/demo/lose.replay");
    ASSERT_EQ(options.screenshots.size(), 2u);
    EXPECT_EQ(options.screenshots[0].path, "/home/player/gorbeck/../shots/end.png");
    EXPECT_EQ(options.screenshots[0].frame, "end");
    EXPECT_EQ(options.screenshots[1].path, "/tmp/start.png");
    // Flags not given stay empty rather than becoming the start directory.
    EXPECT_EQ(options.recordFile, "");
    EXPECT_EQ(options.timedemoFile, "");

    const char* record[] = {"gorbeck", "--record", "run.replay"};
    ASSERT_TRUE(parseCommandLine(3, record, options, error)) << error;
    datafolder::makeFilesAbsolute(options, "/srv");
    EXPECT_EQ(options.recordFile, "/srv/run.replay");

    const char* timedemo[] = {"gorbeck", "--timedemo", "bench/x.replay"};
    ASSERT_TRUE(parseCommandLine(3, timedemo, options, error)) << error;
    datafolder::makeFilesAbsolute(options, "/srv");
    EXPECT_EQ(options.timedemoFile, "/srv/bench/x.replay");
}

} // namespace
