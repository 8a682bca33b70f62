#include <gtest/gtest.h>

#include "design/ShapeList.h"

namespace flinder {
namespace {

using Names = std::vector<std::string>;

TEST(ShapeList, ListsTheMarkedDesignsFromTheExactHeaderToTheFirstEmptyLine) {
  EXPECT_EQ(ScanShapeList("[Shapes]\nStar=1\nDisc=0\nWave=1\n\n[Star]\nSlider0=1\n"),
            (Names{"Star", "Wave"}));
  EXPECT_EQ(ScanShapeList("[Shapes]\r\nStar=1\r\nWave=1\r\n\r\n[Wave]\r\nSlider0=1\r\n"),
            (Names{"Star", "Wave"}));
  // Only the last character decides; the file may end without a line break.
  EXPECT_EQ(ScanShapeList("[Shapes]\nA=9\nB=x\nC=10\nD=-1\nE=1"), (Names{"A", "E"}));
  // Lines without a name the file can hold are skipped; brackets inside a name are fine.
  EXPECT_EQ(ScanShapeList("[Shapes]\n1\n=1\nWindow=1\n Pad=1\nLogo [v2]=1\nCaf\xE9=1\n"),
            (Names{"Logo [v2]", "Caf\u00E9"}));
  for (const char* text : {"[shapes]\nStar=1\n", " [Shapes]\nStar=1\n", "Star=1\n[Shapes]\n"})
    EXPECT_EQ(ScanShapeList(text), Names{}) << text;
  EXPECT_EQ(ScanShapeList("[Shapes]\nStar=1\n\nWave=1\n"), Names{"Star"});
  // A later list section is scanned too.
  EXPECT_EQ(ScanShapeList("[Shapes]\nA=1\n\n[A]\nX=1\n[Shapes]\nB=1\n"), (Names{"A", "B"}));
}

}  // namespace
}  // namespace flinder
