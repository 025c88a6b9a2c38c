#include "app/Replay.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* magic = "gorbeck-replay";
// Version 1 holds keys, mouse and clock; version 2 adds the gamepad, the focus and F11.
constexpr int version = 2;

constexpr const char* keyNames[keyCount] = {
    "P", "U", "F2", "F3",    "F4",    "F5", "F6", "F10", "F11", "W",
    "S", "A", "D",  "Space", "Enter", "I",  "J",  "K",   "L",   "Escape",
};

constexpr const char* padButtonNames[padButtonCount] = {"A", "Start", "Back"};

// Sets the flags named in `text` ("-" or names joined by '+'); false on a name not in `names`.
template <std::size_t N>
bool parseNames(const std::string& text, const char* const (&names)[N], std::array<bool, N>& flags)
{
    if (text == "-")
        return true;
    std::stringstream parts(text);
    std::string name;
    while (std::getline(parts, name, '+')) {
        size_t k = 0;
        while (k < N && name != names[k])
            ++k;
        if (k == N)
            return false;
        flags[k] = true;
    }
    return true;
}

template <std::size_t N> std::string joinNames(const char* const (&names)[N], const std::array<bool, N>& flags)
{
    std::string text;
    for (size_t k = 0; k < N; ++k) {
        if (!flags[k])
            continue;
        if (!text.empty())
            text += '+';
        text += names[k];
    }
    return text.empty() ? "-" : text;
}

// Reads one number and insists that it is finite.
bool readNumber(std::istringstream& in, double& value)
{
    return static_cast<bool>(in >> value) && std::isfinite(value);
}

// Reads one stick axis as a float: a float written with 17 digits reads back exactly.
bool readAxis(std::istringstream& in, float& axis)
{
    double value = 0.0;
    if (!readNumber(in, value))
        return false;
    axis = static_cast<float>(value);
    return true;
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
    int fileVersion = 0;
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
            if (word != magic || !(in >> fileVersion))
                return fail("expected \"gorbeck-replay 1\" or \"gorbeck-replay 2\"");
            if (fileVersion < 1 || fileVersion > version)
                return fail("version " + std::to_string(fileVersion)
                            + " is not supported (this game reads versions 1 and 2)");
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
            if (!parseNames(keys, keyNames, input.keys) || (fileVersion == 1 && input.down(Key::F11)))
                return fail("unknown key in \"" + keys + "\"");
            std::string tail;
            if (fileVersion >= 2 && in >> tail && tail == "pad") {
                PadInput& pad = input.pad;
                std::string buttons;
                if (!readAxis(in, pad.leftX) || !readAxis(in, pad.leftY) || !readAxis(in, pad.rightX)
                    || !readAxis(in, pad.rightY) || !(in >> buttons))
                    return fail("expected \"pad <left x> <left y> <right x> <right y> <buttons>\"");
                for (float axis : {pad.leftX, pad.leftY, pad.rightX, pad.rightY})
                    if (std::fabs(axis) > 1.0f)
                        return fail("a pad axis lies outside -1 to 1");
                if (!parseNames(buttons, padButtonNames, pad.buttons))
                    return fail("unknown pad button in \"" + buttons + "\"");
                tail.clear();
                in >> tail;
            }
            if (tail == "unfocused") {
                input.focused = false;
                tail.clear();
            }
            if (!tail.empty())
                return fail("unexpected \"" + tail + "\" at the end of the line");
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
    std::fprintf(file, "frame %.17g %.17g %.17g %s", input.time, input.mouseX, input.mouseY,
                 joinNames(keyNames, input.keys).c_str());
    // Keyboard frames stay as short as version 1 wrote them.
    const PadInput& pad = input.pad;
    if (!pad.idle())
        std::fprintf(file, " pad %.17g %.17g %.17g %.17g %s", pad.leftX, pad.leftY, pad.rightX, pad.rightY,
                     joinNames(padButtonNames, pad.buttons).c_str());
    if (!input.focused)
        std::fputs(" unfocused", file);
    std::fputc('\n', file);
    std::fflush(file);
}
