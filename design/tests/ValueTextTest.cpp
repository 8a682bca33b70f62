#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "design/Cp1252.h"
#include "design/DecimalText.h"
#include "design/ValueText.h"

namespace flinder {
namespace {

TEST(ValueText, NumbersReadLenientlyAndOnlyTrueAndMinusOneAreTrue) {
  EXPECT_EQ(ParseNumber("  -12.25xyz"), -12.25);
  EXPECT_EQ(ParseNumber(".5"), 0.5);
  EXPECT_EQ(ParseNumber("+3"), 3);
  EXPECT_EQ(ParseNumber("1.5E2"), 150);
  EXPECT_EQ(ParseNumber("4E+"), 4);  // an exponent without digits is not taken
  EXPECT_EQ(ParseNumber("1,5"), 1);
  EXPECT_EQ(ParseNumber("True"), 0);
  EXPECT_EQ(ParseNumber("-"), 0);
  EXPECT_EQ(ParseNumber("1e999"), 0);
  EXPECT_EQ(ParseNumber(std::string_view("1234", 2)), 12);  // the view ends the number
  for (const char* yes : {"True", "-1"}) EXPECT_TRUE(IsTrue(yes)) << yes;
  for (const char* no : {"true", "1", "", " True"}) EXPECT_FALSE(IsTrue(no)) << no;
}

TEST(DecimalText, PositionsReadBackExactlyOtherNumbersAreShortFontSizesKeepFourDecimals) {
  EXPECT_EQ(ExactSingleText(0.2f), "0.2");
  EXPECT_EQ(ExactSingleText(-0.0f), "0");
  EXPECT_EQ(ExactSingleText(1.0f / 3), "0.33333334");
  std::uint32_t bits = 12345;
  for (int i = 0; i < 200000; ++i) {
    bits = bits * 1664525u + 1013904223u;
    auto p = std::bit_cast<float>(bits % 0x3F800001u);  // any single from 0 to 1
    ASSERT_EQ(static_cast<float>(ParseNumber(ExactSingleText(p))), p) << ExactSingleText(p);
  }
  for (int c = 0; c < 256; ++c) {
    float p = ParseNumber(ExactSingleText(c / 255.0f));
    EXPECT_EQ(std::floor(static_cast<double>(p) * 255), c);
  }
  EXPECT_EQ(FontSizeText(8), "8");
  EXPECT_EQ(FontSizeText(11.25f), "11.25");
  EXPECT_EQ(FontSizeText(10.123456f), "10.1235");
  EXPECT_EQ(SingleText(3.0f), "3");
  EXPECT_EQ(SingleText(-0.2f), "-0.2");
  EXPECT_EQ(SingleText(0.0f), "0");
  EXPECT_EQ(SingleText(0.00001f), "0.00001");
  EXPECT_EQ(SingleText(0.23456789f), "0.2345679");
  EXPECT_EQ(SingleText(123456789.0f), "123456800");
  EXPECT_EQ(DoubleText(0.1), "0.1");
  EXPECT_EQ(DoubleText(1.0 / 3.0), "0.333333333333333");
}

TEST(Cp1252, EveryByteSurvivesAndCharactersOutsideThePageBecomeQuestionMarks) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(ToCp1252(FromCp1252(all)), all);
  EXPECT_EQ(FromCp1252("\x80\xE9\x9F"), "\u20AC\u00E9\u0178");
  EXPECT_EQ(ToCp1252("Caf\u00E9 \u20AC"), "Caf\xE9 \x80");
  EXPECT_EQ(ToCp1252("\u017B\u00F3\u0142w \U0001F600"), "?\xF3?w ?");
  // Malformed UTF-8: a lone continuation byte, a cut-off sequence, an overlong "/".
  EXPECT_EQ(ToCp1252("a\x80z\xC3"), "a?z?");
  EXPECT_EQ(ToCp1252("\xC0\xAF"), "??");
  EXPECT_EQ(ToCp1252("\U0010FFFF"), "?");  // the last character there is, one question mark
  // A character cut by the end of a view, whose next byte lies beyond it.
  EXPECT_EQ(ToCp1252(std::string_view("\xC3\xA9", 1)), "?");
  EXPECT_TRUE(FitsCp1252("Caf\u00E9 \u2122"));
  EXPECT_FALSE(FitsCp1252("\u017B"));
  EXPECT_FALSE(FitsCp1252("\xE9"));
}

}  // namespace
}  // namespace flinder
