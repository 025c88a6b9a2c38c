#include "app/MainLoop.h"

#include <iostream>
#include <map>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/FrameUpdate.h"
#include "app/GlfwInput.h"
#include "app/Globals.h"
#include "physics/Gorbeck.h"
#include "render/Display.h"
#include "render/Scene.h"
#include "render/TextManager.h"

namespace {

constexpr double awayFrameSeconds = 0.25;

// Frame numbers (from 1) of the screenshots a replay takes, with their files.
std::map<size_t, std::string> screenshotFrames(const CommandLine& options, size_t frameCount)
{
    std::map<size_t, std::string> frames;
    for (const CommandLine::Screenshot& shot : options.screenshots) {
        size_t frame = 0;
        if (shot.frame == "start")
            frame = 1;
        else if (shot.frame == "mid")
            frame = (frameCount + 1) / 2;
        else if (shot.frame == "end")
            frame = frameCount;
        else
            frame = std::stoul(shot.frame);
        if (frame >= 1 && frame <= frameCount)
            frames[frame] = shot.path;
        else
            std::cerr << "gorbeck: the replay has no frame " << shot.frame << " for " << shot.path << std::endl;
    }
    return frames;
}

} // namespace

void drawFrame()
{
    switch (gameState) {
    case 0:
        scene->renderShadowPass();
        scene->renderCameraPass();
        break;
    case 1:
        scene->textManager->drawEndScreen(TextManager::winImage);
        break;
    default:
        scene->textManager->drawEndScreen(TextManager::loseImage);
        break;
    }
}

void runMainLoop(ReplayRecorder* recorder)
{
    if (recorder)
        recorder->start(lastFrameTime);
    for (;;) {
        FrameInput input = readFrameInput(window);
        if (recorder)
            recorder->record(input);
        applyFrameRequests(window, update(input));
        // Away, the picture cannot change: a frame when the window has events (the focus
        // coming back among them) or four times a second, not one after another.
        if (!input.focused)
            glfwWaitEventsTimeout(awayFrameSeconds);
        drawFrame();
        // Tested after drawing, so the frame in which Escape is first seen is still shown.
        if (escapePressed(window))
            break;
        if (glfwWindowShouldClose(window))
            break;
    }
}

void runReplay(const Replay& replay, const CommandLine& options)
{
    std::map<size_t, std::string> shots = screenshotFrames(options, replay.frames.size());
    lastFrameTime = static_cast<float>(replay.startTime);
    size_t played = 0;
    for (const FrameInput& input : replay.frames) {
        ++played;
        FrameRequests requests = update(input);
        if (requests.swapInterval >= 0)
            glfwSwapInterval(requests.swapInterval);
        // The recorded mouse stands in for the cursor: it is not put back.
        applyDisplayRequests(requests);
        auto shot = shots.find(played);
        bool last = played == replay.frames.size();
        if (shot != shots.end() || last || played % options.drawEvery == 0) {
            if (shot != shots.end())
                display::captureNextFrame(shot->second);
            drawFrame();
        } else {
            glfwPollEvents();
        }
        if (glfwWindowShouldClose(window))
            break;
    }
    const glm::vec3& p = scene->player->position;
    std::cout << "replay: " << played << " frames, player at (" << p.x << ", " << p.y << ", " << p.z << "), gameState "
              << gameState << std::endl;
}
