#include "app/Music.h"

#include <cstdio>

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int channels = 32;

// ALSA prints to standard error when no device can be opened; the console is the game's
// own, so that noise is kept out of it while the device is tried.
bool openDeviceQuietly()
{
    std::fflush(stderr);
    int savedStderr = dup(STDERR_FILENO);
    int devNull = open("/dev/null", O_WRONLY);
    if (savedStderr >= 0 && devNull >= 0)
        dup2(devNull, STDERR_FILENO);
    bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0
        && Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS, 2048) == 0;
    if (savedStderr >= 0 && devNull >= 0)
        dup2(savedStderr, STDERR_FILENO);
    if (devNull >= 0)
        close(devNull);
    if (savedStderr >= 0)
        close(savedStderr);
    return opened;
}

} // namespace

void Music::start(const std::string& path)
{
    // SDL would catch SIGINT and SIGTERM to queue a quit event that this game never reads, so
    // neither Ctrl-C nor kill would end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(0) != 0)
        return;
    sdlStarted = true;
    if (openDeviceQuietly()) {
        audioOpen = true;
        play(path);
        return;
    }
    // No usable sound device: the dummy driver plays into nothing, so the game behaves the
    // same. Closing SDL's ALSA driver waits up to a tenth of a second for its device watcher.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    audioOpen = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0
        && Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS, 2048) == 0;
    if (audioOpen)
        play(path);
}

void Music::play(const std::string& path)
{
    Mix_AllocateChannels(channels);
    music = Mix_LoadMUS(path.c_str());
    if (music)
        Mix_PlayMusic(music, 0); // 0: play once, no loop
}

bool Music::playing() const
{
    return music != nullptr && Mix_PlayingMusic() != 0;
}

void Music::stop()
{
    if (music) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
        music = nullptr;
    }
    if (audioOpen) {
        Mix_CloseAudio();
        audioOpen = false;
    }
    if (sdlStarted) {
        Mix_Quit();
        SDL_Quit();
        sdlStarted = false;
    }
}
