#include <gtest/gtest.h>

#include "render/Utf8.h"

namespace flinder {
namespace {

TEST(DecodeUtf8, DecodesGoodSequencesAndReplacesEachBadByte) {
  EXPECT_EQ(DecodeUtf8("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), U"A\u00E9\u20AC\U0001F600");
  // A stray continuation byte, a truncated sequence, an overlong slash and a
  // surrogate each become U+FFFD; the letters around them survive.
  EXPECT_EQ(DecodeUtf8("a\x80z"), U"a\uFFFDz");
  EXPECT_EQ(DecodeUtf8("a\xE2\x82"), U"a\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xC0\xAF!"), U"\uFFFD\uFFFD!");
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xE2\x82x"), U"\uFFFD\uFFFDx");
}

}  // namespace
}  // namespace flinder
