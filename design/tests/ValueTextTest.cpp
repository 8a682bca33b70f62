#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

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
  for (const char* yes : {"True", "-1"}) EXPECT_TRUE(IsTrue(yes)) << yes;
  for (const char* no : {"true", "1", "", " True"}) EXPECT_FALSE(IsTrue(no)) << no;
}

TEST(ValueText, PositionsReadBackExactlyAndFontSizesKeepFourDecimals) {
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
}

}  // namespace
}  // namespace flinder
