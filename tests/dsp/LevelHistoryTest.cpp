#include <gtest/gtest.h>

#include "dsp/LevelHistory.h"

using tarn::LevelHistory;

TEST(LevelHistory, KeepsTheLastLevelsOldestFirstAcrossWrapArounds) {
    LevelHistory history;
    history.reset();
    for (int i = 0; i < LevelHistory::kLength; ++i) ASSERT_EQ(history[i], 0.0);
    for (int step = 1; step <= 2 * LevelHistory::kLength + 7; ++step) {
        history.push(step);
        const double* levels = history.data();
        ASSERT_EQ(levels[LevelHistory::kLength - 1], step);
        const int oldest = step - LevelHistory::kLength + 1;
        ASSERT_EQ(levels[0], oldest > 0 ? oldest : 0.0);
        if (step % 301 == 0) {
            for (int i = 1; i < LevelHistory::kLength; ++i) ASSERT_LE(levels[i - 1], levels[i]);
        }
    }
}

TEST(LevelHistory, CountsEveryStepAndAResetAsAWholeHistory) {
    LevelHistory history;
    EXPECT_EQ(history.steps(), 0u);
    history.reset();
    EXPECT_EQ(history.steps(), static_cast<std::uint64_t>(LevelHistory::kLength));
    for (int step = 0; step < 2 * LevelHistory::kLength + 3; ++step) history.push(1.0);
    EXPECT_EQ(history.steps(), static_cast<std::uint64_t>(3 * LevelHistory::kLength + 3));
    history.reset();
    EXPECT_EQ(history.steps(), static_cast<std::uint64_t>(4 * LevelHistory::kLength + 3));
}
