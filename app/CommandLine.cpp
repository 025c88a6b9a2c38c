#include "app/CommandLine.h"

#include <cstdlib>

namespace {

bool positiveNumber(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return value > 0;
}

} // namespace

const char* usageText()
{
    return "usage: gorbeck [--windowed] [--renderer hardware|software]\n"
           "               [--record FILE | --replay FILE [--draw-every N] [--screenshot FRAME=FILE.png]...\n"
           "               | --timedemo FILE]\n"
           "\n"
           "With no flags the game plays from the keyboard, mouse and gamepad.\n"
           "  --record FILE             write every frame's input to FILE\n"
           "  --replay FILE             play FILE instead of the keyboard, mouse and gamepad, then\n"
           "                            print the frame count, the player's position and the game state\n"
           "  --draw-every N            while replaying, draw only every Nth frame (and the last)\n"
           "  --screenshot FRAME=FILE   while replaying, save frame FRAME as a PNG; FRAME is a frame\n"
           "                            number counted from 1, or start, mid or end\n"
           "  --timedemo FILE           replay FILE drawing every frame as fast as possible, then print\n"
           "                            the frame count, the frame times and the render path taken\n"
           "  --windowed                an 800x600 window instead of full screen\n"
           "  --renderer PATH           draw the way a graphics card (hardware) or a software renderer\n"
           "                            (software) draws fastest, instead of choosing by the GL driver\n"
           "  --help                    print this text\n";
}

bool parseCommandLine(int argc, const char* const* argv, CommandLine& options, std::string& error)
{
    options = CommandLine();
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc || std::string(argv[i + 1]).empty()) {
                error = flag + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        if (flag == "--help" || flag == "-h") {
            options.help = true;
        } else if (flag == "--record") {
            if (!value(options.recordFile))
                return false;
        } else if (flag == "--replay") {
            if (!value(options.replayFile))
                return false;
        } else if (flag == "--timedemo") {
            if (!value(options.timedemoFile))
                return false;
        } else if (flag == "--renderer") {
            std::string path;
            if (!value(path))
                return false;
            if (!rendererChoiceNamed(path, options.renderer)) {
                error = "--renderer needs hardware or software, not \"" + path + "\"";
                return false;
            }
        } else if (flag == "--windowed") {
            options.windowed = true;
        } else if (flag == "--draw-every") {
            std::string n;
            if (!value(n))
                return false;
            if (!positiveNumber(n, options.drawEvery)) {
                error = "--draw-every needs a whole number of 1 or more, not \"" + n + "\"";
                return false;
            }
        } else if (flag == "--screenshot") {
            std::string argument;
            if (!value(argument))
                return false;
            size_t equals = argument.find('=');
            CommandLine::Screenshot shot;
            int frame = 0;
            if (equals != std::string::npos) {
                shot.frame = argument.substr(0, equals);
                shot.path = argument.substr(equals + 1);
            }
            bool namedFrame = shot.frame == "start" || shot.frame == "mid" || shot.frame == "end";
            if (shot.path.empty() || (!namedFrame && !positiveNumber(shot.frame, frame))) {
                error = "--screenshot needs FRAME=FILE, with FRAME a frame number, start, mid or end, not \"" + argument
                    + "\"";
                return false;
            }
            options.screenshots.push_back(shot);
        } else {
            error = "unknown option \"" + flag + "\" (see gorbeck --help)";
            return false;
        }
    }
    int modes = !options.recordFile.empty() + !options.replayFile.empty() + !options.timedemoFile.empty();
    if (modes > 1) {
        error = "--record, --replay and --timedemo cannot be used together";
        return false;
    }
    if (options.replayFile.empty() && (options.drawEvery != 1 || !options.screenshots.empty())) {
        error = "--draw-every and --screenshot work only with --replay";
        return false;
    }
    return true;
}
