#include <gtest/gtest.h>

#include <random>

#include "pdf/PdfStructure.h"
#include "pdf/PdfText.h"

using namespace pdf;

namespace {
// The text form of what the parser made, and how much it consumed.
std::pair<std::string, size_t> Parse(std::string_view text) {
  TPDFStructure s;
  ParseResult r = s.ParseObject(text);
  return {r.object->ToText(), r.consumed};
}
}  // namespace

TEST(ParseObject, ValuesAndCharactersConsumed) {
  struct Case { std::string text; std::string written; size_t consumed; };
  const Case cases[] = {
      {"12 0", "12", 2},
      {"12 0 R", "12 0 R", 6},
      {"  % comment\r\n 7 ", "7", 15},
      {"-0.5", "-0.5", 4},
      {".5", "0.5", 2},
      {"5.", "5", 2},
      {"-.25", "-0.25", 4},
      {"3.14159265358979", "3.1416", 16},
      {"123456789", "123456789", 9},
      {"true", "true", 4},
      {"false/", "false", 5},
      {"nullx", "null", 0},
      {"null", "null", 4},
      {"truex", "null", 0},
      {")", "null", 0},
      {"", "null", 0},
      {"   ", "null", 3},
      {"/A#20B", "/A#20B", 6},
      {"/Name/Next", "/Name", 5},
      {"/#4g", "/#234g", 4},
      {"<48656C>", "<48656C>", 8},
      {"<4 8 6>", "<4860>", 7},
      {"<abc", "<ABC0>", 4},
      {"(a(b)c)", "(a\\(b\\)c)", 7},
      {"(unbalanced", "null", 11},
      {"[ 1 0 R 2 0 R ]", "[ 1 0 R 2 0 R ]", 15},
      {"[1 2", "[ 1 2 ]", 4},
      {"[]", "[ ]", 2},
      {"<< /Type /Page /Count 3 >>", "<<\n/Type /Page\n/Count 3\n>>\n", 26},
      {"<</A 1/B>>", "<<\n/A 1\n>>\n", 10},
      // The loop stops right after the value: the ">>" is not at the position then.
      {"<< 1 2 >>", "<<\n>>\n", 6},
      {"[ << /A [ 1 ] >> /B ]", "[ <<\n/A [ 1 ]\n>>\n/B ]", 21},
      {"{", "null", 0},
  };
  for (const Case& c : cases) {
    auto [written, consumed] = Parse(c.text);
    EXPECT_EQ(written, c.written) << "text: " << c.text;
    EXPECT_EQ(consumed, c.consumed) << "text: " << c.text;
  }
}

TEST(ParseObject, LiteralStringEscapesAndLineEnds) {
  struct Case { std::string text; std::string bytes; };
  const Case cases[] = {
      {"(\\101\\1011)", "AA1"},
      {"(\\7)", "\x07"},
      {"(\\0053)", "\x05" "3"},
      {"(\\777)", "\xff"},
      {"(a\\\nb)", "ab"},
      {"(a\\\r\nb)", "ab"},
      {"(a\\\rb)", "ab"},
      {"(a\rb)", "a\nb"},
      {"(a\r\nb)", "a\nb"},
      {"(\\(\\)\\\\\\b\\f\\n\\r\\t)", "()\\\b\f\n\r\t"},
      {"(\\q)", "\\q"},
      {"(a\\)b)", "a)b"},
  };
  for (const Case& c : cases) {
    TPDFStructure s;
    auto* string = As<TPDFString>(s.ParseObject(c.text).object);
    ASSERT_NE(string, nullptr) << c.text;
    EXPECT_EQ(string->Value(), c.bytes) << c.text;
    EXPECT_EQ(string->Mode(), TextMode::Literal);
  }
}

TEST(ParseObject, ArraysOfReferencesAndNestedValues) {
  TPDFStructure s;
  auto* array = As<TPDFArray>(s.ParseObject("[1 0 R 2 0 R]").object);
  ASSERT_NE(array, nullptr);
  ASSERT_EQ(array->Count(), 2);
  auto* second = As<TPDFIndRef>(array->ItemAt(1));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->ObjectNumber(), 2);
  EXPECT_EQ(second->Generation(), 0);

  auto* hex = As<TPDFString>(s.ParseObject("<48656C>").object);
  ASSERT_NE(hex, nullptr);
  EXPECT_EQ(hex->Value(), "Hel");
  EXPECT_EQ(hex->Mode(), TextMode::Hexadecimal);

  auto* name = As<TPDFName>(s.ParseObject("/A#20B").object);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->Value(), "A B");
  EXPECT_FALSE(name->Shared());
}

TEST(ParseObject, RealConversion) {
  EXPECT_DOUBLE_EQ(ParseRealToken("-0.5"), -0.5);
  EXPECT_DOUBLE_EQ(ParseRealToken("3.14159265358979"), 3.141592653);
  EXPECT_DOUBLE_EQ(ParseRealToken("1-2"), 0);
  EXPECT_DOUBLE_EQ(ParseRealToken("1.2.3"), 0);
  EXPECT_DOUBLE_EQ(ParseRealToken("99999999999999999999"), 0);
  EXPECT_DOUBLE_EQ(ParseRealToken("1234567890"), 1234567890);
}

TEST(ParseObject, BadInputNeverCrashes) {
  // Deep nesting, truncation and noise all come back as an object (a null when nothing parses).
  const std::string deepArray(100000, '[');
  const std::string deepDictionary = [] {
    std::string t;
    for (int i = 0; i < 20000; ++i) t += "<< /A ";
    return t;
  }();
  for (const std::string& text : {deepArray, deepDictionary, std::string("<< /A (x"), std::string("[ 1 0 R"),
                                  std::string("<<"), std::string("<"), std::string("/"), std::string("-"),
                                  std::string("999999999999999999999999 0 R")}) {
    TPDFStructure s;
    ParseResult r = s.ParseObject(text);
    ASSERT_NE(r.object, nullptr);
    EXPECT_LE(r.consumed, text.size());
    (void)r.object->ToText();
  }
  std::mt19937 random(7);
  const std::string alphabet = "<<>>[]()/\\%#0123456789.-RtrueflsnNm \n\r\t{}";
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 64);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    TPDFStructure s;
    ParseResult r = s.ParseObject(text);
    ASSERT_NE(r.object, nullptr) << text;
    EXPECT_LE(r.consumed, text.size()) << text;
    (void)r.object->ToText();
  }
}

TEST(ParseObject, DeepNestingGivesNull) {
  TPDFStructure s;
  EXPECT_EQ(s.ParseObject(std::string(1000, '[')).object->Kind(), ObjectKind::Null);
  EXPECT_EQ(s.ParseObject(std::string(100, '[') + std::string(100, ']')).object->Kind(), ObjectKind::Array);
}
