#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <locale>
#include <string>

#include "editor/ValueText.h"

namespace {

std::string text(int index, float value) { return parameterText(index, value).text; }

} // namespace

TEST(ValueText, DefaultsAndEndsOfEveryRange) {
    const float defaults[] = {0.5f, 1.0f, 1.0f, 0.0f, 0.32666659f, 0.1495f, 0.5f};
    const char* expected[] = {"0.0 db", "0.0 db", "OFF", "1.0:1", "50 ms", "300 ms", "0.0 db"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(text(i, defaults[i]), expected[i]) << i;

    EXPECT_EQ(text(0, 0.0f), "-24.0 db");
    EXPECT_EQ(text(0, 1.0f), "24.0 db");
    EXPECT_EQ(text(1, 0.0f), "-96.0 db");
    EXPECT_EQ(text(2, 0.999f), "-0.1 db");
    EXPECT_EQ(text(3, 1.0f), "20.0:1");
    EXPECT_EQ(text(4, 0.0f), "1 ms");
    EXPECT_EQ(text(4, 1.0f), "150 ms");
    EXPECT_EQ(text(5, 0.0f), "1 ms");
    EXPECT_EQ(text(5, 1.0f), "2000 ms");
    EXPECT_EQ(text(6, 0.25f), "-12.0 db");
}

TEST(ValueText, NegativeNumbersThatRoundToZeroKeepTheirSign) {
    EXPECT_EQ(text(0, 0.4999f), "-0.0 db");
    EXPECT_EQ(std::string(formatValue(-0.04, 1).text), "-0.0");
    EXPECT_EQ(std::string(formatValue(0.04, 1).text), "0.0");
    EXPECT_EQ(std::string(formatValue(-0.4, 0).text), "-0");
    // Halfway cases round to the nearest value of the binary number: 0.25 is exact, 0.35 is not.
    EXPECT_EQ(std::string(formatValue(0.25, 1).text), "0.2");
    EXPECT_EQ(std::string(formatValue(0.35, 1).text), "0.3");
    EXPECT_EQ(std::string(formatValue(1234567.0, 0).text), "1234567");
}

TEST(ValueText, ValuesOutsideTheRangeShowTheFormulasResult) {
    EXPECT_EQ(text(0, 1.5f), "48.0 db");
    EXPECT_EQ(text(3, -1.0f), "-18.0:1");
    // The knee's "OFF" is only for exactly 1.
    EXPECT_EQ(text(2, 1.0001f), "0.0 db");
    EXPECT_EQ(text(0, NAN), "nan db");
    EXPECT_EQ(text(5, INFINITY), "inf ms");
    // Every digit of a number near the largest float fits.
    const std::string huge = text(0, 7e36f);
    EXPECT_EQ(huge.size(), 44u);
    EXPECT_EQ(huge.substr(39), ".0 db");
    EXPECT_EQ(text(7, 0.5f), "");
    EXPECT_EQ(text(-1, 0.5f), "");
}

TEST(ValueText, DecimalPointIsAPointWhateverLocaleTheHostSet) {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new Comma));
    const std::string savedC = std::setlocale(LC_NUMERIC, nullptr);
    // Where the machine has a decimal-comma C locale, the C library's formatting uses it too.
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "C.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name)) break;
    EXPECT_EQ(text(0, 0.75f), "12.0 db");
    EXPECT_EQ(std::string(formatValue(-3.25, 2).text), "-3.25");
    std::setlocale(LC_NUMERIC, savedC.c_str());
    std::locale::global(saved);
}
