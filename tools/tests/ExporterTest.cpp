#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <sstream>

#include "GifTestFiles.h"
#include "design/DesignFile.h"
#include "export/BmpFile.h"
#include "tools/Exporter.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

struct ExporterTest : testing::Test {
  ScratchFolder folder{"exporter"};
  std::string designs = folder.File("designs.ini");

  // A design of few colours, so that its GIF is lossless, saved as "Spinner" and as a star
  // "Star/Burst"; "Gone" was saved and removed again.
  void SetUp() override {
    ShapeSettings s;
    const float positions[] = {0.1f, 0.3f, 0.6f, 0.2f, 0.1f, 0.05f, 0.05f, 0.4f, 0.5f, 0.5f};
    for (int i = 0; i < ParameterCount; ++i) s.SetSlider(i, positions[i]);
    for (int slot = 0; slot < ColourSlotCount; ++slot) {
      s.SelectedSlot = slot;
      for (int c = 0; c < 3; ++c) s.SetSlider(RedSlider + c, slot == c && c != Back ? 1.0f : 0.2f);
    }
    s.PosX = s.PosY = 0.5;
    DesignFile file(designs);
    ASSERT_TRUE(file.SaveShape(s, "Spinner"));
    s.Star = true;
    ASSERT_TRUE(file.SaveShape(s, "Star/Burst") && file.SaveShape(s, "Gone") &&
                file.RemoveShape("Gone"));
  }

  // Runs flinder-export; its exit code is returned, its output kept in Out and Err.
  int Run(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    int code = RunExporter(arguments, designs, out, err);
    Out = out.str(), Err = err.str();
    return code;
  }
  std::string Out, Err;
};

TEST_F(ExporterTest, ExportedFramesEqualTheFramesAsDrawnAndAllTakesTheListedDesigns) {
  std::string frames = folder.File("frames"), gif = folder.File("spinner.gif");
  ASSERT_EQ(Run({"--frames", frames, "Spinner", gif}), ExitOk) << Err;
  auto decoded = DecodeGif(ReadWholeFile(gif));
  ASSERT_TRUE(decoded);
  const int count = static_cast<int>(decoded->Images.size());
  EXPECT_EQ(Out,
            "Spinner -> " + gif + " (" + std::to_string(count) + " frames, 40x40, delay 10)\n");
  // The closing frame is written too, though it is not in the GIF.
  auto frame = [&](int number) { return frames + "/frame" + std::to_string(number) + ".bmp"; };
  EXPECT_TRUE(fs::exists(frame(count + 1)));
  EXPECT_FALSE(fs::exists(frame(count + 2)));
  for (int i = 0; i < count; ++i)
    EXPECT_EQ(DecodeBmp(ReadWholeFile(frame(i + 1))), decoded->Images[i]) << "frame " << i + 1;

  EXPECT_EQ(Run({"--list"}), ExitOk);
  EXPECT_EQ(Out, "Spinner\nStar/Burst\n");
  std::string all = folder.File("all");
  ASSERT_EQ(Run({"--all", all}), ExitOk) << Err;
  EXPECT_TRUE(fs::exists(all + "/Spinner.gif"));
  EXPECT_TRUE(fs::exists(all + "/Star_Burst.gif"));
  EXPECT_FALSE(fs::exists(all + "/Gone.gif"));
  EXPECT_EQ(SafeFileName("../x:y"), "_.._x_y");
}

TEST_F(ExporterTest, ErrorsGiveTheirExitCodeAndOneLine) {
  for (const char* misuse :
       {"", "--list Spinner x.gif", "Spinner", "--bogus", "--designs", "--frames dir --list"}) {
    std::istringstream words(misuse);
    EXPECT_EQ(Run({std::istream_iterator<std::string>(words), {}}), ExitUsage) << misuse;
    EXPECT_NE(Err.find("usage:"), std::string::npos) << misuse;
  }
  // Each case: the arguments, the exit code and what the one line of error says.
  const std::string none = folder.File("none.ini"), x = folder.File("x.gif");
  const std::tuple<std::vector<std::string>, int, std::string> errors[] = {
      {{"Nothing", x}, ExitUsage, "no design named \"Nothing\" in " + designs + "\n"},
      {{"Gone", x}, ExitUsage, "no design named \"Gone\" in " + designs + "\n"},
      {{"--designs", none, "--list"}, ExitUsage, "cannot read the design file " + none + "\n"},
      {{"Spinner", folder.File("no/such/folder/x.gif")}, ExitExportFailed, "no/such/folder/x.gif"}};
  for (const auto& [args, code, message] : errors) {
    EXPECT_EQ(Run(args), code);
    EXPECT_EQ(Out, "");
    EXPECT_TRUE(Err.starts_with("flinder-export: ")) << Err;
    EXPECT_NE(Err.find(message), std::string::npos) << Err;
    EXPECT_EQ(std::count(Err.begin(), Err.end(), '\n'), 1) << Err;
  }
}

}  // namespace
}  // namespace flinder
