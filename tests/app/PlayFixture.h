#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/Camera.h"
#include "app/FrameUpdate.h"
#include "app/Globals.h"
#include "app/HeadlessGame.h"
#include "app/Light.h"
#include "physics/BulletPhysics.h"
#include "physics/Gorbeck.h"
#include "render/Scene.h"
#include "tests/ObjFiles.h"

// The game's world without GL over a flat floor at y = 0 spanning +-500. Frames run
// through `update` with input records and a fake clock.
class PlayFixture : public testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("gorbeck-play-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::string level = (dir / "floor.obj").string();
        objfile::Writer().quad(objfile::floor(500)).save(level);

        std::string error;
        ASSERT_TRUE(startHeadlessWorld(level, error)) << error;
        player = scene->player;
    }

    void TearDown() override
    {
        stopHeadlessWorld();
        std::filesystem::remove_all(dir);
    }

    // Runs one frame at time `clock` + dt with the given keys down and the mouse at (x, y).
    FrameRequests frame(std::initializer_list<Key> keys = {}, double dt = 1.0 / 60.0, double x = 400, double y = 300)
    {
        FrameInput input;
        for (Key k : keys)
            input.press(k);
        input.mouseX = x;
        input.mouseY = y;
        return run(input, dt);
    }

    // Runs one frame of `input` (its keys, mouse, pad and focus) at time `clock` + dt.
    FrameRequests run(FrameInput input, double dt = 1.0 / 60.0)
    {
        clock += dt;
        input.time = clock;
        return update(input);
    }

    // Lets the character fall onto the floor and settle.
    void land()
    {
        for (int i = 0; i < 120; ++i)
            frame();
    }

    std::filesystem::path dir;
    Gorbeck* player = nullptr;
    double clock = 0.0;
};
