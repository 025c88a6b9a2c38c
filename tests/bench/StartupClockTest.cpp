#include "bench/StartupClock.h"

#include <chrono>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace {

// A stat line whose fields after the name are "S" then 4, 5, 6, ...: field n holds n + 1, so
// the start time, field 22, reads 23 unless a test puts its own value there.
std::string statLine(const std::string& name, const std::string& startTicks = "23")
{
    std::string line = "4242 (" + name + ") S";
    for (int field = 4; field <= 30; ++field)
        line += " " + (field == 22 ? startTicks : std::to_string(field + 1));
    return line;
}

} // namespace

TEST(StartupClock, StartTimeIsTheTwentySecondFieldWhateverTheProgramIsCalled)
{
    std::string shortLine = statLine("gorbeck");
    shortLine.resize(shortLine.find(" 23 "));
    const std::pair<std::string, std::optional<long long>> cases[] = {
        {statLine("gorbeck", "8675309"), 8675309},
        // Spaces would shift a field count made from the start of the line, and a parenthesis
        // in the name would end it early for a search from the left.
        {statLine("a b) S 9 (c", "8675309"), 8675309},
        {statLine("gorbeck"), 23},
        {"", std::nullopt},
        {"4242 gorbeck S 1 2 3", std::nullopt},
        {statLine("gorbeck", "soon"), std::nullopt},
        {statLine("gorbeck", "-5"), std::nullopt},
        {shortLine, std::nullopt},
    };
    for (const auto& [line, ticks] : cases)
        EXPECT_EQ(startupclock::startTicksFromStat(line), ticks) << line;
}

TEST(StartupClock, FirstStepRunsFromTheGivenStartWithCpuFromZero)
{
    // CPU spent before start() belongs to the first step too.
    volatile double sink = 0.0;
    while (startupclock::processCpuMilliseconds() < 100.0)
        sink = sink + 1.0;
    startupclock::start(std::chrono::steady_clock::now() - std::chrono::seconds(2));
    startupclock::mark("first");
    startupclock::mark("second");
    const auto& steps = startupclock::steps();
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].name, "first");
    EXPECT_GE(steps[0].wallMilliseconds, 2000.0);
    EXPECT_LT(steps[1].wallMilliseconds, 1000.0);
    EXPECT_GE(steps[0].cpuMilliseconds, 100.0);
    EXPECT_LT(steps[1].cpuMilliseconds, 100.0);
}
