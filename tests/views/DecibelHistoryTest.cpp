#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "CompressedPhrase.h"
#include "views/DecibelHistory.h"

using tarn::DecibelHistory;
using tarn::LevelHistory;

namespace {

// What a conversion of every level afresh gives.
void expectSameAsFullConversion(const DecibelHistory& followed, const LevelHistory& history, const char* when) {
    DecibelHistory fresh;
    fresh.update(history);
    EXPECT_EQ(std::memcmp(followed.data(), fresh.data(), sizeof(float) * DecibelHistory::kLength), 0) << when;
}

} // namespace

TEST(DecibelHistory, ConvertsInDoublePrecisionAndFloorsAtMinus120) {
    EXPECT_EQ(DecibelHistory::toDb(1.0), 0.f);
    EXPECT_EQ(DecibelHistory::toDb(0.5), static_cast<float>(20.0 * std::log10(0.5)));
    EXPECT_EQ(DecibelHistory::toDb(1e-6), static_cast<float>(20.0 * std::log10(1e-6)));
    EXPECT_EQ(DecibelHistory::toDb(1e-6 * 0.999), -120.f);
    EXPECT_EQ(DecibelHistory::toDb(0.0), -120.f);
    EXPECT_EQ(DecibelHistory::toDb(-1.0), -120.f);
    EXPECT_EQ(DecibelHistory::toDb(std::numeric_limits<double>::quiet_NaN()), -120.f);
    // Single precision for the threshold lines.
    EXPECT_EQ(DecibelHistory::toDb(0.1f), 20.f * std::log10(0.1f));
    EXPECT_EQ(DecibelHistory::toDb(0.f), -120.f);
    EXPECT_EQ(DecibelHistory::toDb(std::numeric_limits<float>::quiet_NaN()), -120.f);

    DecibelHistory empty;
    for (int i = 0; i < DecibelHistory::kLength; ++i) ASSERT_EQ(empty[i], -120.f);
}

TEST(DecibelHistory, FollowingStepByStepGivesTheSameAsConvertingEveryLevel) {
    auto engine = makeEngine(-18.f, -30.f, 4.f);
    const LevelHistory& history = engine->inputHistory;
    DecibelHistory followed;
    followed.update(history);
    expectSameAsFullConversion(followed, history, "first update, silent history");

    long frame = 0;
    // Steps of 45 frames each: none, one, a refresh's worth, just under, at and just over a
    // whole history, and several histories.
    for (int steps : {0, 1, 16, 17, 1499, 1, 1500, 1501, 3 * 1500 + 7, 16}) {
        playPhrase(*engine, 45L * steps, frame);
        frame += 45L * steps;
        followed.update(history);
        expectSameAsFullConversion(followed, history, ("after " + std::to_string(steps) + " steps").c_str());
    }
    // The newest level went in last and matches the engine's.
    EXPECT_EQ(followed[DecibelHistory::kLength - 1], DecibelHistory::toDb(history[LevelHistory::kLength - 1]));
}

TEST(DecibelHistory, FirstUpdateAndAnotherHistoryConvertEveryLevel) {
    auto engine = makeEngine(-18.f, -30.f, 4.f);
    playPhrase(*engine, 45L * 2000);
    DecibelHistory followed;
    followed.update(engine->inputHistory);
    expectSameAsFullConversion(followed, engine->inputHistory, "first update after 2000 steps");

    // Switching to the output history, which has taken just as many steps, converts it whole.
    followed.update(engine->outputHistory);
    expectSameAsFullConversion(followed, engine->outputHistory, "other history");

    // A history that was reset changed every level.
    playPhrase(*engine, 45L * 10, 45L * 2000);
    followed.update(engine->outputHistory);
    engine->outputHistory.reset();
    followed.update(engine->outputHistory);
    for (int i = 0; i < DecibelHistory::kLength; ++i) ASSERT_EQ(followed[i], -120.f);
}

TEST(DecibelHistory, AnswersWhetherWhatItShowsChanged) {
    LevelHistory history;
    history.reset();
    DecibelHistory followed;
    // A silent history shows as the empty one does.
    EXPECT_FALSE(followed.update(history));
    EXPECT_FALSE(followed.update(history)) << "no new level";
    history.push(0.5);
    EXPECT_TRUE(followed.update(history));
    // Silence after it scrolls it along, and then out.
    for (int i = 0; i < LevelHistory::kLength - 1; ++i) history.push(0.0);
    EXPECT_TRUE(followed.update(history));
    history.push(1e-9);
    EXPECT_TRUE(followed.update(history));
    // Silence that goes on changes nothing, down to levels that show as the floor.
    for (double level : {0.0, 1e-9, 1e-6, std::numeric_limits<double>::quiet_NaN()}) {
        for (int i = 0; i < 20; ++i) history.push(level);
        EXPECT_FALSE(followed.update(history)) << level;
    }
    expectSameAsFullConversion(followed, history, "after silence");
    history.push(1e-3);
    EXPECT_TRUE(followed.update(history));
    // A steady level fills the history, then stays as it was.
    for (int i = 0; i < LevelHistory::kLength - 1; ++i) history.push(1e-3);
    EXPECT_TRUE(followed.update(history));
    history.push(1e-3);
    EXPECT_FALSE(followed.update(history));
    expectSameAsFullConversion(followed, history, "after a steady level");
}
