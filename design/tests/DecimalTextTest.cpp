#include <gtest/gtest.h>

#include "design/DecimalText.h"

namespace flinder {
namespace {

TEST(DecimalText, SinglesUseTheShortestTextThatReadsBack) {
  EXPECT_EQ(SingleText(3.0f), "3");
  EXPECT_EQ(SingleText(-0.2f), "-0.2");
  EXPECT_EQ(SingleText(1.1f), "1.1");
  EXPECT_EQ(SingleText(0.5f), "0.5");
  EXPECT_EQ(SingleText(0.0f), "0");
  EXPECT_EQ(SingleText(1000.0f), "1000");
  EXPECT_EQ(SingleText(420.0f), "420");
  EXPECT_EQ(SingleText(0.00001f), "0.00001");
}

TEST(DecimalText, SinglesStopAtSevenSignificantDigits) {
  EXPECT_EQ(SingleText(0.23456789f), "0.2345679");
  EXPECT_EQ(SingleText(1.0f / 3.0f), "0.3333333");
  EXPECT_EQ(SingleText(123456789.0f), "123456800");
}

TEST(DecimalText, DoublesKeepFifteenDigits) {
  EXPECT_EQ(DoubleText(0.1), "0.1");
  EXPECT_EQ(DoubleText(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(DoubleText(-12345.5), "-12345.5");
}

}  // namespace
}  // namespace flinder
