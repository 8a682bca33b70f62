#include <gtest/gtest.h>

#include "design/DesignName.h"

namespace flinder {
namespace {

TEST(DesignName, NamesThatWouldCorruptTheFileAreRefused) {
  for (const char* name : {"Star", "Comet 2", "Caf\u00E9", "a;b", "Shapes2", "My Window", "?"})
    EXPECT_TRUE(IsValidDesignName(name)) << name;
  for (const char* name :
       {"", "a=b", "[Star", "Star]", "two\nlines", "cr\r", "tab\there", " Star", "Star ", ";Star",
        "Shapes", "SHAPES", "window", "Window", "\u017Bubr", "bad\xFF", "c1\u0081"})
    EXPECT_FALSE(IsValidDesignName(name)) << name;
}

}  // namespace
}  // namespace flinder
