#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>

#include "AnimationReaders.h"
#include "SampleDesigns.h"
#include "support/TestFolders.h"
#include "export/AnimationExport.h"
#include "web/WebExport.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

// A sample design made small, so that the exports take little time.
ShapeSettings SmallDesign(bool transparent) {
  SampleDesign design = SampleDesigns()[1];
  design.Values[5] = 40, design.Values[6] = 30;  // Width, Height
  ShapeSettings settings = SettingsOf(design);
  settings.Transparent = transparent;
  return settings;
}

// Every file in `folder`, hidden ones too, with its bytes.
std::map<std::string, std::string> FilesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[entry.path().filename().string()] = ContentsOf(entry.path().string());
  return files;
}

struct FailingHost : ExportHost {
  int FailAt = 0;  // a frame number over the whole export
  Failure Why;
  Result<> FrameDrawn(int number, const Raster&) override {
    if (number == FailAt) return Why;
    return {};
  }
};

Result<WebExportSummary> WebExport(const ShapeSettings& settings, const std::string& folder,
                                   ExportHost& host) {
  FrameRenderer renderer;
  DrawingSurface surface(static_cast<int>(settings.SliderVal(Width)),
                         static_cast<int>(settings.SliderVal(Height)));
  WebExportRequest request;
  request.Folder = folder, request.Stem = "ring", request.Alt = "Ring";
  return RunWebExport(host, renderer, surface, settings, request);
}

// The web export's raster files are the files the export writes of each
// format on its own, though one drawing serves an opaque design's GIF, WebP
// and still; the still is the first frame, the snippet the one written.
TEST(WebExport, EachFileIsWhatItsOwnExportWritesAndTheSnippetNamesThem) {
  for (bool transparent : {false, true}) {
    ScratchFolder scratch("web-export");
    const ShapeSettings settings = SmallDesign(transparent);
    ExportHost host;
    Result<WebExportSummary> web = WebExport(settings, scratch.File("site"), host);
    ASSERT_TRUE(web) << web.Message();
    std::map<std::string, std::string> files = FilesIn(scratch.File("site"));
    for (auto [name, format, scale] : {std::tuple{"ring.gif", ExportFormat::Gif, 1},
                                       {"ring.webp", ExportFormat::Webp, 1},
                                       {"ring@2x.webp", ExportFormat::Webp, 2}}) {
      ExportRequest alone;
      alone.OutputFileName = scratch.File(name), alone.Format = format, alone.Scale = scale;
      alone.Optimise = true;
      FrameRenderer renderer;
      DrawingSurface surface(40, 30);
      ASSERT_TRUE(AnimationExport(host, renderer, surface, settings).Run(alone));
      EXPECT_EQ(files[name], ContentsOf(scratch.File(name))) << name << transparent;
    }
    for (auto [still, webp] : {std::pair{"ring-still.png", "ring.webp"},
                               {"ring-still@2x.png", "ring@2x.webp"}}) {
      std::optional<DecodedApng> picture = DecodeApng(files[still]);
      ASSERT_TRUE(picture && picture->Shown.size() == 1) << still;
      EXPECT_EQ(picture->Shown[0], DecodeWebp(files[webp]).Shown.at(0)) << still << transparent;
    }
    EXPECT_EQ(files["ring.html"], web->Html);
    EXPECT_EQ(files.size(), web->Picture.Files.size() + 1) << "nothing else is left in the folder";
    for (const WebFile& file : web->Picture.Files) EXPECT_EQ(files[file.Name].size(), file.Bytes);
  }
}

// A failure or a cancel once four files are made leaves the folder as it
// was: the old files whole, no new file, nothing hidden.
TEST(WebExport, AFailureAfterFourFilesLeavesTheFolderAsItWas) {
  ScratchFolder scratch("web-failure");
  const std::map<std::string, std::string> before{{"ring.gif", "the old GIF"},
                                                  {"notes.txt", "the user's"}};
  for (const auto& [name, bytes] : before) ASSERT_TRUE(ReplaceFile(scratch.File(name), bytes));
  const ShapeSettings settings = SmallDesign(false);
  FrameRenderer turning;
  const int frames = static_cast<int>(CyclePoses(turning, settings)->size()) - 1;
  for (int errorNumber : {0, ECANCELED}) {
    FailingHost host;
    // The SVG, the GIF with the WebP and the still are made; the 2x WebP's first frame fails.
    host.FailAt = 2 * frames + 1;
    host.Why = errorNumber ? Failure{"stopped", ECANCELED} : Failure{"The frame failed."};
    Result<WebExportSummary> web = WebExport(settings, scratch.Folder.string(), host);
    ASSERT_FALSE(web);
    EXPECT_EQ(web.Error().Errno, errorNumber) << web.Message();
    EXPECT_EQ(FilesIn(scratch.Folder), before);
  }
}

}  // namespace
}  // namespace flinder
