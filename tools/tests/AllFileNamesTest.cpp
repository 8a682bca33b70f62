#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "tools/AllFileNames.h"

namespace flinder {
namespace {

// The stem each name gets, whatever the order of the names.
std::map<std::string, std::string> StemsInEveryOrder(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  std::map<std::string, std::string> first;
  do {
    const std::vector<std::string> stems = AllFileStems(names);
    std::map<std::string, std::string> now;
    for (std::size_t i = 0; i < names.size(); ++i) now[names[i]] = stems[i];
    if (first.empty()) first = now;
    EXPECT_EQ(now, first);
  } while (std::next_permutation(names.begin(), names.end()));
  return first;
}

TEST(AllFileStems, SafeNamesKeepTheirOwnOthersAreMadeSafeAndNoOrderMatters) {
  // 199 bytes, then a two-byte character across the cut.
  const std::string cut = std::string(199, 'a') + "\u00E9";
  auto stems = StemsInEveryOrder(
      {"a_b", "a/b", "Star/Burst", ".hidden", std::string(300, 'L'), cut + "/x", cut + "?y"});
  EXPECT_EQ(stems["a_b"], "a_b");
  EXPECT_EQ(stems["Star/Burst"], "Star_Burst");  // the only one to come to that form
  EXPECT_EQ(stems[".hidden"], "_.hidden");
  EXPECT_EQ(stems["a/b"].size(), 3u + 9u);  // "-" and eight digits
  EXPECT_EQ(stems["a/b"].substr(0, 4), "a_b-");
  EXPECT_EQ(stems[std::string(300, 'L')], std::string(MaxFileStemBytes, 'L'));
  for (const std::string& name : {cut + "/x", cut + "?y"})
    EXPECT_EQ(stems[name].substr(0, 200), std::string(199, 'a') + "-") << name;

  std::set<std::string> files;
  for (const auto& [name, stem] : stems) files.insert(stem);
  EXPECT_EQ(files.size(), stems.size());
}

}  // namespace
}  // namespace flinder
