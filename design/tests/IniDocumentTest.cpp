#include <gtest/gtest.h>

#include "design/IniDocument.h"

namespace flinder {
namespace {

TEST(IniDocument, ReadsDropBlanksAndOnePairOfQuotes) {
  IniDocument file(
      "[Design]\nA = spaced  \nB=\"quoted\"\nC='single'\nD=\"\"x\"\"\nE=\"open\nF=\t\n"
      "G=a=b\n");
  EXPECT_EQ(file.Read("Design", "A"), "spaced");
  EXPECT_EQ(file.Read("Design", "B"), "quoted");
  EXPECT_EQ(file.Read("Design", "C"), "single");
  EXPECT_EQ(file.Read("Design", "D"), "\"x\"");
  EXPECT_EQ(file.Read("Design", "E"), "\"open");
  EXPECT_EQ(file.Read("Design", "F"), "");
  EXPECT_EQ(file.Read("Design", "G"), "a=b");
  EXPECT_EQ(file.Read("Design", "Missing"), "");
  EXPECT_EQ(file.Read("Missing", "A"), "");
}

TEST(IniDocument, NamesMatchWithoutRegardToCaseAndTheFirstMatchWins) {
  IniDocument file(
      "top=0\n[WINDOW]\nleft=1\nLeft=2\n; Top=9\n[Caf\xC9]\nK=\xE9\n[window]\nTop=3\n");
  EXPECT_EQ(file.Read("Window", "LEFT"), "1");
  EXPECT_EQ(file.Read("Window", "Top"), "");  // commented out, and only the first section counts
  EXPECT_EQ(file.Read("caf\u00E9", "k"), "\u00E9");
  EXPECT_EQ(file.Read("", "top"), "");
}

TEST(IniDocument, LongValuesReadAsTheirFirst249Characters) {
  std::string caption(300, 'x');
  caption[248] = 'y';
  IniDocument file;
  file.Write("D", "Text", caption);
  EXPECT_EQ(file.Read("D", "Text"), caption.substr(0, 249));
  EXPECT_NE(file.Bytes().find(caption), std::string::npos);  // stored whole
  // The limit counts characters, not UTF-8 bytes.
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\u00E9";
  file.Write("D", "Text", accents);
  EXPECT_EQ(file.Read("D", "Text"), accents.substr(0, 2 * MaxValueLength));
}

TEST(IniDocument, WritesCreateReplaceAndAppendInPlace) {
  IniDocument file;
  file.Write("Shapes", "Star", "1");
  file.Write("Star", "Slider0", "0.5");
  file.Write("Shapes", "Wave", "1");
  file.Write("star", "SLIDER0", "0.25");
  file.Write("Star", "Text", "");
  EXPECT_EQ(file.Bytes(), "[Shapes]\nStar=1\nWave=1\n\n[Star]\nSlider0=0.25\nText=\n");
  EXPECT_EQ(file.Read("Star", "Text"), "");
}

TEST(IniDocument, HandMadeFilesKeepEverythingButTheChangedEntries) {
  const std::string made =
      "; designs\r\n\r\n[Shapes]\r\nStar=1\r\n\r\n; the star\r\n[Star]\r\n  PosX =  0.5 \r\n"
      "odd line\r\n\r\n; window\r\n[Window]\r\nLeft=10\r\n[Empty]";
  IniDocument file(made);
  EXPECT_EQ(file.Bytes(), made);
  file.Write("Star", "PosX", "0.25");
  file.Write("Star", "PosY", "0.75");
  file.Write("Shapes", "Comet", "1");
  file.Write("Empty", "A", "1");
  file.Write("New", "B", "2");
  EXPECT_EQ(file.Bytes(),
            "; designs\r\n\r\n[Shapes]\r\nStar=1\r\nComet=1\r\n\r\n; the star\r\n[Star]\r\n"
            "PosX=0.25\r\nPosY=0.75\r\nodd line\r\n\r\n; window\r\n[Window]\r\nLeft=10\r\n"
            "[Empty]\r\nA=1\r\n\r\n[New]\r\nB=2\r\n");
}

TEST(IniDocument, ValuesThatReadingWouldChangeAreQuoted) {
  IniDocument file;
  for (std::string value : {" Sale ", "\"Hi\"", "'x'", "\"", "a \"b\"", "\t"}) {
    file.Write("D", "Text", value);
    EXPECT_EQ(file.Read("D", "Text"), value);
  }
  file.Write("D", "Plain", "a \"b\"");
  EXPECT_NE(file.Bytes().find("\nPlain=a \"b\"\n"), std::string::npos);
}

TEST(IniDocument, ValuesStayOneLineAndBadNamesAreRefused) {
  IniDocument file("[A]\nK=1\n");
  file.Write("A", "K", "one\r\n[Shapes]\nEvil=1");
  EXPECT_EQ(file.Bytes(), "[A]\nK=one  [Shapes] Evil=1\n");
  for (auto [section, key] : {std::pair{"", "K"},
                              {"A", ""},
                              {"A]", "K"},
                              {"A", "K=2"},
                              {"A\n", "K"},
                              {"A", ";K"},
                              {"A", "[K"},
                              {" A", "K"},
                              {"A", "K "}})
    EXPECT_FALSE(file.Write(section, key, "x")) << section << "/" << key;
  EXPECT_EQ(file.Bytes(), "[A]\nK=one  [Shapes] Evil=1\n");
}

TEST(IniDocument, GarbageNeverBreaksReadingOrWriting) {
  std::string garbage =
      std::string("[\0]\n=\n[[]]\n\r\r\n[A\n", 17) + std::string(100000, 'k') + "=v";
  IniDocument file(garbage);
  EXPECT_EQ(file.Bytes(), garbage);
  EXPECT_EQ(file.Read("A", "k"), "");
  EXPECT_TRUE(file.Write("A", "k", "1"));
  EXPECT_EQ(file.Read("A", "k"), "1");
  EXPECT_EQ(IniDocument(file.Bytes()).Read("A", "k"), "1");
}

}  // namespace
}  // namespace flinder
