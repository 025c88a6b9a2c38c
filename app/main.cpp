#include <cstdlib>

#include "app/Startup.h"

int main()
{
    if (!startPlatform())
        return EXIT_FAILURE;
    startWorld();
    runMainLoop();
    teardown();
    // The scene and everything it holds live until the process ends.
    std::exit(EXIT_SUCCESS);
}
