#include <cstdlib>
#include <iostream>

#include "app/CommandLine.h"
#include "app/MainLoop.h"
#include "app/Replay.h"
#include "app/Startup.h"

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
    // Bad files are found before any window opens.
    Replay replay;
    if (!options.replayFile.empty() && !loadReplay(options.replayFile, replay, error)) {
        std::cerr << "gorbeck: " << error << std::endl;
        return 2;
    }
    ReplayRecorder recorder;
    if (!options.recordFile.empty() && !recorder.open(options.recordFile, error)) {
        std::cerr << "gorbeck: " << error << std::endl;
        return 2;
    }

    if (!startPlatform())
        return EXIT_FAILURE;
    if (!startWorld()) {
        teardown();
        return EXIT_FAILURE;
    }
    if (options.replayFile.empty())
        runMainLoop(options.recordFile.empty() ? nullptr : &recorder);
    else
        runReplay(replay, options);
    teardown();
    // The scene and everything it holds live until the process ends.
    std::exit(EXIT_SUCCESS);
}
