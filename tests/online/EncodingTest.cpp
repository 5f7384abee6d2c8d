#include <gtest/gtest.h>

#include "online/FormEncoding.h"
#include "online/LocaleText.h"
#include "online/ReplyText.h"

namespace online {
namespace {

TEST(FormEncoding, EncodesNamesAndValuesAsHtmlFormsJoinedInOrder) {
  EXPECT_EQ(EncodeForm({"app=lumenfold", "ver=1.0", "q=a b&c=d", "loc=United%20States,English", "flag"}),
            "app=lumenfold&ver=1.0&q=a+b%26c%3Dd&loc=United%2520States%2CEnglish&flag=");
  EXPECT_EQ(FormEncodeComponent("*-._~ +/\xC3\xA9"), "*-._%7E+%2B%2F%C3%A9");
}

TEST(FormEncoding, UrlEncodeKeepsAddressCharactersAndExistingEscapes) {
  const struct {
    const char* text;
    const char* encoded;
  } cases[] = {
      {"loc=United States,English", "loc=United%20States,English"},
      {"loc=C\xC3\xB4te d'Ivoire,French", "loc=C%C3%B4te%20d'Ivoire,French"},
      {"a%20b", "a%20b"},            // already escaped
      {"100%", "100%25"},            // a lone percent is escaped
      {"%zz", "%25zz"},              // not a valid escape
      {"x\"<>\\^`{|}\t\x7F", "x%22%3C%3E%5C%5E%60%7B%7C%7D%09%7F"},
  };
  for (const auto& c : cases) EXPECT_EQ(UrlEncode(c.text), c.encoded) << c.text;
}

TEST(Base64, DecodesSkippingCharactersOutsideTheAlphabet) {
  const std::string plain = "3.5|Lumenfold 3.5 is out";
  const std::string encoded = "My41fEx1bWVuZm9sZCAzLjUgaXMgb3V0";
  EXPECT_EQ(DecodeBase64(encoded), plain);
  EXPECT_EQ(DecodeBase64("My41fEx1bWVu\r\nZm9sZCAzLjUg\n aXMgb3V0\r\n"), plain);
  EXPECT_EQ(DecodeBase64("YQ=="), "a");
  EXPECT_EQ(DecodeBase64("YWI="), "ab");
  EXPECT_EQ(DecodeBase64("/+8="), "\xFF\xEF");
  EXPECT_EQ(DecodeBase64(""), "");
  EXPECT_EQ(DecodeBase64("!!"), "");
}

TEST(ReplyText, SplitsAtBarsAndLineBreaksKeepingQuotedSeparators) {
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(SplitPieces("3.5|text"), (Pieces{"3.5", "text"}));
  EXPECT_EQ(SplitPieces("\r\n3.5\r\n\r\n||x|"), (Pieces{"3.5", "x"}));
  EXPECT_EQ(SplitPieces("'a|b'|\"c\nd\"|e"), (Pieces{"'a|b'", "\"c\nd\"", "e"}));
  EXPECT_EQ(SplitPieces("it's|x"), (Pieces{"it's|x"}));  // an open quote runs to the end
  EXPECT_TRUE(SplitPieces("").empty());
}

TEST(ReplyText, ParsesDecimalsWithAPointOnly) {
  EXPECT_EQ(ParseDecimalText("2.5"), 2.5L);
  EXPECT_EQ(ParseDecimalText(" +3.25 "), 3.25L);
  EXPECT_EQ(ParseDecimalText("-1e2"), -100.0L);
  EXPECT_EQ(ParseDecimalText(".5"), 0.5L);
  for (const char* bad : {"", " ", "2,5", "3.5a", "inf", "nan", "0x10", "1e", "+", "1 2"})
    EXPECT_THROW(ParseDecimalText(bad), std::runtime_error) << bad;
  try {
    ParseDecimalText("x");
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "strtofloat error");
  }
}

TEST(ReplyText, ComparesVersionsAsDecimalsRoundedTo32BitFloats) {
  const struct {
    const char* reply;
    const char* running;
    bool newer;
  } cases[] = {
      {"3.1", "3.0", true},
      {"3.0", "3.0", false},
      {"3.10", "3.9", false},  // decimals, not version segments
      {"3.5|text", "3.0", true},
      {"\r\n3.5\r\nnotes", "3.0", true},
      {"1.00000001", "1.0", false},  // equal once rounded to float
      {"1.0000001", "1.0", true},
      {"new|3.5", "1.0", false},
      {"", "1.0", false},
      {"'3.5|x'", "1.0", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsNewerVersion(c.reply, c.running), c.newer) << c.reply << " vs " << c.running;

  std::string many = "9.0";
  for (int i = 0; i < 255; ++i) many += "|x";
  EXPECT_EQ(LatestVersion(many), 0);  // 256 pieces
  many.resize(many.size() - 2);
  EXPECT_EQ(LatestVersion(many), 9.0L);
}

TEST(ReplyText, NormalisesBannerSeparators) {
  EXPECT_EQ(NormaliseBannerReply("1:|:a:|:b:|:Big | sale"), "1|a|b|Big - sale");
  EXPECT_EQ(NormaliseBannerReply("x :|: y"), "x | y");  // the bar rule runs first
}

TEST(LocaleText, GivesTheEnglishNamesCutToTheMaximum) {
  const std::string language = GetLocaleText(LOCALE_SENGLANGUAGE, 0);
  EXPECT_FALSE(language.empty());
  EXPECT_FALSE(GetLocaleText(LOCALE_SENGCOUNTRY, 0).empty());
  EXPECT_EQ(GetLocaleText(LOCALE_SENGLANGUAGE, 2), language.substr(0, 2));
  EXPECT_EQ(GetLocaleText(4096, 0), "");  // not a code the program asks for
}

}  // namespace
}  // namespace online
