#include <gtest/gtest.h>

#include "design/Cp1252.h"

namespace flinder {
namespace {

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
  // A character cut by the end of a view, whose next byte lies beyond it.
  EXPECT_EQ(ToCp1252(std::string_view("\xC3\xA9", 1)), "?");
  EXPECT_TRUE(FitsCp1252("Caf\u00E9 \u2122"));
  EXPECT_FALSE(FitsCp1252("\u017B"));
  EXPECT_FALSE(FitsCp1252("\xE9"));
}

}  // namespace
}  // namespace flinder
