#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

struct CommandLine;

// The game reads its shaders, models, textures and music relative to its working directory,
// so it first finds the folder that holds them and works inside it: the build tree, an
// installed copy, or one the player names. The pure parts are separate from the one call
// that reads the process's state and changes directory.
namespace datafolder {

// Where the game may look, gathered from the process.
struct Places {
    bool dataVariableSet = false; // GORBECK_DATA is set and not empty
    std::string dataVariable;     // its value
    std::string argv0;            // as the game was started: "./gorbeck", "build/gorbeck", "gorbeck"
    std::string executable;       // the program file itself (/proc/self/exe), links followed
    std::string installedFromBin; // the installed data folder relative to the program's folder
    std::string installed;        // the installed data folder as configured
};

// A data folder holds at least the shader/ and models/ folders.
bool isDataFolder(const std::filesystem::path& dir);

// The folders to try, in order. GORBECK_DATA, when set, is the only one: a folder the player
// names is not silently swapped for another. Otherwise the folder of the program as started
// (a link beside a tree of assets uses that tree), the folder it really lies in (the build
// tree), the installed data folder found from there (wherever the prefix was moved), and the
// installed data folder as configured. Each appears once.
std::vector<std::filesystem::path> candidates(const Places& places);

// The first of `folders` that is a data folder, or an empty path.
std::filesystem::path choose(const std::vector<std::filesystem::path>& folders);

// The one line that says where the game looked, without "gorbeck: ".
std::string notFoundMessage(const std::vector<std::filesystem::path>& folders);

// `file` as named on the command line, taken relative to `start`, the directory the game was
// started in; an empty name stays empty.
std::string absoluteFrom(const std::filesystem::path& start, const std::string& file);

// Every file the command line names, taken relative to `start`.
void makeFilesAbsolute(CommandLine& options, const std::filesystem::path& start);

// Makes the command line's files absolute, finds the data folder and changes into it. On
// failure writes one line to `err` and returns false.
bool enter(CommandLine& options, const char* argv0, std::ostream& err);

} // namespace datafolder
