#include <gtest/gtest.h>

#include "design/IniDocument.h"
#include "design/ShapeList.h"

namespace flinder {
namespace {

TEST(IniDocument, ReadsDropBlanksAndQuotesMatchNamesWithoutCaseAndStopAt249Characters) {
  IniDocument file(
      "[Design]\nA = spaced  \nB=\"quoted\"\nC='single'\nD=\"\"x\"\"\nE=\"open\nF=\t\n"
      "G=a=b\nH=\"\"\n");
  EXPECT_EQ(file.Read("Design", "A"), "spaced");
  EXPECT_EQ(file.Read("Design", "B"), "quoted");
  EXPECT_EQ(file.Read("Design", "C"), "single");
  EXPECT_EQ(file.Read("Design", "D"), "\"x\"");
  EXPECT_EQ(file.Read("Design", "E"), "\"open");
  EXPECT_EQ(file.Read("Design", "F"), "");
  EXPECT_EQ(file.Read("Design", "G"), "a=b");
  EXPECT_EQ(file.Read("Design", "H"), "");
  // Names match without regard to case and the first match wins.
  file = IniDocument(
      "top=0\n[WINDOW]\nleft=1\nLeft=2\n; Top=9\n[Caf\xC9]\nK=\xE9\n[window]\nTop=3\n"
      "[\xDEx]\nK=thorn\n");
  EXPECT_EQ(file.Read("Window", "LEFT"), "1");
  EXPECT_EQ(file.Read("Window", "Top"), "");  // commented out, and only the first section counts
  EXPECT_EQ(file.Read("caf\u00E9", "k"), "\u00E9");
  EXPECT_EQ(file.Read("\u00FEx", "k"), "thorn");
  EXPECT_EQ(file.Read("", "top"), "");
  // Long values read as their first 249 characters.
  std::string caption(300, 'x');
  caption[248] = 'y';
  file.Write("D", "Text", caption);
  EXPECT_EQ(file.Read("D", "Text"), caption.substr(0, 249));
  EXPECT_NE(file.Bytes().find(caption), std::string::npos);  // stored whole
  // The limit counts characters, not UTF-8 bytes.
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\u00E9";
  file.Write("D", "Text", accents);
  EXPECT_EQ(file.Read("D", "Text"), accents.substr(0, 2 * MaxValueLength));
}

TEST(IniDocument, WritesKeepEverythingButTheChangedEntries) {
  const std::string made =
      "; designs\r\n\r\n[Shapes]\r\nStar=1\r\n\r\n; the star\r\n[Star]\r\n  PosX =  0.5 \r\n"
      "odd line\r\n\r\n; window\r\n[Window]\r\nLeft=10\r\n[Empty]";
  IniDocument file(made);
  EXPECT_EQ(file.Bytes(), made);
  file.Write("star", "POSX", "0.25");  // the entry keeps its spelling
  file.Write("Star", "PosY", "0.75");
  file.Write("Shapes", "Comet", "1");
  file.Write("Empty", "A", "1");
  file.Write("New", "B", "2");
  EXPECT_EQ(file.Bytes(),
            "; designs\r\n\r\n[Shapes]\r\nStar=1\r\nComet=1\r\n\r\n; the star\r\n[Star]\r\n"
            "PosX=0.25\r\nPosY=0.75\r\nodd line\r\n\r\n; window\r\n[Window]\r\nLeft=10\r\n"
            "[Empty]\r\nA=1\r\n\r\n[New]\r\nB=2\r\n");
}

TEST(IniDocument, ValuesReadBackAsWrittenOnOneLineAndBadNamesAreRefused) {
  IniDocument file("[A]\nK=1\n");
  // Values that reading would change are quoted.
  for (std::string value : {" Sale ", "\"Hi\"", "'x'", "\"", "a \"b\"", "\t"}) {
    file.Write("A", "Text", value);
    EXPECT_EQ(file.Read("A", "Text"), value);
  }
  file.Write("A", "Text", "a \"b\"");
  file.Write("A", "K", "one\r\n[Shapes]\nEvil=1");
  const std::string good = "[A]\nK=one  [Shapes] Evil=1\nText=a \"b\"\n";
  EXPECT_EQ(file.Bytes(), good);
  for (const char* section : {"", "A\n", " A", "A\t"})
    EXPECT_FALSE(file.Write(section, "K", "x")) << section;
  for (const char* key : {"", "K=2", ";K", "[K", "K "})
    EXPECT_FALSE(file.Write("A", key, "x")) << key;
  EXPECT_EQ(file.Bytes(), good);
}

TEST(IniDocument, SectionsAreFoundAmongManyAndNamesMayHoldBrackets) {
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "[S" + std::to_string(i) + "]\nK=" + std::to_string(i) + "\n";
  text += "[s5]\nK=later\n[Logo [v2]]\nK=logo";
  IniDocument file(text);
  EXPECT_EQ(file.Read("S19999", "k"), "19999");
  EXPECT_EQ(file.Read("s5", "K"), "5");  // the first of two wins
  EXPECT_EQ(file.Read("Logo [v2]", "K"), "logo");
  EXPECT_EQ(file.Read("S20000", "K"), "");
  // A section added by one write takes the next; a changed one reads back.
  EXPECT_TRUE(file.Write("New", "A", "1"));
  EXPECT_TRUE(file.Write("NEW", "B", "2"));
  EXPECT_TRUE(file.Write("S3", "K", "x"));
  EXPECT_TRUE(file.Write("Logo [v2]", "J", "2"));
  EXPECT_EQ(file.Read("new", "b"), "2");
  EXPECT_EQ(file.Read("S3", "K"), "x");
  std::string expected = text + "\nJ=2\n\n[New]\nA=1\nB=2\n";
  expected.replace(expected.find("[S3]\nK=3\n"), 9, "[S3]\nK=x\n");
  EXPECT_EQ(file.Bytes(), expected);
}

TEST(IniDocument, GarbageNeverBreaksReadingOrWriting) {
  std::string garbage =
      std::string("[\0]\n=\n[[]]\n\r\r\n[A\n", 17) + std::string(100000, 'k') + "=v";
  IniDocument file(garbage);
  EXPECT_EQ(file.Bytes(), garbage);
  EXPECT_EQ(file.Read("A", "k"), "");
  EXPECT_TRUE(file.Write("A", "k", "1"));
  EXPECT_EQ(IniDocument(file.Bytes()).Read("A", "k"), "1");
}

using Names = std::vector<std::string>;

TEST(ShapeList, ListsTheMarkedDesignsFromTheExactHeaderToTheFirstEmptyLine) {
  EXPECT_EQ(ScanShapeList("[Shapes]\nStar=1\nDisc=0\nWave=1\n\n[Star]\nSlider0=1\n"),
            (Names{"Star", "Wave"}));
  EXPECT_EQ(ScanShapeList("[Shapes]\r\nStar=1\r\nWave=1\r\n\r\n[Wave]\r\nSlider0=1\r\n"),
            (Names{"Star", "Wave"}));
  // Only the last character decides; the file may end without a line break.
  EXPECT_EQ(ScanShapeList("[Shapes]\nA=9\nB=x\nC=10\nD=-1\nE=1"), (Names{"A", "E"}));
  // Lines without a name the file can hold are skipped; brackets inside a name are fine.
  EXPECT_EQ(ScanShapeList("[Shapes]\n1\n=1\nWindow=1\n Pad=1\nLogo [v2]=1\nCaf\xE9=1\n"),
            (Names{"Logo [v2]", "Caf\u00E9"}));
  for (const char* text : {"[shapes]\nStar=1\n", " [Shapes]\nStar=1\n", "Star=1\n[Shapes]\n"})
    EXPECT_EQ(ScanShapeList(text), Names{}) << text;
  EXPECT_EQ(ScanShapeList("[Shapes]\nStar=1\n\nWave=1\n"), Names{"Star"});
  // A later list section is scanned too.
  EXPECT_EQ(ScanShapeList("[Shapes]\nA=1\n\n[A]\nX=1\n[Shapes]\nB=1\n"), (Names{"A", "B"}));
}

}  // namespace
}  // namespace flinder
