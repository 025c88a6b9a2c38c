#include <cstdlib>

#include "app/Startup.h"

int main()
{
    if (!startPlatform())
        return EXIT_FAILURE;
    if (!startWorld()) {
        teardown();
        return EXIT_FAILURE;
    }
    runMainLoop();
    teardown();
    // The scene and everything it holds live until the process ends.
    std::exit(EXIT_SUCCESS);
}
