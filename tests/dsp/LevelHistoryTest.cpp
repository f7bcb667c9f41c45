#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "dsp/LevelHistory.h"
#include "tests/Cycles.h"
#include "tests/WaitUntil.h"

using tarn::LevelHistory;

TEST(LevelHistory, KeepsTheLastLevelsOldestFirstAcrossWrapArounds) {
    LevelHistory history;
    history.reset();
    for (int i = 0; i < LevelHistory::kLength; ++i) ASSERT_EQ(history[i], 0.0);
    for (int step = 1; step <= 2 * LevelHistory::kLength + 7; ++step) {
        history.push(step);
        ASSERT_EQ(history[LevelHistory::kLength - 1], step);
        const int oldest = step - LevelHistory::kLength + 1;
        ASSERT_EQ(history[0], oldest > 0 ? oldest : 0.0);
        if (step % 301 == 0) {
            std::vector<double> copied(LevelHistory::kLength);
            ASSERT_TRUE(history.copy(history.steps(), LevelHistory::kLength, copied.data()));
            for (int i = 0; i < LevelHistory::kLength; ++i) ASSERT_EQ(copied[i], history[i]);
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

TEST(LevelHistory, CopiesTakenWhilePushesRunAreWholeOrRefused) {
    // The audio thread's pushes never wait for the editor's copies; a copy that they may have
    // overtaken must say so. Each level is its own step number, so a copy that is accepted
    // must hold consecutive steps ending at the one it asked for.
    LevelHistory history;
    history.reset();
    // Alone: the levels asked for stay valid until a push overwrites the oldest of them.
    std::vector<double> copied(LevelHistory::kLength);
    const std::uint64_t asked = history.steps();
    for (int i = 0; i < LevelHistory::kLength - 16; ++i) history.push(1.0);
    EXPECT_TRUE(history.copy(asked, 16, copied.data()));
    history.push(1.0);
    EXPECT_FALSE(history.copy(asked, 16, copied.data()));

    const std::uint64_t start = history.steps();
    const int pushes = tarn::test::cycles(2000000);
    std::atomic<bool> done{false};
    std::atomic<long> accepted{0};
    // At least `pushes` pushes, and on until the editor's side has had a few copies accepted
    // (on a busy machine it may not run at all during the first ones), within the deadline.
    std::thread audio([&] {
        const auto deadline = std::chrono::steady_clock::now() + tarn::test::kDeadline;
        for (std::uint64_t i = 0;
             i < static_cast<std::uint64_t>(pushes) || (accepted < 10 && std::chrono::steady_clock::now() < deadline);
             ++i) {
            history.push(static_cast<double>(start + i));
            if (i % 1000 == 0) std::this_thread::yield();
        }
        done = true;
    });
    bool whole = true;
    for (int round = 0; !done; ++round) {
        // The editor's usual few new levels, or a whole history.
        const int count = round % 2 ? 16 : LevelHistory::kLength;
        const std::uint64_t end = history.steps();
        if (end < start + count || !history.copy(end, count, copied.data())) continue;
        ++accepted;
        for (int i = 0; i < count; ++i) whole = whole && copied[i] == static_cast<double>(end - count + i);
    }
    audio.join();
    EXPECT_TRUE(whole);
    EXPECT_GT(accepted.load(), 0);
}
