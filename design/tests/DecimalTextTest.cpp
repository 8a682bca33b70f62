#include <gtest/gtest.h>

#include "design/DecimalText.h"

namespace flinder {
namespace {

TEST(DecimalText, ShortestTextWithSevenDigitsForSinglesAndFifteenForDoubles) {
  EXPECT_EQ(SingleText(3.0f), "3");
  EXPECT_EQ(SingleText(-0.2f), "-0.2");
  EXPECT_EQ(SingleText(0.0f), "0");
  EXPECT_EQ(SingleText(0.00001f), "0.00001");
  EXPECT_EQ(SingleText(0.23456789f), "0.2345679");
  EXPECT_EQ(SingleText(123456789.0f), "123456800");
  EXPECT_EQ(DoubleText(0.1), "0.1");
  EXPECT_EQ(DoubleText(1.0 / 3.0), "0.333333333333333");
}

}  // namespace
}  // namespace flinder
