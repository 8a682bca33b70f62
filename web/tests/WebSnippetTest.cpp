#include <gtest/gtest.h>
#include <sys/wait.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include "web/WebSnippet.h"

namespace flinder {
namespace {

using Kind = WebFileKind;
using Lines = std::vector<std::string>;

// The HTML checker's exit status and output lines for the files `paths`.
std::pair<int, Lines> CheckHtml(const std::string& paths) {
  const std::string command = FLINDER_HTML_PYTHON " " FLINDER_CHECK_HTML " " + paths + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Lines lines;
  char line[4096];
  while (pipe && std::fgets(line, sizeof line, pipe))
    lines.emplace_back(line, std::strcspn(line, "\n"));
  const int status = pipe ? pclose(pipe) : -1;
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, lines};
}

class WebSnippetTest : public testing::Test {
 protected:
  void SetUp() override {
    static const auto [status, output] = CheckHtml("");
    const std::string why = "the HTML checker cannot run: " + testing::PrintToString(output);
    if (status != 0 && std::getenv("CI")) FAIL() << why;
    if (status != 0) GTEST_SKIP() << why;
  }

  // The snippet, in ASCII alone, as a strict HTML5 parser reads it: a line per
  // element, the attributes decoded and the URLs resolved to file names.
  static Lines Parsed(const WebPicture& picture) {
    const std::string html = WebSnippet(picture);
    EXPECT_TRUE(std::none_of(html.begin(), html.end(), [](char c) { return c & 0x80; })) << html;
    const std::string path = testing::TempDir() + "snippet-" +
                             testing::UnitTest::GetInstance()->current_test_info()->name();
    std::ofstream(path) << html;
    const auto [status, output] = CheckHtml("'" + path + "'");
    EXPECT_EQ(status, 0) << testing::PrintToString(output) << "\n" << html;
    return output;
  }
};

const std::string StillSet = "source\tmedia=(prefers-reduced-motion: reduce)\tsrcset=",
                  SvgSet = "source\ttype=image/svg+xml\tsrcset=",
                  WebpSet = "source\ttype=image/webp\tsrcset=",
                  Img = "img\tsrc=badge.gif\twidth=120\theight=40\talt=Badge\tdecoding=async";

// An opaque design at 1x and 2x whose SVG (none for 0) and 1x WebP have these sizes.
WebPicture Opaque(std::uintmax_t svg, std::uintmax_t webp) {
  WebPicture picture{120, 40, "Badge", {{Kind::Webp, 1, "badge.webp", webp},
      {Kind::Webp, 2, "badge@2x.webp", 1500}, {Kind::Gif, 1, "badge.gif", 1000},
      {Kind::Still, 2, "badge-still@2x.png", 600}, {Kind::Still, 1, "badge-still.png", 200}}};
  if (svg > 0) picture.Files.insert(picture.Files.begin(), {Kind::Svg, 1, "badge.svg", svg});
  return picture;
}

TEST_F(WebSnippetTest, ServesTheSmallerAnimationFirstAndAWebpOnlyWhereItBeatsTheGif) {
  const std::string stills = StillSet + "badge-still.png 1x, badge-still@2x.png 2x",
                    svg = SvgSet + "badge.svg", webp = WebpSet + "badge.webp 1x, badge@2x.webp 2x";
  EXPECT_EQ(Parsed(Opaque(300, 500)), (Lines{"picture", stills, svg, webp, Img}));
  EXPECT_EQ(Parsed(Opaque(800, 500)), (Lines{"picture", stills, webp, svg, Img}));
  EXPECT_EQ(Parsed(Opaque(0, 999)), (Lines{"picture", stills, webp, Img}));
  EXPECT_EQ(Parsed(Opaque(0, 1000)), (Lines{"picture", stills, Img}));
  EXPECT_EQ(Parsed(Opaque(1000, 999)), (Lines{"picture", stills, webp, Img}));
  // A transparent design at 1x alone: its GIF is not exact, its WebP and still are.
  EXPECT_EQ(Parsed({120, 40, "Badge", {{Kind::Webp, 1, "badge.webp", 700}, {Kind::Gif, 1,
                    "badge.gif", 900, false}, {Kind::Still, 1, "badge-still.png", 90}}}),
            (Lines{"picture", StillSet + "badge-still.png", WebpSet + "badge.webp", Img}));
}

TEST_F(WebSnippetTest, AnyNameAndCaptionGiveValidHtmlThatReadsBackAsThemselves) {
  const std::string gif = "a \"b\" <c> & d, e\xC3\xA9#?.gif", svg = "x:y.svg",
                    webp = "50%, 'off'.webp", still = "st\x01ill\x7F/\xE2\x82\xAC.png";
  const WebPicture picture{120, 40,
      "Say \"<b>\" & 'c',\x01\t\xC2\x85\xC3\xA9 \xF0\x9D\x84\x9E\xEF\xBF\xBF\xC3< \xE2\x82",
      {{Kind::Svg, 1, svg, 50}, {Kind::Webp, 2, webp, 60}, {Kind::Gif, 1, gif, 900},
       {Kind::Still, 1, still, 10}}};
  // Controls read as spaces; a noncharacter and broken UTF-8 as U+FFFD.
  const std::string alt =
      "Say \"<b>\" & 'c',   \xC3\xA9 \xF0\x9D\x84\x9E\xEF\xBF\xBD\xEF\xBF\xBD< \xEF\xBF\xBD";
  EXPECT_EQ(Parsed(picture), (Lines{"picture", StillSet + still, SvgSet + svg, WebpSet + webp +
      " 2x", "img\tsrc=" + gif + "\twidth=120\theight=40\talt=" + alt + "\tdecoding=async"}));
}

TEST(WebDownloadsTest, TotalsFollowTheSnippetAndTheTableShowsThem) {
  const auto totals = [](const DownloadTotals& t) { return Lines{std::to_string(t.Modern),
      std::to_string(t.Old), std::to_string(t.ReducedMotion)}; };
  EXPECT_EQ(totals(Downloads(Opaque(300, 500))), (Lines{"300", "1000", "200"}));
  EXPECT_EQ(totals(Downloads(Opaque(800, 500))), (Lines{"500", "1000", "200"}));
  EXPECT_EQ(totals(Downloads(Opaque(0, 1000))), (Lines{"1000", "1000", "200"}));
  const WebPicture stillLess{1, 1, "", {{Kind::Svg, 1, "b.svg", 70}, {Kind::Gif, 1, "b.gif", 90}}};
  EXPECT_EQ(totals(Downloads(stillLess)), (Lines{"70", "90", "70"}));

  WebPicture picture = Opaque(300, 500);
  picture.Files[1].Name = "\xC3\xA9t\xC3\xA9\x01.webp";  // more bytes than characters
  const std::string table = SizeTable(picture);
  EXPECT_NE(table.find("\xC3\xA9t\xC3\xA9\\x01.webp"), std::string::npos) << table;
  // Every line's bytes and ratio to the GIF end in the same column.
  std::set<std::size_t> ends;
  using Cells = std::vector<std::pair<std::string, double>>;
  Cells cell;
  std::istringstream lines(table);
  std::smatch match;
  for (std::string line; std::getline(lines, line);) {
    if (!std::regex_search(line, match, std::regex(R"(\s(\d+)\s+(\d+\.\d\d)x)"))) continue;
    const std::string start = match.prefix().str() + match.str();
    ends.insert(std::count_if(start.begin(), start.end(),
                              [](char c) { return (c & 0xC0) != 128; }));
    cell.emplace_back(match[1].str(), std::stod(match[2].str()));
  }
  EXPECT_EQ(ends.size(), 1u) << table;
  ASSERT_EQ(cell.size(), 9u) << table;  // six files, three totals
  // The 2x WebP's row; a modern browser's download (the SVG) and reduced motion's (the 1x still).
  EXPECT_EQ((Cells{cell[2], cell[6], cell[8]}), (Cells{{"1500", 1.5}, {"300", .3}, {"200", .2}}));
}

}  // namespace
}  // namespace flinder
