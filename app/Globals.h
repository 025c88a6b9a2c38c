#pragma once

#include <glm/glm.hpp>

class Camera;
class Light;
class Scene;
struct GLFWwindow;

// The process-wide state that start-up creates and the frame update and main loop share.
extern Light* light;
extern Camera* camera;
extern Scene* scene;
extern GLFWwindow* window;

extern int gameState; // 0 playing, 1 won, -1 lost
extern float lastFrameTime;
extern int mouseCenterX;
extern int mouseCenterY;
extern int mouseX;
extern int mouseY;

// Display modes, switched by the function keys.
extern bool paused;
extern bool focusLost; // the window lost the focus: the game waits for it as if paused
extern bool showFrameRate;
extern bool wireframe;
extern bool linearFiltering;
extern int mipmapMode; // 0 off, 1 nearest mipmap level, 2 linear blend of levels
extern bool useVertexArrays;
extern bool swapInterval;
extern glm::vec3 lastPlayerPosition;

// One latch per toggle key or button: set while it is down, so a held one toggles once.
struct KeyLatches {
    bool f2 = false, f3 = false, f4 = false, f5 = false, f6 = false, f10 = false, f11 = false;
    bool padStart = false;
};
extern KeyLatches keyLatches;

// Puts the game state, the mouse centre, the display modes and the latches back to their
// start values (the light, camera, scene and window pointers are left alone).
void resetGlobals();
