#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "files/FileAccess.h"
#include "files/PendingFiles.h"
#include "files/ReplacementFileSet.h"
#include "files/TemporaryFolder.h"
#include "support/TestFolders.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

void Put(const std::string& path, const std::string& bytes, fs::perms mode = fs::perms(0644)) {
  std::ofstream(path, std::ios::binary) << bytes;
  fs::permissions(path, mode);
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(ReplaceFile, LinksAreFollowedToTheirTargetAndStayLinks) {
  ScratchFolder scratch("links");
  Put(scratch.File("real.gif"), "old");
  fs::create_symlink("real.gif", scratch.File("link.gif"));
  fs::create_symlink(scratch.File("link.gif"), scratch.File("chain.gif"));
  fs::create_symlink("made.gif", scratch.File("dangling.gif"));

  EXPECT_TRUE(ReplaceFile(scratch.File("chain.gif"), "new"));
  EXPECT_EQ(ContentsOf(scratch.File("real.gif")), "new");
  EXPECT_TRUE(ReplaceFile(scratch.File("dangling.gif"), "made"));
  EXPECT_EQ(ContentsOf(scratch.File("made.gif")), "made");
  for (const char* link : {"link.gif", "chain.gif", "dangling.gif"})
    EXPECT_TRUE(fs::is_symlink(scratch.File(link))) << link;
  EXPECT_EQ(Names(scratch.Folder), (std::vector<std::string>{"chain.gif", "dangling.gif",
                                                             "link.gif", "made.gif", "real.gif"}));

  fs::create_symlink("loop.gif", scratch.File("loop.gif"));
  EXPECT_EQ(MessageOf(ReplaceFile(scratch.File("loop.gif"), "x")),
            "Too many levels of symbolic links");
}

TEST(ReplaceFile, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirModeAndAnyNameWorks) {
  ScratchFolder scratch("modes");
  mode_t saved = ::umask(077);
  EXPECT_TRUE(ReplaceFile(scratch.File("private.gif"), "a"));
  ::umask(022);
  EXPECT_TRUE(ReplaceFile(scratch.File("shared.gif"), "a"));
  ::umask(saved);
  EXPECT_EQ(ModeOf(scratch.File("private.gif")), 0600u);
  EXPECT_EQ(ModeOf(scratch.File("shared.gif")), 0644u);

  Put(scratch.File("kept.gif"), "old", fs::perms(03640));  // setgid and sticky too
  EXPECT_TRUE(ReplaceFile(scratch.File("kept.gif"), "new"));
  EXPECT_EQ(ModeOf(scratch.File("kept.gif")), 03640u);

  // The longest name a file system takes; the temporary file's stays short.
  const std::string longest = scratch.File(std::string(NAME_MAX - 4, 'n') + ".gif");
  EXPECT_TRUE(ReplaceFile(longest, "1"));
  EXPECT_TRUE(ReplaceFile(longest, "2"));
  EXPECT_EQ(ContentsOf(longest), "2");
}

// A writable file whose name cannot be given to a new one (in a folder the
// user may not write, or another user's in a sticky folder) is written in
// place, and a write that cannot be whole leaves the old content.
TEST(ReplaceFile, FilesThatMayNotBeWrittenAreRefusedAndOthersWrittenInPlaceOnlyWhole) {
  ScratchFolder scratch("permissions");
  Put(scratch.File("readonly.gif"), "old", fs::perms(0444));
  fs::create_directory(scratch.File("locked"));
  Put(scratch.File("locked/open.gif"), "old", fs::perms(0666));
  Put(scratch.File("locked/kept.gif"), "kept", fs::perms(0666));
  fs::permissions(scratch.File("locked"), fs::perms(0555));
  fs::create_directory(scratch.File("sticky"));
  Put(scratch.File("sticky/theirs.gif"), "old", fs::perms(0666));
  fs::permissions(scratch.File("sticky"), fs::perms(01777));
  EXPECT_EXIT(
      ExitWithCheckAsUnprivilegedUser([&] {
        std::string refused = MessageOf(ReplaceFile(scratch.File("readonly.gif"), "new"));
        std::string inPlace = MessageOf(ReplaceFile(scratch.File("locked/open.gif"), "new"));
        std::string created = MessageOf(ReplaceFile(scratch.File("locked/new.gif"), "new"));
        std::string sticky = MessageOf(ReplaceFile(scratch.File("sticky/theirs.gif"), "new"));
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string tooLarge =
            MessageOf(ReplaceFile(scratch.File("locked/kept.gif"), std::string(100, 'x')));
        std::fprintf(stderr, "[%s] [%s] [%s] [%s] [%s]\n", refused.c_str(), inPlace.c_str(),
                     created.c_str(), sticky.c_str(), tooLarge.c_str());
        return refused == "Permission denied" && inPlace.empty() &&
               created == "Permission denied" && sticky.empty() && tooLarge == "File too large";
      }),
      testing::ExitedWithCode(0), "");
  EXPECT_EQ(ContentsOf(scratch.File("readonly.gif")), "old");
  EXPECT_EQ(ContentsOf(scratch.File("locked/open.gif")), "new");
  EXPECT_EQ(ContentsOf(scratch.File("locked/kept.gif")), "kept");
  EXPECT_EQ(ContentsOf(scratch.File("sticky/theirs.gif")), "new");
  EXPECT_EQ(Names(scratch.File("locked")), (std::vector<std::string>{"kept.gif", "open.gif"}));
  EXPECT_EQ(Names(scratch.File("sticky")), std::vector<std::string>{"theirs.gif"});
  fs::permissions(scratch.File("locked"), fs::perms(0755));  // so the scratch folder can go
}

TEST(ReplaceFile, FifosAndDevicesAreWrittenInPlace) {
  ScratchFolder scratch("fifo");
  const std::string fifo = scratch.File("pipe.gif");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ContentsOf(fifo); });
  EXPECT_TRUE(ReplaceFile(fifo, "GIF89a"));
  reader.join();
  EXPECT_EQ(received, "GIF89a");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(Names(scratch.Folder), std::vector<std::string>{"pipe.gif"});

  EXPECT_TRUE(ReplaceFile("/dev/null", "GIF89a"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(MessageOf(ReplaceFile(scratch.Folder.string(), "x")), "Is a directory");
}

TEST(ReplaceFile, TemporaryFilesOfInterruptedWritesGoButWritesInProgressStay) {
  ScratchFolder scratch("leftovers");
  Put(scratch.File(".flinder-abc123.tmp"), "left by a killed write");
  Put(scratch.File(".flinder-inprog.tmp"), "being written");
  Put(scratch.File(".flinder-notes.txt"), "the user's");
  fs::create_directory(scratch.File(".flinder-folder.tmp"));  // a killed commit's old files
  // Another program's write in progress holds its lock.
  int busy = ::open(scratch.File(".flinder-inprog.tmp").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(busy, LOCK_EX), 0);

  EXPECT_TRUE(ReplaceFile(scratch.File("flinder.ini"), "[Shapes]\n"));
  EXPECT_EQ(Names(scratch.Folder),
            (std::vector<std::string>{".flinder-folder.tmp", ".flinder-inprog.tmp",
                                      ".flinder-notes.txt", "flinder.ini"}));
  ::close(busy);
  EXPECT_TRUE(ReplaceFile(scratch.File("flinder.ini"), "[Shapes]\n"));
  EXPECT_EQ(Names(scratch.Folder),
            (std::vector<std::string>{".flinder-folder.tmp", ".flinder-notes.txt", "flinder.ini"}));
}

TEST(ReadRegularFile, FifosFoldersAndLargeFilesAreRefusedAtOnce) {
  ScratchFolder scratch("reads");
  const std::string fifo = scratch.File("designs.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto failure = [](const std::string& path, std::uint64_t limit) {
    const Result<std::string> read = ReadRegularFile(path, limit);
    return read ? Failure{} : read.Error();
  };
  EXPECT_TRUE(CanOpenFile(fifo));  // without waiting for a writer
  EXPECT_EQ(failure(fifo, 100).Message, "not a regular file");
  EXPECT_EQ(failure(scratch.Folder.string(), 100).Message, "Is a directory");
  EXPECT_TRUE(IsMissing(failure(scratch.File("none"), 100)));
  EXPECT_FALSE(IsMissing(failure(scratch.Folder.string(), 100)));

  const std::string large = scratch.File("large.ini");
  std::ofstream(large).close();
  fs::resize_file(large, (std::uint64_t{64} << 20) + 1);
  EXPECT_EQ(failure(large, std::uint64_t{64} << 20).Message,
            "too large: 67108865 bytes, where at most 64 MiB are read");
  fs::resize_file(large, 5);
  EXPECT_EQ(*ReadRegularFile(large, 5), std::string(5, '\0'));
  // A file that claims 0 bytes but reads without end stops at the limit.
  EXPECT_EQ(failure("/proc/self/pagemap", 1 << 20).Message, "too large: more than 1 MiB");
}

TEST(TemporaryFolder, IsPrivateGoesWithItsFilesAndRefusesABadTmpdir) {
  ScratchFolder scratch("tmpdir");
  ::setenv("TMPDIR", scratch.Folder.c_str(), 1);
  std::string path;
  {
    TemporaryFolder folder;
    path = folder.Path();
    ASSERT_EQ(fs::path(path).parent_path(), scratch.Folder);
    EXPECT_EQ(ModeOf(path), 0700u);
    Put(path + "/temp1.bmp", "frame");
  }
  EXPECT_FALSE(fs::exists(path));

  ::setenv("TMPDIR", "/nonexistent-flinder", 1);
  TemporaryFolder refused;
  ::unsetenv("TMPDIR");
  EXPECT_EQ(refused.Path(), "");
  EXPECT_EQ(refused.Problem(),
            "Cannot make a temporary folder in /nonexistent-flinder: No such file or directory");
}

TEST(TemporaryFolder, TheFoldersOfKilledExportsGoButNotOnesInUse) {
  ScratchFolder scratch("sweep");
  ::setenv("TMPDIR", scratch.Folder.c_str(), 1);
  fs::create_directory(scratch.File("flinder-backup"));  // the user's, not an export's
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    TemporaryFolder frames;
    Put(frames.Path() + "/temp1.bmp", "frame");
    ::raise(SIGKILL);
  }
  ::waitpid(pid, nullptr, 0);
  EXPECT_EQ(Names(scratch.Folder).size(), 2u);  // the killed export's folder stays
  TemporaryFolder inUse;
  TemporaryFolder next;
  ::unsetenv("TMPDIR");
  std::vector<std::string> kept = {"flinder-backup", fs::path(inUse.Path()).filename(),
                                   fs::path(next.Path()).filename()};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(Names(scratch.Folder), kept);
}

TEST(PendingFiles, AnInterruptRemovesWritesInProgressAndTemporaryFolders) {
  ScratchFolder scratch("interrupt");
  EXPECT_EXIT(
      {
        ::setenv("TMPDIR", scratch.Folder.c_str(), 1);
        TemporaryFolder frames;
        Put(frames.Path() + "/temp1.bmp", "frame");
        ReplacementFileSet web(scratch.Folder.string());
        if (!web.Open() || !ReplaceFile(web.StagedPath("a.svg"), "svg", false)) std::_Exit(1);
        const std::string partial = scratch.File("partial.tmp");
        PendingFiles::Add(partial, [&] {
          Put(partial, "half a GIF");
          return true;
        });
        Put(scratch.File("kept.gif"), "finished");
        PendingFiles::RemoveAllAndExit(128 + SIGTERM);
      },
      testing::ExitedWithCode(128 + SIGTERM), "");
  EXPECT_EQ(Names(scratch.Folder), std::vector<std::string>{"kept.gif"});
}

}  // namespace
}  // namespace flinder
