#include "app/HugePages.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

const char* const hugePagesTunable = "glibc.malloc.hugetlb=1";

} // namespace

void restartWithHugePages(char** argv)
{
    // Set once, so the restarted game finds it and goes on.
    if (std::getenv("GLIBC_TUNABLES") != nullptr)
        return;
    if (setenv("GLIBC_TUNABLES", hugePagesTunable, 0) != 0)
        return;
    execv("/proc/self/exe", argv);
    // Still here: no restart, so nothing is asked of glibc, and nothing is left for children.
    unsetenv("GLIBC_TUNABLES");
}

bool mallocUsesHugePages()
{
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables == nullptr)
        return false;
    // A colon-separated list of name=value.
    std::istringstream list(tunables);
    bool asked = false;
    for (std::string tunable; std::getline(list, tunable, ':');)
        asked = asked || tunable == hugePagesTunable;
    // The kernel's choice reads "always [madvise] never", the one in effect bracketed.
    std::ifstream modes("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string choice;
    std::getline(modes, choice);
    return asked && !choice.empty() && choice.find("[never]") == std::string::npos;
}
