#include "app/Music.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include "tools/gen/Music.h"

// A tune of 0.3 s plays once: it has stopped by itself well within 3 s (the sound library
// plays in real time, on the machine's device or, without one, on SDL's dummy driver).
TEST(Music, PlaysOnceOnThirtyTwoChannelsAndStops)
{
    std::string path = (std::filesystem::temp_directory_path() / "gorbeck-music-test.mp3").string();
    std::vector<float> tone(gen::musicSampleRate * 3 / 10);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = 0.3f * std::sin(6.2831853f * 440.0f * static_cast<float>(i) / gen::musicSampleRate);
    ASSERT_TRUE(gen::writeMp3(path, tone, gen::musicSampleRate));

    Music music;
    music.start(path);
    ASSERT_TRUE(music.playing());
    EXPECT_EQ(Mix_AllocateChannels(-1), 32);
    auto started = std::chrono::steady_clock::now();
    while (music.playing() && std::chrono::steady_clock::now() - started < std::chrono::seconds(3))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(music.playing()) << "still playing after 3 s: it loops";
    music.stop();
    std::filesystem::remove(path);
}
