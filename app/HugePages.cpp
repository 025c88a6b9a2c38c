#include "app/HugePages.h"

#include <cstdlib>

#include <unistd.h>

void restartWithHugePages(char** argv)
{
    // Set once, so the restarted game finds it and goes on.
    if (std::getenv("GLIBC_TUNABLES") != nullptr)
        return;
    if (setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 0) != 0)
        return;
    execv("/proc/self/exe", argv);
    // Still here: no restart, so nothing is asked of glibc, and nothing is left for children.
    unsetenv("GLIBC_TUNABLES");
}
