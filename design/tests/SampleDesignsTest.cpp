#include <gtest/gtest.h>

#include "SampleDesigns.h"
#include "design/DesignFile.h"

namespace flinder {
namespace {

TEST(SampleDesigns, TheShippedFileGivesTheDesignValues) {
  DesignFile file(FLINDER_SAMPLE_DESIGN_FILE);
  ASSERT_EQ(file.ListShapes().size(), SampleDesigns().size());
  for (const SampleDesign& design : SampleDesigns()) {
    ShapeSettings loaded;
    file.LoadShape(loaded, design.Name);
    for (int i = 0; i < ParameterCount; ++i)
      EXPECT_EQ(loaded.SliderVal(i), design.Values[i]) << design.Name << " parameter " << i;
    for (int slot = 0; slot < ColourSlotCount; ++slot) {
      const Rgb& c = design.Colours[slot];
      EXPECT_EQ(loaded.PlainColour(slot), MakeColour(c.Red, c.Green, c.Blue)) << design.Name;
    }
    EXPECT_EQ(loaded.Text, design.Text) << design.Name;
  }
}

}  // namespace
}  // namespace flinder
