#include "app/Globals.h"

Light* light = nullptr;
Camera* camera = nullptr;
Scene* scene = nullptr;
GLFWwindow* window = nullptr;

int gameState = 0;
float lastFrameTime = 0.0f;
int mouseCenterX = 400;
int mouseCenterY = 300;
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

void resetGlobals()
{
    gameState = 0;
    lastFrameTime = 0.0f;
    mouseCenterX = 400;
    mouseCenterY = 300;
    mouseX = mouseY = 0;
    paused = showFrameRate = wireframe = linearFiltering = swapInterval = false;
    mipmapMode = 1;
    useVertexArrays = true;
    lastPlayerPosition = glm::vec3(0.0f);
    keyLatches = KeyLatches();
}
