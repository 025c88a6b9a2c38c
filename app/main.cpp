#include <cstdlib>
#include <iostream>

#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/MainLoop.h"
#include "app/Replay.h"
#include "app/Startup.h"
#include "app/Timedemo.h"

int main(int argc, char** argv)
{
    CommandLine options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) {
        std::cerr << "gorbeck: " << error << std::endl;
        return 2;
    }
    if (options.help) {
        std::cout << usageText();
        return EXIT_SUCCESS;
    }
    if (!datafolder::enter(options, argv[0], std::cerr))
        return EXIT_FAILURE;
    // Bad files are found before any window opens.
    Replay replay;
    const std::string& playFile = options.timedemoFile.empty() ? options.replayFile : options.timedemoFile;
    if (!playFile.empty() && !loadReplay(playFile, replay, error)) {
        std::cerr << "gorbeck: " << error << std::endl;
        return 2;
    }
    ReplayRecorder recorder;
    if (!options.recordFile.empty() && !recorder.open(options.recordFile, error)) {
        std::cerr << "gorbeck: " << error << std::endl;
        return 2;
    }

    if (!startPlatform(options.windowed, options.renderer))
        return EXIT_FAILURE;
    if (!startWorld()) {
        teardown();
        return EXIT_FAILURE;
    }
    if (!options.timedemoFile.empty())
        runTimedemo(replay);
    else if (!options.replayFile.empty())
        runReplay(replay, options);
    else
        runMainLoop(options.recordFile.empty() ? nullptr : &recorder);
    teardown();
    // The scene and everything it holds live until the process ends.
    std::exit(EXIT_SUCCESS);
}
