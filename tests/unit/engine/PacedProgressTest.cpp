// A long loop's progress on the simulated machine's clock (a millisecond per
// reading, plus what each step is made to take): the bar moves and messages
// are pumped during the loop, never more often than the interval, and the end
// is always shown once.
#ifndef _WIN32
#include <algorithm>

#include "EngineTestSupport.h"
#include "PacedProgress.h"
#include "VnFileSystem.h"

namespace {
using PacedProgressTest = EngineTest;

TEST_F(PacedProgressTest, ShowsAtAStepsPaceAndAlwaysTheEnd) {
    const struct {
        const char* what;
        int steps;
        uint64_t millisecondsPerStep;
        size_t fewestShown, mostShown;
    } cases[] = {
        {"a few quick steps: only the end", 5, 0, 1, 1},
        {"many quick steps: now and then", 2000, 0, 10, 2000 / 50 + 1},
        {"slow steps: every one", 6, 80, 6, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint64_t> pumpedAt{Facts().run.elapsedMilliseconds};
        SetMessagePump([&] { pumpedAt.push_back(Facts().run.elapsedMilliseconds); });
        RecordingProgress shown;
        CPacedProgress progress(&shown);
        for (int i = 0; i < c.steps; ++i) {
            Facts().run.elapsedMilliseconds += c.millisecondsPerStep;
            progress.StepDone(i);
        }
        progress.Finish(c.steps - 1);
        SetMessagePump(nullptr);

        ASSERT_FALSE(shown.positions.empty());
        EXPECT_EQ(shown.positions.back(), c.steps - 1);
        EXPECT_EQ(std::adjacent_find(shown.positions.begin(), shown.positions.end(), std::greater_equal<int>()),
                  shown.positions.end());  // each position once, in order
        EXPECT_GE(shown.positions.size(), c.fewestShown);
        EXPECT_LE(shown.positions.size(), c.mostShown);
        // Never longer between two pumps than the interval and a step (and the clock's own readings).
        for (size_t i = 1; i < pumpedAt.size(); ++i)
            EXPECT_LE(pumpedAt[i] - pumpedAt[i - 1], CPacedProgress::kIntervalMilliseconds + c.millisecondsPerStep + 2);
    }
}
}  // namespace
#endif
