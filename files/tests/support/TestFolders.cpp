#include "TestFolders.h"

#include <grp.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace flinder {

ScratchFolder::ScratchFolder(const std::string& name) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / ("flinder-" + name + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
  Folder = pattern;
  std::filesystem::permissions(Folder, std::filesystem::perms::all);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Folder, ignored);
}

void ExitWithCheckAsUnprivilegedUser(const std::function<bool()>& check) {
  constexpr uid_t Nobody = 65534;
  if (::geteuid() == 0 &&
      (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)) {
    std::perror("cannot become an unprivileged user");
    std::_Exit(2);
  }
  std::_Exit(check() ? 0 : 1);
}

}  // namespace flinder
