#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "design/DesignName.h"
#include "design/ShapeList.h"
#include "design/ShapeRecord.h"

namespace flinder {
namespace {

// Only what the file cannot hold is refused; names follow the design file's
// own letter case, in the list as in the file.
TEST(DesignName, OnlyWhatTheFileCannotHoldIsRefusedAndCaseFollowsTheCodePage) {
  for (const char* name : {"Star", "Comet 2", "Caf\u00E9", "a;b", "Shapes2", "My Window", "?",
                           "Logo [v2]", "Star]", "a[b]c", "]", "\"quoted\"", "50% off"})
    EXPECT_TRUE(IsValidDesignName(name)) << name;
  for (const char* name :
       {"", "a=b", "[Star", "two\nlines", "cr\r", "tab\there", " Star", "Star ", ";Star", "Shapes",
        "SHAPES", "window", "Window", "export", "\u017Bubr", "bad\xFF", "c1\u0081", "del\x7F"})
    EXPECT_FALSE(IsValidDesignName(name)) << name;
  EXPECT_EQ(CapitalisedName("\u00DFETA"), "\u00DFeta");  // ß has no capital
  EXPECT_EQ(CapitalisedName("\u00E9CLAIR \u0160"), "\u00C9clair \u0161");
  EXPECT_EQ(CapitalisedName("\u00FFes"), "\u0178es");  // ÿ and Ÿ are a pair
  EXPECT_TRUE(SameDesignName("\u0152uvre", "\u0153UVRE"));
  EXPECT_FALSE(SameDesignName("Strasse", "Stra\u00DFe"));
  EXPECT_LT(CompareDesignNames("alpha", "Beta"), 0);
  EXPECT_LT(CompareDesignNames("Zeta", "\u00C9clair"), 0);
}

// A design file with a neighbour design, as the list commands meet it.
IniDocument FileWithNeighbour(const ShapeSettings& neighbour) {
  IniDocument file("; made by hand\r\n[Shapes]\r\nOther=1\r\n\r\n[Window]\r\nLeft=0\r\n");
  WriteShape(file, neighbour, "Other");
  return IniDocument(file.Bytes());
}

bool Listed(const IniDocument& file, const std::string& name) {
  auto names = ScanShapeList(file.Bytes());
  return std::count(names.begin(), names.end(), name) == 1 &&
         std::count(names.begin(), names.end(), "Other") == 1 && names.size() == 2;
}

// Every name the check accepts saves, lists, loads and removes, without
// touching another design.
TEST(DesignName, EveryAcceptedNameSavesListsLoadsAndRemoves) {
  const std::vector<std::string> pieces = {
      "a",      "Z",  "[", "]",      "=",      ";", " ", "\t", "\"", "'", "\u00E9", "\u20AC",
      "\u0081", "\n", "#", "Shapes", "window", "1", "0", ".",  "\\", "/", "[v2]",   "\u00C9"};
  std::mt19937 random(7);
  ShapeSettings neighbour, saved;
  for (int i = 0; i < 13; ++i) neighbour.SetSlider(i, 0.25f);
  for (int i = 0; i < 13; ++i) saved.SetSlider(i, 0.75f);
  saved.Text = "caption";
  int accepted = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::string name;
    for (int n = 1 + random() % 4; n > 0; --n) name += pieces[random() % pieces.size()];
    if (!IsValidDesignName(name) || name == "Other") continue;
    ++accepted;
    IniDocument file = FileWithNeighbour(neighbour);
    WriteShape(file, saved, name);
    file = IniDocument(file.Bytes());
    ASSERT_TRUE(Listed(file, name)) << name;
    ShapeSettings loaded, other;
    ReadShape(file, loaded, name);
    ReadShape(file, other, "Other");
    ASSERT_EQ(loaded.SliderPos(Radius), 0.75f) << name;
    ASSERT_EQ(loaded.Text, "caption") << name;
    ASSERT_EQ(other.SliderPos(Radius), 0.25f) << name;
    ASSERT_TRUE(file.Write("Shapes", name, "0")) << name;
    ASSERT_EQ(ScanShapeList(file.Bytes()), std::vector<std::string>{"Other"}) << name;
  }
  EXPECT_GT(accepted, 500);
}

}  // namespace
}  // namespace flinder
