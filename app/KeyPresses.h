#pragma once

#include <array>

#include "app/FrameInput.h"

// Which keys a frame sees as down. A key is down while it is held, and a key pressed since
// the last frame counts once even when it was let go before the frame looked, so a short
// tap at a low frame rate is not lost. A released key is up on the very next frame.
class KeyPresses {
public:
    // A press reported by the window (repeats of a held key are not presses).
    void pressed(Key key) { pending[static_cast<std::size_t>(key)] = true; }
    // Whether a press of `key` is waiting for the next frame.
    bool waiting(Key key) const { return pending[static_cast<std::size_t>(key)]; }
    // The frame's keys from the keys held now and the presses since the last frame, which
    // are then used up.
    std::array<bool, keyCount> frameKeys(const std::array<bool, keyCount>& held);

private:
    std::array<bool, keyCount> pending{};
};
