#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/ProgramFiles.h"
#include "support/TestFolders.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

// An installed program: its folder, and the sample designs where it finds them.
struct Installed : testing::Test {
  ScratchFolder scratch{"places"};
  std::string bin = scratch.File("usr/bin");
  void SetUp() override {
    fs::create_directories(bin);
    const fs::path samples = InstalledSamplesPath(bin);
    fs::create_directories(samples.parent_path());
    std::ofstream(samples) << "[Shapes]\nDot=1\n";
  }
};

TEST_F(Installed, OnlyAbsoluteFoldersPlaceTheUsersFileAndWithoutOneNothingIsWritten) {
  const std::string home = scratch.File("home"), config = scratch.File("config");
  const struct {
    std::string ConfigHome, Home, Expected;
  } cases[] = {
      {config, home, config + "/flinder/flinder.ini"},
      {"", home, home + "/.config/flinder/flinder.ini"},
      {"relative", home, home + "/.config/flinder/flinder.ini"},
      {"", "", ""},
      {"relative", "home", ""},
      {config, "", config + "/flinder/flinder.ini"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DesignFilePath({bin, c.ConfigHome, c.Home}), c.Expected) << c.ConfigHome << c.Home;

  const fs::path started = fs::current_path();
  fs::current_path(scratch.Folder);
  const PreparedDesignFile none = PrepareDesignFile({bin, "relative", "."});
  fs::current_path(started);
  EXPECT_EQ(none.Path, "");
  EXPECT_EQ(none.Problem,
            "There is no folder for the design file: neither XDG_CONFIG_HOME nor HOME is an "
            "absolute path.");
  EXPECT_FALSE(fs::exists(scratch.File(".config")));

  const PreparedDesignFile made = PrepareDesignFile({bin, "", home});
  EXPECT_EQ(made.Problem, "");
  EXPECT_TRUE(fs::is_regular_file(made.Path));

  // A folder that cannot be made names its own reason.
  std::ofstream(scratch.File("blocked"));
  const PreparedDesignFile blocked = PrepareDesignFile({bin, scratch.File("blocked"), home});
  EXPECT_EQ(blocked.Problem, "Cannot make the folder " + scratch.File("blocked/flinder") +
                                 " for the design file: Not a directory");
}

}  // namespace
}  // namespace flinder
