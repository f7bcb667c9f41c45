#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "editor/RefreshPacer.h"

namespace {

// A clock whose time moves only when the code under test sleeps or the test says so.
class FakeClock : public tarn::Clock {
public:
    explicit FakeClock(std::uint32_t start = 100000) : now(start) {}
    std::uint32_t tickCount() override { return now; }
    void sleep(std::uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }
    std::uint32_t now;
    std::vector<std::uint32_t> sleeps;
};

} // namespace

TEST(RefreshPacer, HostCallingEveryMillisecondGetsAbout60Point78RefreshesASecond) {
    FakeClock clock;
    RefreshPacer pacer(clock);
    std::vector<std::uint32_t> refreshes;
    const std::uint32_t start = clock.now;
    while (clock.now - start < 10000) {
        pacer.pace();
        refreshes.push_back(clock.now);
        clock.now += 1;
    }
    EXPECT_NEAR(refreshes.size() / 10.0, 60.7777, 0.15);
    // After the second refresh (two periods after the first) the refreshes keep to their slots,
    // 16 or 17 ms apart; a millisecond of collected remainder now and then makes one refresh a
    // millisecond late and the next one early.
    int onSlot = 0;
    for (size_t i = 2; i < refreshes.size(); ++i) {
        const std::uint32_t gap = refreshes[i] - refreshes[i - 1];
        EXPECT_TRUE(gap >= 15 && gap <= 18) << "refresh " << i << " came " << gap << " ms after the last";
        onSlot += gap == 16 || gap == 17;
    }
    EXPECT_GT(onSlot, 0.8 * refreshes.size());
    EXPECT_NEAR(double(refreshes.back() - refreshes[1]) / double(refreshes.size() - 2), 1000 / 60.7777, 0.01);
}

TEST(RefreshPacer, FirstRefreshAndSlowHostsDoNotSleep) {
    FakeClock clock;
    RefreshPacer pacer(clock);
    pacer.pace();
    EXPECT_TRUE(clock.sleeps.empty());
    // The next slot starts one period after the first refresh.
    EXPECT_NEAR(pacer.frameStart, (100000 + 1000 / 60.7777) * 12, 1e-6);
    clock.now += 50;
    for (int i = 0; i < 20; ++i) {
        pacer.pace();
        clock.now += 50;
    }
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(pacer.sleepRemainder, 0);
}

TEST(RefreshPacer, FractionsOfAMillisecondAreCollectedAndSlept) {
    FakeClock clock;
    RefreshPacer pacer(clock);
    pacer.pace();
    std::uint32_t total = 0;
    for (int i = 0; i < 600; ++i) {
        const std::uint32_t before = clock.now;
        pacer.pace();
        total += clock.now - before;
        EXPECT_LT(pacer.sleepRemainder, 12);
    }
    // Called back to back, the host is held at the full period: 600 periods of 16.4534 ms.
    EXPECT_NEAR(total, 600 * 1000 / 60.7777 + 1000 / 60.7777, 2.0);
}

TEST(RefreshPacer, WaitsAcrossAClockWrapOrJumpAreNeverSlept) {
    const double period = 1000 / 60.7777;
    // The tick count wraps around to 0 between two refreshes.
    FakeClock clock(0xFFFFFFF0u);
    RefreshPacer pacer(clock);
    pacer.pace();
    clock.now += 40;  // wraps
    pacer.pace();
    for (std::uint32_t s : clock.sleeps) EXPECT_LE(s, 2 * period);
    // The slots restart from the wrapped time; the next call is paced normally again.
    clock.sleeps.clear();
    pacer.pace();
    ASSERT_FALSE(clock.sleeps.empty());
    EXPECT_LE(clock.sleeps.front(), period + 1);

    // A jump back by an hour and a jump ahead by a day: no long sleep, no sleep at all for the jump.
    clock.sleeps.clear();
    clock.now -= 3600000;
    pacer.pace();
    EXPECT_TRUE(clock.sleeps.empty());
    clock.now += 86400000;
    pacer.pace();
    EXPECT_TRUE(clock.sleeps.empty());
    for (int i = 0; i < 100; ++i) pacer.pace();
    for (std::uint32_t s : clock.sleeps) EXPECT_LE(s, 2 * period + 1);
}

TEST(RefreshPacer, TheTwelfthsAMillisecondSleepLeavesOutAreCollectedAndSleptAsAWholeMillisecond) {
    FakeClock clock;
    RefreshPacer pacer(clock);
    pacer.pace();
    // Called again at once: two periods ahead, 394.88 twelfths: 32 ms slept and 10 twelfths kept.
    pacer.pace();
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{32}));
    EXPECT_EQ(pacer.sleepRemainder, 10);
    // The next slot is 208.32 twelfths ahead: 17 ms, and 4 more twelfths make 14, of which 12
    // are slept as one more millisecond.
    pacer.pace();
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{32, 17, 1}));
    EXPECT_EQ(pacer.sleepRemainder, 2);
}
