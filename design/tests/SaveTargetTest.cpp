#include <gtest/gtest.h>

#include "design/SaveTarget.h"

namespace flinder {
namespace {

TEST(SaveTargetTest, TheFilterNamesTheFormatOnlyWhereTheNameDoesNot) {
  struct Case {
    const char* chosen;
    ExportFormat filter;
    const char* fileName;
    ExportFormat format;
  };
  for (const Case& c : {
           Case{"/out/spin", ExportFormat::Webp, "/out/spin.webp", ExportFormat::Webp},
           Case{"/out/spin.", ExportFormat::Apng, "/out/spin.png", ExportFormat::Apng},
           Case{"/my.folder/spin", ExportFormat::Gif, "/my.folder/spin.gif", ExportFormat::Gif},
           Case{"/out/spin.GIF", ExportFormat::Webp, "/out/spin.GIF", ExportFormat::Gif},
           Case{"/out/spin.apng", ExportFormat::Gif, "/out/spin.apng", ExportFormat::Apng},
           Case{"/out/spin.txt", ExportFormat::Webp, "/out/spin.txt", ExportFormat::Webp},
       }) {
    const SaveTarget target = SaveTargetOf(c.chosen, c.filter);
    EXPECT_EQ(target.FileName, c.fileName) << c.chosen;
    EXPECT_EQ(target.Format, c.format) << c.chosen;
  }
}

}  // namespace
}  // namespace flinder
