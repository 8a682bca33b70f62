#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "files/ReplacementFileSet.h"
#include "support/TestFolders.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

// Every name in the folder, hidden ones too, with the file's content and mode.
Files Listing(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ostringstream file;
    file << ContentsOf(entry.path()) << " " << std::oct
         << static_cast<unsigned>(entry.symlink_status().permissions());
    files[entry.path().filename()] = file.str();
  }
  return files;
}

void Put(const std::string& path, const std::string& bytes, fs::perms mode) {
  EXPECT_TRUE(ReplaceFile(path, bytes, false));
  fs::permissions(path, mode);
}

// Stages the files `made` for a set in `folder` and commits `names`.
std::string Commit(const fs::path& folder, const std::vector<std::string>& made,
                   const std::vector<std::string>& names) {
  ReplacementFileSet set(folder.string());
  if (Result<> opened = set.Open(); !opened) return opened.Message();
  for (const std::string& name : made)
    if (!ReplaceFile(set.StagedPath(name), "new " + name, false)) return "cannot stage " + name;
  return MessageOf(set.Commit(names));
}

TEST(ReplacementFileSet, PutsEveryFileInPlaceAndReplacedOnesKeepTheirMode) {
  ScratchFolder scratch("set");
  const mode_t umask = ::umask(022);
  Put(scratch.File("a.svg"), "old", fs::perms(0640));
  const std::vector<std::string> names{"a.svg", "a.webp", "a.gif"};
  EXPECT_EQ(Commit(scratch.Folder, names, names), "");
  EXPECT_EQ(Listing(scratch.Folder), (Files{{"a.svg", "new a.svg 640"},
                                            {"a.webp", "new a.webp 644"},
                                            {"a.gif", "new a.gif 644"}}));
  EXPECT_EQ(Commit(scratch.Folder / "web/out", {"b.png"}, {"b.png"}), "");
  EXPECT_EQ(Listing(scratch.Folder / "web/out"), (Files{{"b.png", "new b.png 644"}}));
  EXPECT_EQ(Commit(scratch.Folder / "a.svg/out", {}, {}),
            "Cannot write " + scratch.File("a.svg/out") + ": Not a directory");
  ::umask(umask);
}

TEST(ReplacementFileSet, AFailedOrDroppedCommitLeavesTheFolderAsItWas) {
  ScratchFolder scratch("undo");
  Put(scratch.File("a.svg"), "old svg", fs::perms(0640));
  Put(scratch.File("c.gif"), "old gif", fs::perms(0604));
  fs::create_directory(scratch.File("d.png"));
  fs::create_symlink("a.svg", scratch.File("e.html"));
  const Files before = Listing(scratch.Folder);
  // Names that are no regular file are refused before anything moves.
  for (const std::string odd : {"d.png", "e.html"}) {
    const std::vector<std::string> names{"a.svg", "b.webp", "c.gif", odd};
    EXPECT_EQ(Commit(scratch.Folder, names, names),
              "Cannot write " + scratch.File(odd) + ": it is not a regular file");
    EXPECT_EQ(Listing(scratch.Folder), before);
  }
  // The last file was never made: the ones moved before it go back.
  EXPECT_EQ(
      Commit(scratch.Folder, {"a.svg", "b.webp", "c.gif"}, {"a.svg", "b.webp", "c.gif", "f.html"}),
      "Cannot write " + scratch.File("f.html") + ": No such file or directory");
  EXPECT_EQ(Listing(scratch.Folder), before);
  auto dropped = std::make_unique<ReplacementFileSet>(scratch.Folder.string());
  ASSERT_TRUE(dropped->Open());
  ASSERT_TRUE(ReplaceFile(dropped->StagedPath("a.svg"), "new", false));
  Files staging = Listing(scratch.Folder);
  for (const auto& [name, file] : before) staging.erase(name);
  EXPECT_EQ(staging.size() == 1 ? staging.begin()->second : "", "<none> 700");  // private
  dropped.reset();
  EXPECT_EQ(Listing(scratch.Folder), before);
}

}  // namespace
}  // namespace flinder
