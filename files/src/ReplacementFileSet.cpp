#include "files/ReplacementFileSet.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "TemporaryNames.h"
#include "files/PendingFiles.h"
#include "files/PosixFile.h"

namespace flinder {
namespace {

// The staging folder keeps the new files and the old ones they replace
// apart, as any name may be a file's.
constexpr const char* NewFiles = "/new/";
constexpr const char* OldFiles = "/old/";

Failure CannotWrite(const std::string& path, const Failure& why) {
  return {"Cannot write " + path + ": " + why.Message, why.Errno};
}

// One file on its way into the folder, and how far it got.
struct Move {
  std::string target, staged, backup;
  bool replaces = false;  // `old` is the file there
  struct stat old {};
  bool backedUp = false;  // the old file is in the staging folder
  bool placed = false;    // the new file is in the folder
};

// Gives the new file the old one's mode and owner, and puts it in place of
// the old one, which goes to the staging folder.
Result<> MoveIn(Move& move, bool flush) {
  if (move.replaces || flush) {
    PosixFile file(::open(move.staged.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen()) return SystemFailure();
    if (move.replaces) {
      // Only an owner may give the file away; a plain user keeps it as theirs.
      [[maybe_unused]] int given = ::fchown(file.Fd(), move.old.st_uid, move.old.st_gid);
      if (::fchmod(file.Fd(), move.old.st_mode & 07777) != 0) return SystemFailure();
    }
    if (flush && ::fsync(file.Fd()) != 0) return SystemFailure();
  }
  if (move.replaces && ::rename(move.target.c_str(), move.backup.c_str()) != 0)
    return SystemFailure();
  move.backedUp = move.replaces;
  if (::rename(move.staged.c_str(), move.target.c_str()) != 0) return SystemFailure();
  move.placed = true;
  return {};
}

// Puts the old files back over the new ones and removes the new files that
// replaced nothing, last moved first; false when an old file stayed out.
bool Undo(const std::vector<Move>& moves) {
  bool restored = true;
  for (auto move = moves.rbegin(); move != moves.rend(); ++move) {
    if (move->backedUp)
      restored &= ::rename(move->backup.c_str(), move->target.c_str()) == 0;
    else if (move->placed)
      ::unlink(move->target.c_str());
  }
  return restored;
}

}  // namespace

ReplacementFileSet::ReplacementFileSet(std::string folder, bool flush)
    : folder_(std::move(folder)), flush_(flush) {}

ReplacementFileSet::~ReplacementFileSet() {
  if (!staging_.empty()) PendingFiles::RemoveFolder(staging_);
}

Result<> ReplacementFileSet::Open() {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (error) return CannotWrite(folder_, SystemFailure(error.value()));
  for (int attempt = 0; attempt < 100 && staging_.empty(); ++attempt) {
    std::string path = folder_ + "/" + RandomTemporaryName();
    errno = EINTR;  // what stays when the process is being interrupted
    if (PendingFiles::AddFolder(path, [&path] { return ::mkdir(path.c_str(), 0700) == 0; }))
      staging_ = std::move(path);
    else if (errno != EEXIST)
      return CannotWrite(folder_, SystemFailure());
  }
  if (staging_.empty()) return CannotWrite(folder_, SystemFailure(EEXIST));
  for (const char* part : {NewFiles, OldFiles}) {
    if (::mkdir((staging_ + part).c_str(), 0700) != 0)
      return Discard(CannotWrite(folder_, SystemFailure()));
  }
  return {};
}

std::string ReplacementFileSet::StagedPath(const std::string& name) const {
  return staging_ + NewFiles + name;
}

Result<> ReplacementFileSet::Commit(const std::vector<std::string>& names) {
  if (staging_.empty()) throw std::logic_error("ReplacementFileSet::Commit without Open");
  std::vector<Move> moves;
  for (const std::string& name : names) {
    Move move{folder_ + "/" + name, StagedPath(name), staging_ + OldFiles + name};
    move.replaces = ::lstat(move.target.c_str(), &move.old) == 0;
    if (!move.replaces && errno != ENOENT)
      return Discard(CannotWrite(move.target, SystemFailure()));
    // A folder, a link or a FIFO would not be replaced but lost or written through.
    if (move.replaces && !S_ISREG(move.old.st_mode))
      return Discard(CannotWrite(move.target, {"it is not a regular file"}));
    moves.push_back(std::move(move));
  }
  // The moves are made while the registry is held, so an interrupt waits
  // for the folder to be whole again (new or old) before it removes the
  // staging folder, which may meanwhile hold the only copy of an old file.
  Result<> result;
  const std::string staging = std::exchange(staging_, {});
  PendingFiles::Forget(staging, [&] {
    for (Move& move : moves) {
      Result<> moved = MoveIn(move, flush_);
      if (moved) continue;
      result = CannotWrite(move.target, moved.Error());
      if (Undo(moves)) break;
      // The old files that could not be put back are the only copies left.
      result = Failure{result.Message() + "; the old files are kept in " + staging + OldFiles,
                       result.Error().Errno};
      return true;
    }
    if (result && flush_) FlushFolder(folder_);
    std::error_code error;
    std::filesystem::remove_all(staging, error);
    return true;
  });
  return result;
}

Failure ReplacementFileSet::Discard(Failure why) {
  PendingFiles::RemoveFolder(std::exchange(staging_, {}));
  return why;
}

}  // namespace flinder
