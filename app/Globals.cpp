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
