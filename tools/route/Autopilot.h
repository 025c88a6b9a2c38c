#pragma once

#include <vector>

#include "app/Replay.h"

// Plays the game the way a person would: turns towards the next point with A and D, walks
// with W once it faces it, jumps where a point asks for it, and keeps the camera behind the
// mouse with the mouse. Every frame goes through the game's own frame update at a fixed
// frame time, and every input record is kept, so the run can be saved as a replay.
// Needs a started world (startHeadlessWorld).
class Autopilot {
public:
    struct Goal {
        float x, z;
        bool jump; // jump on reaching this point, towards the next
    };

    Autopilot(std::vector<Goal> goals, double frameTime, double startTime);

    // Stands still for `settleFrames`, steers until the game is won or lost, the goals are
    // reached or `maxSeconds` have passed, then stands for one more second so the end shows.
    // Returns the final game state.
    int run(int settleFrames, double maxSeconds);

    const Replay& replay() const { return recorded; }
    double seconds() const { return clock - recorded.startTime; }
    float lowestHeight() const { return lowest; }

private:
    FrameInput steer();
    void step(FrameInput input);

    std::vector<Goal> goals;
    double frameTime;
    double clock;
    Replay recorded;
    size_t next = 0;
    int jumpFrames = 0;
    float lowest = 1e30f;
};
