// Feeds loadReplay arbitrary bytes as a replay file. It must either fail with one
// non-empty error line, or return at least one frame whose time and mouse are finite and
// whose pad axes lie within -1 to 1.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "app/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/gorbeck-fuzz-replay-" + std::to_string(getpid()) + ".replay";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Replay replay;
    std::string error;
    const bool loaded = loadReplay(path, replay, error);
    if (!loaded) {
        if (error.empty() || error.find('\n') != std::string::npos || error.find('\r') != std::string::npos) {
            std::fprintf(stderr, "bad error line: \"%s\"\n", error.c_str());
            std::abort();
        }
        return 0;
    }
    if (replay.frames.empty() || !std::isfinite(replay.startTime)) {
        std::fprintf(stderr, "loaded with %zu frames, start %g\n", replay.frames.size(), replay.startTime);
        std::abort();
    }
    for (size_t i = 0; i < replay.frames.size(); ++i) {
        const FrameInput& frame = replay.frames[i];
        if (!std::isfinite(frame.time) || !std::isfinite(frame.mouseX) || !std::isfinite(frame.mouseY)) {
            std::fprintf(stderr, "frame %zu: time %g mouse %g %g\n", i, frame.time, frame.mouseX, frame.mouseY);
            std::abort();
        }
        const PadInput& pad = frame.pad;
        for (float axis : {pad.leftX, pad.leftY, pad.rightX, pad.rightY}) {
            if (!(std::fabs(axis) <= 1.0f)) {
                std::fprintf(stderr, "frame %zu: pad axis %g\n", i, axis);
                std::abort();
            }
        }
    }
    return 0;
}
