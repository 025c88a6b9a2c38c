#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/Replay.h"

// Every key name of the replay format, as the README lists it, reads back as that key alone.
TEST(ReplayKeyNames, EachNameReadsAsItsOwnKey)
{
    const std::pair<Key, const char*> names[] = {
        {Key::P, "P"},   {Key::U, "U"},   {Key::F2, "F2"},   {Key::F3, "F3"},       {Key::F4, "F4"},
        {Key::F5, "F5"}, {Key::F6, "F6"}, {Key::F10, "F10"}, {Key::F11, "F11"},     {Key::W, "W"},
        {Key::S, "S"},   {Key::A, "A"},   {Key::D, "D"},     {Key::Space, "Space"}, {Key::Enter, "Enter"},
        {Key::I, "I"},   {Key::J, "J"},   {Key::K, "K"},     {Key::L, "L"},         {Key::Escape, "Escape"},
    };
    ASSERT_EQ(std::size(names), keyCount);
    const std::string path
        = (std::filesystem::temp_directory_path() / ("gorbeck-keynames-" + std::to_string(::getpid()))).string();
    for (const auto& [key, name] : names) {
        EXPECT_STREQ(keyName(key), name);
        std::ofstream(path) << "gorbeck-replay 2\nstart 0\nframe 0.5 400 300 " << name << "\n";
        Replay replay;
        std::string error;
        ASSERT_TRUE(loadReplay(path, replay, error)) << error;
        ASSERT_EQ(replay.frames.size(), 1u);
        for (std::size_t k = 0; k < keyCount; ++k)
            EXPECT_EQ(replay.frames[0].keys[k], k == static_cast<std::size_t>(key)) << name << " sets key " << k;
    }
    std::filesystem::remove(path);
}
