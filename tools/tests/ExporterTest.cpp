#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "GifTestFiles.h"
#include "design/DesignFile.h"
#include "export/BmpFile.h"
#include "tools/Exporter.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

// A design of few colours, so that its GIF is lossless.
ShapeSettings Spinner() {
  ShapeSettings s;
  const float positions[] = {0.1f, 0.3f, 0.6f, 0.2f, 0.1f, 0.05f, 0.05f, 0.4f, 0.5f, 0.5f};
  for (int i = 0; i < ParameterCount; ++i) s.SetSlider(i, positions[i]);
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    s.SelectedSlot = slot;
    s.SetSlider(RedSlider, slot == Inner ? 1.0f : 0.2f);
    s.SetSlider(GreenSlider, slot == Outer ? 1.0f : 0.2f);
    s.SetSlider(BlueSlider, 0.2f);
  }
  s.PosX = s.PosY = 0.5;
  return s;
}

struct Outcome {
  int Code;
  std::string Out, Err;
};

class ExporterTest : public ::testing::Test {
 protected:
  ScratchFolder folder{"exporter"};
  std::string designs = folder.File("designs.ini");

  void SetUp() override {
    DesignFile file(designs);
    ShapeSettings spinner = Spinner();
    ASSERT_TRUE(file.SaveShape(spinner, "Spinner"));
    spinner.Star = true;
    ASSERT_TRUE(file.SaveShape(spinner, "Star/Burst"));
    ASSERT_TRUE(file.SaveShape(spinner, "Gone"));
    ASSERT_TRUE(file.RemoveShape("Gone"));
  }

  Outcome Exporter(std::vector<std::string> arguments) {
    std::ostringstream out, err;
    int code = RunExporter(arguments, designs, out, err);
    return {code, out.str(), err.str()};
  }
};

TEST_F(ExporterTest, ListsTheListedDesignsInFileOrder) {
  Outcome run = Exporter({"--list"});
  EXPECT_EQ(run.Code, ExitOk);
  EXPECT_EQ(run.Out, "Spinner\nStar/Burst\n");
}

TEST_F(ExporterTest, ExportedFramesEqualTheFramesAsDrawn) {
  std::string frames = folder.File("frames"), gif = folder.File("spinner.gif");
  Outcome run = Exporter({"--frames", frames, "Spinner", gif});
  ASSERT_EQ(run.Code, ExitOk) << run.Err;
  auto decoded = DecodeGif(ReadWholeFile(gif));
  ASSERT_TRUE(decoded);
  const int count = static_cast<int>(decoded->Images.size());
  EXPECT_EQ(run.Out,
            "Spinner -> " + gif + " (" + std::to_string(count) + " frames, 40x40, delay 10)\n");
  // The closing frame is written too, though it is not in the GIF.
  EXPECT_TRUE(fs::exists(frames + "/frame" + std::to_string(count + 1) + ".bmp"));
  EXPECT_FALSE(fs::exists(frames + "/frame" + std::to_string(count + 2) + ".bmp"));
  for (int i = 0; i < count; ++i) {
    auto frame = DecodeBmp(ReadWholeFile(frames + "/frame" + std::to_string(i + 1) + ".bmp"));
    ASSERT_TRUE(frame);
    EXPECT_EQ(decoded->Images[i], *frame) << "frame " << i + 1;
  }
}

TEST_F(ExporterTest, AllWritesEveryListedDesignUnderASafeName) {
  std::string out = folder.File("all");
  Outcome run = Exporter({"--all", out});
  ASSERT_EQ(run.Code, ExitOk) << run.Err;
  EXPECT_TRUE(fs::exists(out + "/Spinner.gif"));
  EXPECT_TRUE(fs::exists(out + "/Star_Burst.gif"));
  EXPECT_FALSE(fs::exists(out + "/Gone.gif"));
  EXPECT_EQ(SafeFileName("../x:y"), "_.._x_y");
}

TEST_F(ExporterTest, BadUsageAndBadInputGiveCodeTwoWithOneLine) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"--list", "Spinner", "x.gif"},
                                             {"Spinner"},
                                             {"--bogus"},
                                             {"--designs"},
                                             {"--frames", "dir", "--list"}}) {
    Outcome run = Exporter(args);
    EXPECT_EQ(run.Code, ExitUsage);
    EXPECT_NE(run.Err.find("usage:"), std::string::npos);
  }
  Outcome unknown = Exporter({"Nothing", folder.File("x.gif")});
  EXPECT_EQ(unknown.Code, ExitUsage);
  EXPECT_EQ(unknown.Err, "flinder-export: no design named \"Nothing\" in " + designs + "\n");
  Outcome removed = Exporter({"Gone", folder.File("x.gif")});
  EXPECT_EQ(removed.Code, ExitUsage);
  Outcome missing = Exporter({"--designs", folder.File("none.ini"), "--list"});
  EXPECT_EQ(missing.Code, ExitUsage);
  EXPECT_EQ(missing.Err,
            "flinder-export: cannot read the design file " + folder.File("none.ini") + "\n");
}

TEST_F(ExporterTest, AFailedExportGivesCodeOneAndLeavesNothing) {
  Outcome run = Exporter({"Spinner", folder.File("no/such/folder/x.gif")});
  EXPECT_EQ(run.Code, ExitExportFailed);
  EXPECT_EQ(run.Out, "");
  EXPECT_NE(run.Err.find("no/such/folder/x.gif"), std::string::npos);
  EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1);
}

}  // namespace
}  // namespace flinder
