#include "app/MemoryWarmer.h"
#include "app/HugePages.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace {

constexpr std::size_t mib = std::size_t{1} << 20;

// This process's resident memory, from /proc/self/status ("VmRSS:   123456 kB").
std::size_t residentBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoul(line.substr(6)) * 1024;
    return 0;
}

std::string kernelHugePageChoice()
{
    std::ifstream modes("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string choice;
    std::getline(modes, choice);
    return choice;
}

// Sets GLIBC_TUNABLES for one test and puts the old value back.
class Tunables {
public:
    explicit Tunables(const char* value)
    {
        if (const char* old = std::getenv("GLIBC_TUNABLES"))
            saved = old;
        if (value)
            setenv("GLIBC_TUNABLES", value, 1);
        else
            unsetenv("GLIBC_TUNABLES");
    }
    ~Tunables()
    {
        if (saved)
            setenv("GLIBC_TUNABLES", saved->c_str(), 1);
        else
            unsetenv("GLIBC_TUNABLES");
    }

private:
    std::optional<std::string> saved;
};

} // namespace

TEST(MemoryWarmer, WarmedMemoryIsResidentUntilHandedBack)
{
    const std::size_t before = residentBytes();
    MemoryWarmer warmer;
    warmer.start(64 * mib);
    EXPECT_EQ(warmer.finish(), 64 * mib);
    // Every page was touched, so all 64 MiB count as resident; the slack is for the test's own
    // allocations, which are far smaller.
    EXPECT_GE(residentBytes(), before + 60 * mib);
    warmer.release();
    // Handed back, all 64 MiB leave. What may stay is far less: the thread's stack and, in a
    // sanitizer build, the 8 MiB of shadow that describes the region.
    EXPECT_LE(residentBytes(), before + 32 * mib);
    // Released is released: a second call, and the destructor after it, find nothing to do.
    warmer.release();
    EXPECT_EQ(warmer.finish(), 64 * mib);
}

TEST(MemoryWarmer, SecondStartIsIgnoredWhileTheFirstIsHeld)
{
    const std::size_t before = residentBytes();
    MemoryWarmer warmer;
    warmer.start(16 * mib);
    warmer.start(128 * mib);
    EXPECT_EQ(warmer.finish(), 16 * mib);
    EXPECT_LT(residentBytes(), before + 64 * mib);
}

TEST(HugePages, AskedOnlyThroughTheTunableThatTheRestartSets)
{
    // The kernel's own setting decides as well: where it never grants huge pages, nothing is asked.
    const std::string choice = kernelHugePageChoice();
    const bool granted = !choice.empty() && choice.find("[never]") == std::string::npos;
    {
        Tunables t(nullptr);
        EXPECT_FALSE(mallocUsesHugePages());
    }
    {
        Tunables t("glibc.malloc.hugetlb=1");
        EXPECT_EQ(mallocUsesHugePages(), granted);
    }
    {
        Tunables t("glibc.malloc.check=3:glibc.malloc.hugetlb=1");
        EXPECT_EQ(mallocUsesHugePages(), granted);
    }
    {
        Tunables t("glibc.malloc.hugetlb=0");
        EXPECT_FALSE(mallocUsesHugePages());
    }
    {
        Tunables t("");
        EXPECT_FALSE(mallocUsesHugePages());
    }
}
