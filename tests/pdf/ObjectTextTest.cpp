#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "pdf/PdfStructure.h"
#include "pdf/PdfText.h"

using namespace pdf;

TEST(FormatNumber, WritesShortestFixedForm) {
  struct Case { double value; int decimals; const char* text; };
  const Case cases[] = {
      {612, 4, "612"},     {0.5, 4, "0.5"},          {1.23456, 4, "1.2346"}, {-3.25, 4, "-3.25"},
      {2.00001, 4, "2"},   {0.00001, 4, "0"},        {-0.00001, 4, "0"},     {0, 4, "0"},
      {595.2755905511812, 4, "595.2756"},            {841.8897637795276, 4, "841.8898"},
      {1e15, 4, "1000000000000000"},                 {12.5, 0, "12"},        {-7, 2, "-7"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value, c.decimals), c.text) << c.value;
}

TEST(FormatNumber, IgnoresTheUsersLocale) {
  // A German locale writes decimals with a comma; build one when the system has none.
  char folder[] = "/tmp/lumenfold-locale-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
    const std::string command = std::string("localedef -i de_DE -f UTF-8 ") + folder + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) {
      setenv("LOCPATH", folder, 1);
      std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    }
  }
  const bool comma = *std::localeconv()->decimal_point == ',';
  const std::string half = FormatNumber(0.5, 4), negative = FormatNumber(-1234.25, 4);
  std::setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
  std::system((std::string("rm -rf ") + folder).c_str());
  if (!comma) GTEST_SKIP() << "no comma locale could be made";
  EXPECT_EQ(half, "0.5");
  EXPECT_EQ(negative, "-1234.25");
}

TEST(ObjectText, ScalarsAndEmptyForms) {
  TPDFStructure s;
  EXPECT_EQ(s.NewNull()->ToText(), "null");
  EXPECT_EQ(s.NewBoolean(true)->ToText(), "true");
  EXPECT_EQ(s.NewBoolean(false)->ToText(), "false");
  EXPECT_EQ(s.NewReference(4, 0)->ToText(), "4 0 R");
  EXPECT_EQ(s.NewDictionary()->ToText(), "<<\n>>\n");
  EXPECT_EQ(s.NewArray()->ToText(), "[ ]");
  EXPECT_EQ(s.NewName("")->ToText(), "/");
  EXPECT_EQ(s.NewString("", TextMode::Hexadecimal)->ToText(), "<>");
  EXPECT_EQ(s.NewIntegerArray({0, 0, 612, 792})->ToText(), "[ 0 0 612 792 ]");
}

TEST(ObjectText, NamesEscapeDelimitersAndOutsideBytes) {
  TPDFStructure s;
  EXPECT_EQ(s.NewName("A B#")->ToText(), "/A#20B#23");
  EXPECT_EQ(s.NewName("a/b(c)d%e[f]g{h}i<j>k")->ToText(), "/a#2Fb#28c#29d#25e#5Bf#5Dg#7Bh#7Di#3Cj#3Ek");
  EXPECT_EQ(s.NewName(std::string("\x01\x7f\xff~!", 5))->ToText(), "/#01#7F#FF~!");
}

TEST(ObjectText, LiteralStringsEscapeEightBytesOnly) {
  TPDFStructure s;
  EXPECT_EQ(s.NewString("(word)", TextMode::Literal)->ToText(), "(\\(word\\))");
  EXPECT_EQ(s.NewString("\b\t\n\f\r\\", TextMode::Literal)->ToText(), "(\\b\\t\\n\\f\\r\\\\)");
  const std::string raw("\0\x0b\xe9", 3);
  EXPECT_EQ(s.NewString(raw, TextMode::Literal)->ToText(), "(" + raw + ")");
  EXPECT_EQ(s.NewString("He\x01", TextMode::Hexadecimal)->ToText(), "<486501>");
}

TEST(ObjectText, LongArraysBreakAfterEightyCharacters) {
  TPDFStructure s;
  TPDFArray* array = s.NewArray();
  for (int i = 0; i < 40; ++i) array->Append(s.NewNumber(10 + i));
  // "[ " then "NN " per item: the break comes once more than 80 characters stand on the line.
  std::string expected = "[ ";
  size_t lineStart = 0;
  for (int i = 0; i < 40; ++i) {
    expected += std::to_string(10 + i) + " ";
    if (expected.size() - lineStart > 80) {
      expected += "\n";
      lineStart = expected.size();
    }
  }
  expected += "]";
  EXPECT_EQ(array->ToText(), expected);
  EXPECT_EQ(expected.substr(0, 84), "[ 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32 33 34 35 36 \n");
}

TEST(ObjectText, DictionaryInsideArrayIsFollowedByNoSpace) {
  TPDFStructure s;
  TPDFDictionary* inner = s.NewDictionary();
  inner->SetValue("Type", s.SharedName("Annot"));
  TPDFArray* array = s.NewArrayOf({inner, s.NewNumber(1)});
  EXPECT_EQ(array->ToText(), "[ <<\n/Type /Annot\n>>\n1 ]");
}

TEST(ObjectText, DictionaryAndStream) {
  TPDFStructure s;
  TPDFDictionary* catalog = s.NewDictionary();
  catalog->SetValue("Type", s.SharedName("Catalog"));
  catalog->SetValue("Pages", s.NewReference(1, 0));
  EXPECT_EQ(catalog->ToText(), "<<\n/Type /Catalog\n/Pages 1 0 R\n>>\n");

  TPDFDictionary* outer = s.NewDictionary();
  outer->SetValue("Inner", catalog);
  outer->SetValue("N", s.NewNumber(2));
  EXPECT_EQ(outer->ToText(), "<<\n/Inner <<\n/Type /Catalog\n/Pages 1 0 R\n>>\n/N 2\n>>\n");

  TPDFStream* stream = s.NewStream("q Q", false);
  EXPECT_EQ(stream->ToText(), "<<\n/Length 3\n>>\nstream\nq Q\nendstream");
}

TEST(ObjectText, AContainerHoldingItselfWritesABugLineInsteadOfRecursingForever) {
  TPDFStructure s;
  TPDFArray* array = s.NewArray();
  array->Append(array);
  TPDFDictionary* dictionary = s.NewDictionary();
  dictionary->SetValue("Loop", array);
  dictionary->SetValue("Next", s.NewNumber(1));
  EXPECT_EQ(dictionary->ToText(), "<<\n% bug \n/Next 1\n>>\n");
  EXPECT_THROW(array->ToText(), EPDFError);
}
