#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "design/DesignFile.h"
#include "design/FileAccess.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

// Each test process works in a folder of its own and starts it empty.
class DesignFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Contents() const { return ReadFileBytes(file_.IniFile).value_or("<none>"); }
  void Put(const std::string& b) const { std::ofstream(file_.IniFile, std::ios::binary) << b; }

  const fs::path folder_ =
      fs::temp_directory_path() / ("flinder-design-" + std::to_string(getpid()));
  DesignFile file_{(folder_ / "flinder.ini").string()};
};

ShapeSettings Record(float position, const std::string& caption) {
  ShapeSettings s;
  for (int i = 0; i < 13; ++i) s.SetSlider(i, position);
  s.Text = caption;
  return s;
}

TEST_F(DesignFileTest, AMissingFileListsNothingReadsEmptyAndIsCreatedByTheFirstWrite) {
  EXPECT_TRUE(file_.ListShapes().empty());
  EXPECT_EQ(file_.ReadIni("Window", "Left"), "");
  EXPECT_FALSE(fs::exists(file_.IniFile));
  file_.WriteIni("Window", "OnTop", "True");
  EXPECT_EQ(Contents(), "[Window]\nOnTop=True\n");
}

TEST_F(DesignFileTest, RenameAndRemoveDelistKeepingSectionsAndBadNamesChangeNothing) {
  ASSERT_TRUE(file_.SaveShape(Record(0.25f, "old"), "Star"));
  std::string before = Contents();
  ShapeSettings s = Record(0.75f, "new");
  ASSERT_TRUE(file_.RenameShape(s, "Star", "Comet"));
  EXPECT_EQ(s.CurrentShape, "Comet");
  EXPECT_EQ(file_.ReadIni("Shapes", "Star"), "0");
  EXPECT_EQ(file_.ReadIni("Shapes", "Comet"), "1");
  EXPECT_EQ(file_.ListShapes(), std::vector<std::string>{"Comet"});
  // The Star section is still the text it was, de-listed; Comet follows it.
  std::string after = Contents();
  auto star = before.find("[Star]");
  EXPECT_EQ(after.substr(after.find("[Star]"), before.size() - star), before.substr(star));
  EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 2 * 49 + 7);
  // Removing de-lists the design and keeps its section.
  ASSERT_TRUE(file_.RemoveShape("Comet"));
  EXPECT_TRUE(file_.ListShapes().empty());
  EXPECT_EQ(file_.ReadIni("Comet", "Slider1"), "0.75");
  EXPECT_EQ(file_.ReadIni("Comet", "Text"), "new");
  // Names that would corrupt the file are refused and change nothing.
  before = Contents();
  s = Record(0.1f, "b");
  EXPECT_FALSE(file_.SaveShape(s, "A=B"));
  EXPECT_FALSE(file_.RenameShape(s, "Star", "[Shapes]"));
  EXPECT_FALSE(file_.RemoveShape("shapes"));
  EXPECT_EQ(Contents(), before);
  EXPECT_EQ(s.CurrentShape, "");
}

TEST_F(DesignFileTest, AFileMadeElsewhereChangesOnlyInTheSavedKeys) {
  ShapeSettings s = Record(0.5f, "Hello");
  file_.SaveShape(s, "Star");
  // Rewrite it the way a hand editor might: CRLF, comments, odd spacing.
  std::string made;
  for (char c : Contents()) made += c == '\n' ? std::string("\r\n") : std::string(1, c);
  made.replace(made.find("PosX=0"), 6, "; keep me\r\n  PosX =  0 ");
  made = "; my designs\r\n" + made + "\r\n[Window]\r\nLeft=120\r\n";
  Put(made);
  s.Text = "Bye";
  s.PosX = 0.5;
  file_.SaveShape(s, "Star");
  std::string expected = made;
  expected.replace(expected.find("Text=Hello"), 10, "Text=Bye");
  expected.replace(expected.find("  PosX =  0 "), 12, "PosX=0.5");
  EXPECT_EQ(Contents(), expected);
}

TEST_F(DesignFileTest, AFailedWriteLeavesTheOldFileByteForByte) {
  // The temporary file's name ("<name>.XXXXXX") is too long to create.
  file_.IniFile = (folder_ / std::string(250, 'f')).string();
  Put("[Shapes]\r\nStar=1\r\n");
  EXPECT_TRUE(file_.SaveShape(Record(0.5f, "a"), "Star"));
  file_.WriteIni("Window", "Left", "5");
  EXPECT_EQ(Contents(), "[Shapes]\r\nStar=1\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

struct TimerLog : SettingsObserver {
  std::string log;
  void TimerEnabledChanged(bool on) override { log += on ? "on " : "off "; }
};

TEST_F(DesignFileTest, ReadErrorsReachTheCallerOnlyOnceReportFileErrorsIsSet) {
  file_.IniFile = folder_.string();  // a folder opens but cannot be read
  EXPECT_EQ(file_.ReadIni("Shapes", "Star"), "");
  EXPECT_TRUE(file_.ListShapes().empty());

  file_.ReportFileErrors = true;
  EXPECT_THROW(file_.ReadIni("Shapes", "Star"), DesignFileError);
  EXPECT_THROW(file_.ListShapes(), DesignFileError);
  TimerLog timer;
  ShapeSettings s(&timer);
  EXPECT_THROW(file_.LoadShape(s, "Star"), DesignFileError);
  // Writes stay silent and change nothing; the preview timer is back on after each.
  EXPECT_NO_THROW(file_.WriteIni("Shapes", "Star", "1"));
  EXPECT_TRUE(file_.SaveShape(s, "Star"));
  EXPECT_EQ(timer.log, "off on off on ");
  EXPECT_TRUE(fs::is_directory(folder_));
}

}  // namespace
}  // namespace flinder
