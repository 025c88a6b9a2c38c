#include "app/Globals.h"

#include <tuple>

#include "render/Screen.h"

Light* light = nullptr;
Camera* camera = nullptr;
Scene* scene = nullptr;
GLFWwindow* window = nullptr;

// The start values of every run; resetGlobals puts these back.
int gameState = 0;
float lastFrameTime = 0.0f;
int mouseCenterX = screen::centreX;
int mouseCenterY = screen::centreY;
int mouseX = 0;
int mouseY = 0;

bool paused = false;
bool focusLost = false;
bool showFrameRate = false;
bool wireframe = false;
bool linearFiltering = false;
int mipmapMode = 1;
bool useVertexArrays = true;
bool swapInterval = false;
glm::vec3 lastPlayerPosition{0.0f, 0.0f, 0.0f};
KeyLatches keyLatches;

namespace {

// The globals that resetGlobals restores, as one assignable record.
auto resettable()
{
    return std::tie(gameState, lastFrameTime, mouseCenterX, mouseCenterY, mouseX, mouseY, paused, focusLost,
                    showFrameRate, wireframe, linearFiltering, mipmapMode, useVertexArrays, swapInterval,
                    lastPlayerPosition, keyLatches);
}

template <typename... T> std::tuple<T...> copyOf(const std::tuple<T&...>& references)
{
    return references;
}

// Taken while this file's variables are initialised, in the order they are defined, so the
// definitions above are the one place the start values are written.
const auto startValues = copyOf(resettable());

} // namespace

void resetGlobals()
{
    resettable() = startValues;
}
