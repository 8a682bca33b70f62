#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include "design/DesignFile.h"
#include "support/TestFolders.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

class DesignFileTest : public ::testing::Test {
 protected:
  std::string Contents() const { return ContentsOf(file_.IniFile); }
  void Put(const std::string& b) const { std::ofstream(file_.IniFile, std::ios::binary) << b; }

  ScratchFolder scratch_{"design"};
  DesignFile file_{scratch_.File("flinder.ini")};
};

ShapeSettings Record(float position, const std::string& caption) {
  ShapeSettings s;
  for (int i = 0; i < 13; ++i) s.SetSlider(i, position);
  s.Text = caption;
  return s;
}

TEST_F(DesignFileTest, AMissingFileListsNothingReadsEmptyAndIsCreatedByTheFirstWrite) {
  EXPECT_TRUE(file_.ListShapes()->empty());
  EXPECT_EQ(*file_.ReadIni("Window", "Left"), "");
  EXPECT_FALSE(fs::exists(file_.IniFile));
  EXPECT_TRUE(file_.WriteIni("Window", "OnTop", "True"));
  EXPECT_EQ(Contents(), "[Window]\nOnTop=True\n");
}

TEST_F(DesignFileTest, RenameAndRemoveDelistKeepingSectionsAndBadNamesChangeNothing) {
  ASSERT_TRUE(file_.SaveShape(Record(0.25f, "old"), "Star"));
  std::string before = Contents();
  ShapeSettings s = Record(0.75f, "new");
  ASSERT_TRUE(file_.RenameShape(s, "Star", "Comet"));
  EXPECT_EQ(s.CurrentShape, "Comet");
  EXPECT_EQ(*file_.ReadIni("Shapes", "Star"), "0");
  EXPECT_EQ(*file_.ReadIni("Shapes", "Comet"), "1");
  EXPECT_EQ(*file_.ListShapes(), std::vector<std::string>{"Comet"});
  // The Star section is still the text it was, de-listed; Comet follows it.
  std::string after = Contents();
  auto star = before.find("[Star]");
  EXPECT_EQ(after.substr(after.find("[Star]"), before.size() - star), before.substr(star));
  EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 2 * 50 + 7);
  // Removing de-lists the design and keeps its section.
  ASSERT_TRUE(file_.RemoveShape("Comet"));
  EXPECT_TRUE(file_.ListShapes()->empty());
  EXPECT_EQ(*file_.ReadIni("Comet", "Slider1"), "0.75");
  EXPECT_EQ(*file_.ReadIni("Comet", "Text"), "new");
  // Names that would corrupt the file are refused with the reason and change nothing.
  before = Contents();
  s = Record(0.1f, "b");
  EXPECT_EQ(MessageOf(file_.SaveShape(s, "A=B")),
            "The name \"A=B\" cannot be stored in the design file.");
  EXPECT_FALSE(file_.RenameShape(s, "Star", "[Shapes]"));
  EXPECT_FALSE(file_.RemoveShape("shapes"));
  EXPECT_EQ(Contents(), before);
  EXPECT_EQ(s.CurrentShape, "");
}

// Every write (a setting, a save, a rename, a removal) that cannot happen says why and
// changes nothing: into a folder that is not there, over a file that cannot be read or is no
// text, past the size limit, or in a session that refuses writes.
TEST_F(DesignFileTest, WritesThatDoNotHappenSayWhyAndChangeNothing) {
  EXPECT_EQ(MessageOf(file_.WriteIni("Window", "K=2", "x")),
            "The entry K=2 cannot be stored in the design file.");
  EXPECT_FALSE(fs::exists(file_.IniFile));
  const std::string gone = scratch_.File("gone/flinder.ini"), ini = file_.IniFile;
  const std::string cannotRead = "Cannot read the design file " + ini + ": ";
  std::string full = "[Window]\nLeft=1\n;";
  full.resize(MaxDesignFileSize, 'x');
  // Each case: the file, what it holds ("/": it is a folder) and the reason given.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {gone, "", "Cannot write the design file " + gone + ": No such file or directory"},
      {ini, "/", cannotRead + "Is a directory"},
      {ini, std::string("GIF89a\x01\0\x01\0[Shapes]\nStar=1\n", 24),
       cannotRead + "it is not a text file"},
      {ini, full, "Cannot write the design file " + ini + ": it would grow past 64 MiB"},
      {ini, "[Shapes]\nStar=1\n", "Cannot read the design file: damaged"}};
  for (const auto& [path, holds, reason] : cases) {
    SCOPED_TRACE(reason);
    fs::remove_all(ini);
    if (holds == "/") fs::create_directory(ini);
    if (holds.size() > 1) Put(holds);
    DesignFile file(path);
    if (reason.ends_with("damaged")) file.RefuseWrites(reason);
    EXPECT_EQ(MessageOf(file.DocumentToRead()), reason.starts_with(cannotRead) ? reason : "");
    ShapeSettings s = Record(0.5f, "a");
    s.CurrentShape = "Star";
    EXPECT_EQ(MessageOf(file.WriteIni("Window", "Top", "15")), reason);
    EXPECT_EQ(MessageOf(file.SaveShape(s, "Star")), reason);
    EXPECT_EQ(MessageOf(file.RenameShape(s, "Star", "Comet")), reason);
    EXPECT_EQ(MessageOf(file.RemoveShape("Star")), reason);
    EXPECT_EQ(s.CurrentShape, "Star");
    EXPECT_EQ(fs::is_directory(ini), holds == "/");
    EXPECT_TRUE(Contents() == (holds.size() > 1 ? holds : "<none>"));
    EXPECT_TRUE(holds != full || *file.ReadIni("Window", "Left") == "1");  // still readable
  }
}

struct TimerLog : SettingsObserver {
  std::string log;
  void TimerEnabledChanged(bool on) override { log += on ? "on " : "off "; }
};

TEST_F(DesignFileTest, EveryReadAndChangeOfAFileThatCannotBeReadFailsWithTheReason) {
  // A FIFO would block a reader for ever.
  ASSERT_EQ(::mkfifo(file_.IniFile.c_str(), 0600), 0);
  const std::string message =
      "Cannot read the design file " + file_.IniFile + ": not a regular file";
  TimerLog timer;
  ShapeSettings s(&timer);
  EXPECT_EQ(MessageOf(file_.ReadIni("Shapes", "Star")), message);
  EXPECT_EQ(MessageOf(file_.ListShapes()), message);
  EXPECT_EQ(MessageOf(file_.LoadShape(s, "Star")), message);
  EXPECT_EQ(MessageOf(file_.SaveShape(s, "Star")), message);
  // The preview timer is back on after each.
  EXPECT_EQ(timer.log, "off on off on ");
  EXPECT_TRUE(fs::is_fifo(file_.IniFile));
}

TEST_F(DesignFileTest, AByteOrderMarkIsSkippedAndKept) {
  const std::string bom = "\xEF\xBB\xBF";
  Put(bom + "[Shapes]\r\nStar=1\r\n");
  EXPECT_EQ(*file_.ListShapes(), std::vector<std::string>{"Star"});
  ASSERT_TRUE(file_.WriteIni("Shapes", "Comet", "1"));
  EXPECT_EQ(Contents(), bom + "[Shapes]\r\nStar=1\r\nComet=1\r\n");
}

// Two programs writing one file at once: every write that reports success
// is in the file afterwards.
TEST_F(DesignFileTest, TwoProcessesWritingAtOnceLoseNoEntry) {
  constexpr int Writes = 150;
  std::vector<pid_t> writers;
  for (const char* prefix : {"A", "B"}) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failed = 0;
      for (int i = 0; i < Writes; ++i)
        failed += !file_.WriteIni("Window", prefix + std::to_string(i), "1");
      std::_Exit(failed);
    }
    writers.push_back(pid);
  }
  for (pid_t pid : writers) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const IniDocument document = *file_.DocumentToRead();
  int kept = 0;
  for (const char* prefix : {"A", "B"})
    for (int i = 0; i < Writes; ++i)
      kept += document.Read("Window", prefix + std::to_string(i)) == "1";
  EXPECT_EQ(kept, 2 * Writes);
}

}  // namespace
}  // namespace flinder
