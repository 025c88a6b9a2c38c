#include <algorithm>
#include <cmath>

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include "tests/tools/AssetFiles.h"
#include "tools/gen/Music.h"

namespace {

TEST(Music, DecodesToTheComposedLength)
{
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, MIX_DEFAULT_CHANNELS, 2048), 0)
        << Mix_GetError();
    Mix_Music* music = Mix_LoadMUS(runtimePath("sounds/gorbeck.mp3").c_str());
    ASSERT_NE(music, nullptr) << Mix_GetError();
    double seconds = Mix_MusicDuration(music);
    Mix_FreeMusic(music);
    Mix_CloseAudio();
    SDL_Quit();
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 120.0);
    EXPECT_NEAR(seconds, gen::songDurationSeconds(), 0.5);
}

TEST(Music, PlaysThroughoutWithoutClipping)
{
    std::vector<float> song = gen::renderSong();
    ASSERT_NEAR(song.size() / static_cast<double>(gen::musicSampleRate), gen::songDurationSeconds(), 0.01);
    float peak = 0.0f;
    for (float s : song)
        peak = std::max(peak, std::abs(s));
    EXPECT_LE(peak, 1.0f);
    EXPECT_GT(peak, 0.5f);
    // No silent stretch: every two seconds before the last notes fade carry sound.
    const size_t window = 2 * gen::musicSampleRate;
    for (size_t start = 0; start + window < song.size() - 3 * gen::musicSampleRate; start += window) {
        double energy = 0.0;
        for (size_t i = start; i < start + window; ++i)
            energy += static_cast<double>(song[i]) * song[i];
        EXPECT_GT(std::sqrt(energy / window), 0.02) << "quiet at " << start / gen::musicSampleRate << " s";
    }
}

} // namespace
