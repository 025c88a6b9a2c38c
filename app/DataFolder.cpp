#include "app/DataFolder.h"

#include <cstdlib>
#include <system_error>

#include "app/CommandLine.h"

namespace datafolder {

namespace fs = std::filesystem;

bool isDataFolder(const fs::path& dir)
{
    std::error_code ec;
    return !dir.empty() && fs::is_directory(dir / "shader", ec) && fs::is_directory(dir / "models", ec);
}

std::vector<fs::path> candidates(const Places& places)
{
    if (places.dataVariableSet)
        return {fs::path(places.dataVariable).lexically_normal()};
    std::vector<fs::path> folders;
    auto add = [&](const fs::path& folder) {
        if (folder.empty())
            return;
        fs::path normal = folder.lexically_normal();
        for (const fs::path& known : folders)
            if (known == normal)
                return;
        folders.push_back(normal);
    };
    // A bare name was found on PATH, which says nothing about where the program lies.
    if (places.argv0.find('/') != std::string::npos)
        add(fs::path(places.argv0).parent_path());
    if (!places.executable.empty()) {
        fs::path programFolder = fs::path(places.executable).parent_path();
        add(programFolder);
        if (!places.installedFromBin.empty())
            add(programFolder / places.installedFromBin);
    }
    add(places.installed);
    return folders;
}

fs::path choose(const std::vector<fs::path>& folders)
{
    for (const fs::path& folder : folders)
        if (isDataFolder(folder))
            return folder;
    return {};
}

std::string notFoundMessage(const std::vector<fs::path>& folders)
{
    std::string message = "no data folder (one holding shader/ and models/) in";
    for (size_t i = 0; i < folders.size(); ++i)
        message += (i == 0 ? " " : ", ") + folders[i].string();
    if (folders.empty())
        message += " any place";
    return message + "; set GORBECK_DATA to the folder";
}

std::string absoluteFrom(const fs::path& start, const std::string& file)
{
    if (file.empty())
        return file;
    fs::path path(file);
    return path.is_absolute() ? file : (start / path).string();
}

void makeFilesAbsolute(CommandLine& options, const fs::path& start)
{
    for (std::string* file : {&options.recordFile, &options.replayFile, &options.timedemoFile})
        *file = absoluteFrom(start, *file);
    for (CommandLine::Screenshot& shot : options.screenshots)
        shot.path = absoluteFrom(start, shot.path);
}

bool enter(CommandLine& options, const char* argv0, std::ostream& err)
{
    std::error_code ec;
    fs::path start = fs::current_path(ec);
    if (ec) {
        err << "gorbeck: cannot tell the working directory: " << ec.message() << std::endl;
        return false;
    }
    makeFilesAbsolute(options, start);

    Places places;
    const char* variable = std::getenv("GORBECK_DATA");
    places.dataVariableSet = variable != nullptr && *variable != '\0';
    places.dataVariable = places.dataVariableSet ? variable : "";
    places.argv0 = argv0 != nullptr ? argv0 : "";
    places.executable = fs::read_symlink("/proc/self/exe", ec).string();
    places.installedFromBin = GORBECK_DATA_FROM_BINDIR;
    places.installed = GORBECK_INSTALLED_DATA_DIR;

    std::vector<fs::path> folders = candidates(places);
    fs::path folder = choose(folders);
    if (folder.empty()) {
        err << "gorbeck: " << notFoundMessage(folders) << std::endl;
        return false;
    }
    fs::current_path(folder, ec);
    if (ec) {
        err << "gorbeck: cannot work in the data folder " << folder.string() << ": " << ec.message() << std::endl;
        return false;
    }
    return true;
}

} // namespace datafolder
