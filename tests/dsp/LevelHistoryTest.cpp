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
