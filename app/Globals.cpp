#include "app/Globals.h"

#include "render/Screen.h"

namespace {

// What every run starts with, and what resetGlobals puts back: each value written once.
struct StartValues {
    int gameState = 0;
    float lastFrameTime = 0.0f;
    int mouseCenterX = screen::centreX;
    int mouseCenterY = screen::centreY;
    int mouseX = 0;
    int mouseY = 0;
    bool paused = false;
    bool showFrameRate = false;
    bool wireframe = false;
    bool linearFiltering = false;
    int mipmapMode = 1;
    bool useVertexArrays = true;
    bool swapInterval = false;
    glm::vec3 lastPlayerPosition{0.0f, 0.0f, 0.0f};
    KeyLatches keyLatches;
};

const StartValues start;

} // namespace

Light* light = nullptr;
Camera* camera = nullptr;
Scene* scene = nullptr;
GLFWwindow* window = nullptr;

int gameState = start.gameState;
float lastFrameTime = start.lastFrameTime;
int mouseCenterX = start.mouseCenterX;
int mouseCenterY = start.mouseCenterY;
int mouseX = start.mouseX;
int mouseY = start.mouseY;

bool paused = start.paused;
bool showFrameRate = start.showFrameRate;
bool wireframe = start.wireframe;
bool linearFiltering = start.linearFiltering;
int mipmapMode = start.mipmapMode;
bool useVertexArrays = start.useVertexArrays;
bool swapInterval = start.swapInterval;
glm::vec3 lastPlayerPosition = start.lastPlayerPosition;
KeyLatches keyLatches = start.keyLatches;

void resetGlobals()
{
    gameState = start.gameState;
    lastFrameTime = start.lastFrameTime;
    mouseCenterX = start.mouseCenterX;
    mouseCenterY = start.mouseCenterY;
    mouseX = start.mouseX;
    mouseY = start.mouseY;
    paused = start.paused;
    showFrameRate = start.showFrameRate;
    wireframe = start.wireframe;
    linearFiltering = start.linearFiltering;
    mipmapMode = start.mipmapMode;
    useVertexArrays = start.useVertexArrays;
    swapInterval = start.swapInterval;
    lastPlayerPosition = start.lastPlayerPosition;
    keyLatches = start.keyLatches;
}
