#include "app/GlfwInput.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/Gamepad.h"
#include "app/Globals.h"
#include "app/KeyPresses.h"
#include "objects/TextureLibrary.h"
#include "render/Scene.h"
#include "render/Screen.h"

namespace {

// The game's keys by name, in the order of Key.
constexpr int glfwKeys[keyCount] = {
    GLFW_KEY_P,     GLFW_KEY_U,   GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5,     GLFW_KEY_F6,
    GLFW_KEY_F10,   GLFW_KEY_F11, GLFW_KEY_W,  GLFW_KEY_S,  GLFW_KEY_A,  GLFW_KEY_D,      GLFW_KEY_SPACE,
    GLFW_KEY_ENTER, GLFW_KEY_I,   GLFW_KEY_J,  GLFW_KEY_K,  GLFW_KEY_L,  GLFW_KEY_ESCAPE,
};

KeyPresses presses;
bool hasFocus = true;
bool iconified = false;
// Where the window stood before it went full screen; unknown when the game started there.
bool haveWindowPlace = false;
int windowX = 0, windowY = 0;

void onKey(GLFWwindow*, int key, int, int action, int)
{
    if (action != GLFW_PRESS)
        return;
    for (std::size_t k = 0; k < keyCount; ++k)
        if (glfwKeys[k] == key)
            presses.pressed(static_cast<Key>(k));
}

void onFocus(GLFWwindow*, int focused)
{
    hasFocus = focused == GLFW_TRUE;
}

void onIconify(GLFWwindow*, int isIconified)
{
    iconified = isIconified == GLFW_TRUE;
}

void onJoystick(int jid, int event)
{
    if (event == GLFW_DISCONNECTED) {
        // The name is still there while this callback runs.
        const char* name = glfwGetJoystickName(jid);
        std::cout << "Gamepad or joystick " << jid + 1 << " disconnected: " << (name ? name : "(no name)") << std::endl;
    } else if (glfwJoystickIsGamepad(jid)) {
        std::cout << "Gamepad " << jid + 1 << " connected: " << glfwGetGamepadName(jid) << std::endl;
    } else {
        const char* name = glfwGetJoystickName(jid);
        std::cout << "Joystick " << jid + 1 << " connected without a gamepad mapping: " << (name ? name : "(no name)")
                  << " (" << glfwGetJoystickGUID(jid) << "); SDL_GAMECONTROLLERCONFIG can give it one" << std::endl;
    }
}

std::string glfwReason()
{
    const char* description = nullptr;
    glfwGetError(&description);
    return description ? description : "no reason given";
}

// The first connected joystick that GLFW knows as a gamepad, read now; all zero without one.
PadInput readPad()
{
    for (int jid = GLFW_JOYSTICK_1; jid <= GLFW_JOYSTICK_LAST; ++jid) {
        GLFWgamepadstate state;
        if (!glfwJoystickIsGamepad(jid) || !glfwGetGamepadState(jid, &state))
            continue;
        const float axes[4] = {state.axes[GLFW_GAMEPAD_AXIS_LEFT_X], state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y],
                               state.axes[GLFW_GAMEPAD_AXIS_RIGHT_X], state.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y]};
        return gamepad::padFromReading(axes, state.buttons[GLFW_GAMEPAD_BUTTON_A] == GLFW_PRESS,
                                       state.buttons[GLFW_GAMEPAD_BUTTON_START] == GLFW_PRESS,
                                       state.buttons[GLFW_GAMEPAD_BUTTON_BACK] == GLFW_PRESS);
    }
    return PadInput();
}

// Full screen on the primary monitor, or an ordinary window, at 800x600 either way.
void switchScreen(GLFWwindow* window)
{
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (glfwGetWindowMonitor(window) != nullptr) {
        glfwSetWindowMonitor(window, nullptr, windowX, windowY, screen::width, screen::height, GLFW_DONT_CARE);
        // Started full screen: the window goes to the middle of the monitor's own mode, which
        // is back once the window has left it.
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (!haveWindowPlace && mode != nullptr)
            glfwSetWindowPos(window, std::max(0, (mode->width - screen::width) / 2),
                             std::max(0, (mode->height - screen::height) / 2));
    } else if (monitor != nullptr) {
        glfwGetWindowPos(window, &windowX, &windowY);
        haveWindowPlace = true;
        glfwSetWindowMonitor(window, monitor, 0, 0, screen::width, screen::height, GLFW_DONT_CARE);
    } else {
        std::cerr << "gorbeck: cannot go full screen: " << glfwReason() << std::endl;
        return;
    }
    // Where no window manager runs, a window that changes its place is not focused by itself.
    glfwFocusWindow(window);
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    std::cout << (glfwGetWindowMonitor(window) ? "Full screen" : "Window") << ", " << width << "x" << height
              << std::endl;
}

} // namespace

void watchInput(GLFWwindow* window)
{
    glfwSetKeyCallback(window, onKey);
    glfwSetWindowFocusCallback(window, onFocus);
    glfwSetWindowIconifyCallback(window, onIconify);
    // A window that has not got the focus yet waits for it like one that lost it.
    hasFocus = glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE;
    iconified = glfwGetWindowAttrib(window, GLFW_ICONIFIED) == GLFW_TRUE;

    // GLFW's own mappings know the common pads; SDL's variable names others, as SDL games take it.
    const char* mappings = std::getenv("SDL_GAMECONTROLLERCONFIG");
    if (mappings != nullptr && *mappings != '\0' && glfwUpdateGamepadMappings(mappings) == GLFW_FALSE)
        std::cerr << "gorbeck: the gamepad mappings in SDL_GAMECONTROLLERCONFIG were not taken: " << glfwReason()
                  << std::endl;
    glfwSetJoystickCallback(onJoystick);
    for (int jid = GLFW_JOYSTICK_1; jid <= GLFW_JOYSTICK_LAST; ++jid)
        if (glfwJoystickPresent(jid))
            onJoystick(jid, GLFW_CONNECTED);
}

FrameInput readFrameInput(GLFWwindow* window)
{
    FrameInput input;
    std::array<bool, keyCount> held{};
    for (std::size_t k = 0; k < keyCount; ++k)
        held[k] = glfwGetKey(window, glfwKeys[k]) == GLFW_PRESS;
    input.keys = presses.frameKeys(held);
    glfwGetCursorPos(window, &input.mouseX, &input.mouseY);
    input.time = glfwGetTime();
    input.pad = readPad();
    input.focused = hasFocus && !iconified;
    return input;
}

void applyDisplayRequests(const FrameRequests& requests)
{
    if (requests.wireframe >= 0)
        scene->setWireframe(requests.wireframe == 1);
    if (requests.setFilter) {
        TextureLibrary& library = *scene->textureLibrary;
        library.applyFilter(library.getTextureIds(), requests.minification, requests.magnification);
    }
}

void applyFrameRequests(GLFWwindow* window, const FrameRequests& requests)
{
    applyDisplayRequests(requests);
    if (requests.swapInterval >= 0)
        glfwSwapInterval(requests.swapInterval);
    if (requests.switchScreen)
        switchScreen(window);
    if (requests.cursor >= 0)
        glfwSetInputMode(window, GLFW_CURSOR, requests.cursor == 1 ? GLFW_CURSOR_DISABLED : GLFW_CURSOR_NORMAL);
    // After taking the cursor again, which puts it in the window's middle itself.
    if (requests.recenterMouse)
        glfwSetCursorPos(window, mouseCenterX, mouseCenterY);
}

bool escapePressed(GLFWwindow* window)
{
    return glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS || presses.waiting(Key::Escape);
}
