#pragma once

#include <array>
#include <cstddef>

#include "render/Screen.h"

// Everything the frame update reads from the platform, captured once per frame: the keys
// the game uses, the mouse position, the gamepad, whether the window has the focus and the
// time. The GLFW layer fills it from the window; tests and replays fill it themselves.
enum class Key : std::size_t {
    P,
    U,
    F2,
    F3,
    F4,
    F5,
    F6,
    F10,
    F11,
    W,
    S,
    A,
    D,
    Space,
    Enter,
    I,
    J,
    K,
    L,
    Escape,
};
constexpr std::size_t keyCount = static_cast<std::size_t>(Key::Escape) + 1;

// The farthest a mouse reading may lie from the window's corner, in pixels. The cursor is
// re-centred every frame, so real readings stay far inside it.
constexpr double mouseRange = 100000.0;

// The gamepad buttons the game uses, by their names in GLFW's standard layout.
enum class PadButton : std::size_t {
    A,
    Start,
    Back,
};
constexpr std::size_t padButtonCount = static_cast<std::size_t>(PadButton::Back) + 1;

// The first connected gamepad as the frame saw it, or all zero without one. Stick axes run
// from -1 to 1, right and down positive as GLFW reports them, with the dead zones already
// taken out, so a stick at rest reads exactly 0.
struct PadInput {
    float leftX = 0.0f;
    float leftY = 0.0f;
    float rightX = 0.0f;
    float rightY = 0.0f;
    std::array<bool, padButtonCount> buttons{};

    bool down(PadButton button) const { return buttons[static_cast<std::size_t>(button)]; }
    void press(PadButton button, bool isDown = true) { buttons[static_cast<std::size_t>(button)] = isDown; }
    bool idle() const { return *this == PadInput(); }
    bool operator==(const PadInput& other) const = default;
};

struct FrameInput {
    std::array<bool, keyCount> keys{};
    double mouseX = screen::centreX;
    double mouseY = screen::centreY;
    double time = 0.0; // seconds since the window library started
    PadInput pad;
    bool focused = true; // the window has the keyboard focus and is not iconified

    bool down(Key key) const { return keys[static_cast<std::size_t>(key)]; }
    void press(Key key, bool isDown = true) { keys[static_cast<std::size_t>(key)] = isDown; }
};

// What the frame update asks of the platform once it has run: the rules themselves make
// no GL or window call.
struct FrameRequests {
    bool recenterMouse = false; // put the cursor back to the mouse centre
    int swapInterval = -1;      // 0 or 1 to change the swap interval; -1 leaves it
    int wireframe = -1;         // 1 to draw polygons as lines, 0 filled; -1 leaves them
    bool setFilter = false;     // give every texture the two filters below
    int minification = 0;       // GL filter names, as the texture library takes them
    int magnification = 0;
    int cursor = -1;           // 1 to hide and lock the cursor, 0 to give it back; -1 leaves it
    bool switchScreen = false; // between full screen and a window
};
