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

bool Music::openAudio()
{
    if (SDL_Init(0) != 0)
        return false;
    sdlStarted = true;
    if (openDeviceQuietly())
        return true;
    // No usable sound device: the dummy driver plays into nothing, so the game behaves the same.
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0
        && Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS, 2048) == 0;
}

void Music::start(const std::string& path)
{
    audioOpen = openAudio();
    if (!audioOpen)
        return;
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
