#include "web/AllFileNames.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <numeric>
#include <set>

namespace flinder {
namespace {

// At most `bytes` bytes of UTF-8 text, never ending inside a character.
std::string CutAtCharacter(std::string text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
  text.resize(bytes);
  return text;
}

// Eight hexadecimal digits of a name (FNV-1a), the same on every run.
std::string NameDigits(const std::string& name) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  static constexpr char Hex[] = "0123456789abcdef";
  std::string digits(8, '0');
  for (int i = 7; i >= 0; --i, hash >>= 4) digits[static_cast<std::size_t>(i)] = Hex[hash & 15];
  return digits;
}

}  // namespace

std::string SafeFileName(const std::string& name) {
  std::string safe;
  for (unsigned char c : name) {
    bool plain = std::isalnum(c) || c == ' ' || c == '.' || c == '-' || c == '_' || c >= 0x80;
    safe += plain ? static_cast<char>(c) : '_';
  }
  if (safe.empty() || safe[0] == '.') safe.insert(safe.begin(), '_');
  return safe;
}

std::vector<std::string> AllFileStems(const std::vector<std::string>& names) {
  std::vector<std::string> stems(names.size());
  std::vector<bool> own(names.size());
  std::set<std::string> owned;
  std::map<std::string, int> made;  // how many changed names come to each form
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string safe = SafeFileName(names[i]);
    own[i] = safe == names[i] && safe.size() <= MaxFileStemBytes;
    stems[i] = CutAtCharacter(safe, MaxFileStemBytes);
    if (own[i])
      owned.insert(stems[i]);
    else
      ++made[stems[i]];
  }
  for (std::size_t i = 0; i < names.size(); ++i)
    if (!own[i] && (made[stems[i]] > 1 || owned.count(stems[i])))
      stems[i].append("-").append(NameDigits(names[i]));

  std::vector<std::size_t> byName(names.size());
  std::iota(byName.begin(), byName.end(), 0);
  std::stable_sort(byName.begin(), byName.end(),
                   [&](std::size_t a, std::size_t b) { return names[a] < names[b]; });
  std::set<std::string> taken = owned;
  for (std::size_t i : byName) {
    if (own[i]) continue;
    const std::string stem = stems[i];
    for (int n = 2; !taken.insert(stems[i]).second; ++n) stems[i] = stem + "-" + std::to_string(n);
  }
  return stems;
}

}  // namespace flinder
