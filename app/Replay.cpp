#include "app/Replay.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* magic = "gorbeck-replay";
constexpr int version = 1;

constexpr const char* keyNames[keyCount] = {
    "P", "U", "F2", "F3", "F4", "F5", "F6", "F10", "W", "S", "A", "D", "Space", "Enter", "I", "J", "K", "L", "Escape",
};

bool parseKeys(const std::string& text, FrameInput& input)
{
    if (text == "-")
        return true;
    std::stringstream names(text);
    std::string name;
    while (std::getline(names, name, '+')) {
        size_t k = 0;
        while (k < keyCount && name != keyNames[k])
            ++k;
        if (k == keyCount)
            return false;
        input.keys[k] = true;
    }
    return true;
}

// Reads one number and insists that it is finite.
bool readNumber(std::istringstream& in, double& value)
{
    return static_cast<bool>(in >> value) && std::isfinite(value);
}

} // namespace

const char* keyName(Key key)
{
    return keyNames[static_cast<size_t>(key)];
}

bool loadReplay(const std::string& path, Replay& replay, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read the replay " + path + ": " + std::strerror(errno);
        return false;
    }
    replay = Replay();
    std::string line;
    int lineNumber = 0;
    bool haveHeader = false, haveStart = false;
    auto fail = [&](const std::string& why) {
        error = "malformed replay " + path + ", line " + std::to_string(lineNumber) + ": " + why;
        return false;
    };
    while (std::getline(file, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string word;
        in >> word;
        if (!haveHeader) {
            int fileVersion = 0;
            if (word != magic || !(in >> fileVersion))
                return fail("expected \"gorbeck-replay 1\"");
            if (fileVersion != version)
                return fail("version " + std::to_string(fileVersion) + " is not supported (this game reads version 1)");
            haveHeader = true;
        } else if (word == "start") {
            if (haveStart || !readNumber(in, replay.startTime))
                return fail("expected one \"start <seconds>\" line");
            haveStart = true;
        } else if (word == "frame") {
            FrameInput input;
            std::string keys;
            if (!haveStart)
                return fail("a frame before the start line");
            if (!readNumber(in, input.time) || !readNumber(in, input.mouseX) || !readNumber(in, input.mouseY)
                || !(in >> keys))
                return fail("expected \"frame <seconds> <mouse x> <mouse y> <keys>\"");
            if (std::fabs(input.mouseX) > mouseRange || std::fabs(input.mouseY) > mouseRange)
                return fail("the mouse position lies outside -100000 to 100000");
            if (!parseKeys(keys, input))
                return fail("unknown key in \"" + keys + "\"");
            replay.frames.push_back(input);
        } else {
            return fail("unknown line \"" + word + "\"");
        }
        std::string rest;
        if (in >> rest)
            return fail("unexpected \"" + rest + "\" at the end of the line");
    }
    if (!haveHeader || replay.frames.empty()) {
        error = "malformed replay " + path + ": " + (haveHeader ? "it holds no frame" : "the file is empty");
        return false;
    }
    return true;
}

ReplayRecorder::~ReplayRecorder()
{
    if (file)
        std::fclose(file);
}

bool ReplayRecorder::open(const std::string& path, std::string& error)
{
    file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        error = "cannot write the recording " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void ReplayRecorder::start(double startTime)
{
    if (file == nullptr)
        return;
    std::fprintf(file, "%s %d\nstart %.17g\n", magic, version, startTime);
    std::fflush(file);
}

void ReplayRecorder::record(const FrameInput& input)
{
    if (file == nullptr)
        return;
    std::string keys;
    for (size_t k = 0; k < keyCount; ++k) {
        if (!input.keys[k])
            continue;
        if (!keys.empty())
            keys += '+';
        keys += keyNames[k];
    }
    std::fprintf(file, "frame %.17g %.17g %.17g %s\n", input.time, input.mouseX, input.mouseY,
                 keys.empty() ? "-" : keys.c_str());
    std::fflush(file);
}
