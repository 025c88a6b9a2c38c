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

// An installed game started from the PATH leads with its own folder and finds its data under
// the moved prefix; the build tree uses the data beside the program, whose folder appears once
// though argv[0] and the executable both name it; a link to the program inside another tree of
// data (the fault matrix's broken copies) uses that tree, not the one beside the program.
TEST_F(DataFolder, EachWayOfStartingTheGameLooksInItsOwnPlacesFirst)
{
    const fs::path build = root / "build", bin = root / "prefix/bin", share = root / "prefix/share/gorbeck";
    const fs::path configured = "/usr/local/share/gorbeck";
    makeData(root / "copy");
    struct Case {
        std::string argv0;
        fs::path executable;
        std::vector<fs::path> folders;
        fs::path chosen;
    } cases[] = {
        {"gorbeck", bin / "gorbeck", {bin, share, configured}, share},
        {(build / "gorbeck").string(), build / "gorbeck", {build, root / "share/gorbeck", configured}, build},
        {(root / "copy/gorbeck").string(),
         build / "gorbeck",
         {root / "copy", build, root / "share/gorbeck", configured},
         root / "copy"},
    };
    for (const Case& c : cases) {
        datafolder::Places places = installed();
        places.argv0 = c.argv0;
        places.executable = c.executable.string();
        std::vector<fs::path> folders = datafolder::candidates(places);
        EXPECT_EQ(folders, c.folders) << c.argv0;
        EXPECT_EQ(datafolder::choose(folders), c.chosen) << c.argv0;
    }
    datafolder::Places places = installed();
    places.argv0 = "./gorbeck";
    EXPECT_EQ(datafolder::candidates(places).at(0), fs::path("."));
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
    std::vector<fs::path> folders = datafolder::candidates(installed());
    EXPECT_EQ(datafolder::choose(folders), fs::path());
    EXPECT_EQ(datafolder::notFoundMessage(folders),
              "no data folder (one holding shader/ and models/) in " + (root / "prefix/bin").string() + ", "
                  + (root / "prefix/share/gorbeck").string()
                  + ", /usr/local/share/gorbeck; set GORBECK_DATA to the folder");
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
