#pragma once

#include <string>

typedef struct _Mix_Music Mix_Music;

// Background music through SDL2_mixer. Nothing depends on it: without a sound device or
// a readable file the game runs silently and prints nothing about it.
class Music {
public:
    Music() = default;
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;
    ~Music() = default;

    void start(const std::string& path);
    void stop();
    // Whether the music is still playing (it plays once, then stops by itself).
    bool playing() const;

private:
    void play(const std::string& path);

    bool sdlStarted = false;
    bool audioOpen = false;
    Mix_Music* music = nullptr;
};
