#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>

#include "pdf/Clock.h"
#include "pdf/PdfDate.h"
#include "pdf/PdfDocument.h"
#include "pdf/PdfInfo.h"
#include "pdf/TextString.h"

using namespace pdf;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<uint8_t>(c);
    if (!out.empty()) out += ' ';
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string Written(TPDFDocument& document) {
  TMemoryStream stream;
  EXPECT_TRUE(document.WriteToStream(stream));
  return stream.Data();
}

std::vector<std::string> Keys(const TPDFDictionary& dictionary) {
  std::vector<std::string> keys;
  for (int32_t i = 0; i < dictionary.Count(); ++i) keys.push_back(dictionary.EntryAt(i).key->Value());
  return keys;
}

// Sets TZ for the scope of a test and puts the old value back.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (old_) setenv("TZ", old_->c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> old_;
};

class ScopedFixedClock {
 public:
  explicit ScopedFixedClock(int64_t unixMilliseconds) { SetFixedClockForTesting(unixMilliseconds); }
  ~ScopedFixedClock() { SetFixedClockForTesting(std::nullopt); }
  ScopedFixedClock(const ScopedFixedClock&) = delete;
  ScopedFixedClock& operator=(const ScopedFixedClock&) = delete;
};

constexpr int64_t k20240131T113405Z = 1706700845000;
constexpr int64_t k20240715T113405Z = 1721043245000;

// What the facade does: defaults right after InitNewDocument, then the application's entries.
void FillLikeTheApplication(TPDFDocument& document, std::u16string_view title) {
  SetInfoText(document, "Producer", u"Lumenfold PDF 1.0");
  SetInfoText(document, "Creator", u"Lumenfold PDF 1.0");
  SetInfoText(document, "CreationDate", Utf8ToUtf16(PdfDateNow()));
  SetInfoText(document, "ModDate", Utf8ToUtf16(PdfDateNow()));
  SetInfoText(document, "Author", u"Ann Author");
  SetInfoText(document, "Title", title);
  SetInfoText(document, "Subject", u"Scans");
  SetInfoText(document, "Keywords", u"one, two");
  SetInfoText(document, "Creator", u"Lumenfold 2.4");
  SetInfoText(document, "Producer", u"Lumenfold PDF 1.0");
}

// ---- Text strings ----

struct EncodeCase {
  const char* name;
  std::u16string text;
  bool forceUnicode;
  std::string expectedHex;
};

TEST(TextString, EncodesPdfDocEncodingOrUtf16) {
  const std::vector<EncodeCase> cases = {
      {"ascii", u"Scan 1", false, "53 63 61 6E 20 31"},
      {"empty", u"", false, ""},
      {"euro alone", u"\u20AC", false, "A0"},
      {"L with stroke", u"\u0141", false, "95"},
      {"latin-1 letter keeps its byte", u"\u00E9", false, "E9"},
      {"breve from the low block", u"\u02D8", false, "18"},
      {"U+0017 takes its own byte, not 16", u"\u0017", false, "17"},
      {"U+0016 has no code", u"\u0016", false, "FE FF 00 16"},
      {"U+FFFD has no code", u"\uFFFD", false, "FE FF FF FD"},
      {"greek", u"\u039A\u03B1", false, "FE FF 03 9A 03 B1"},
      {"one foreign letter switches the whole text", u"A\u4E2D", false, "FE FF 00 41 4E 2D"},
      {"forced", u"A", true, "FE FF 00 41"},
      {"pair stays a pair", u"\U0001F600", false, "FE FF D8 3D DE 00"},
      {"unpaired high surrogate", u"a\xD83D", false, "FE FF 00 61 FF FD"},
      {"unpaired low surrogate", u"\xDE00z", false, "FE FF FF FD 00 7A"},
      {"noncharacter FDD0", u"\uFDD0", false, "FE FF FF FD"},
      {"noncharacter FFFE", u"\uFFFE", false, "FE FF FF FD"},
      {"noncharacter of plane 1", u"\U0001FFFF", false, "FE FF FF FD"},
      {"explicit length cuts", u"\xE702\xF800" u"abcdef", false, "61 62"},
      {"explicit length longer than text", u"\xE709\xF800" u"ab", false, "61 62"},
      {"explicit length zero", u"\xE700\xF800" u"ab", false, ""},
      {"high bytes alone are no prefix", u"\xE702\xF700" u"ab", false, "FE FF E7 02 F7 00 00 61 00 62"},
  };
  for (const EncodeCase& c : cases) {
    EXPECT_EQ(Hex(EncodeTextString(c.text, c.forceUnicode)), c.expectedHex) << c.name;
  }
}

TEST(TextString, DecodesBothForms) {
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"", u""},
      {"Scan", u"Scan"},
      {"\xA0\x95\x80\x18", u"\u20AC\u0141\u2022\u02D8"},
      {"\x7F\x9F\xAD", u"\uFFFD\uFFFD\uFFFD"},
      {"\xFE", u"\u00FE"},  // too short for a mark
      {"\xFE\xFF", u""},
      {"\xFE\xFF\x03\x9A\x4E\x2D", u"\u039A\u4E2D"},
      {"\xFE\xFF\xD8\x3D\xDE\x00", u"\U0001F600"},
      {"\xFE\xFF\x00\x41\x42"s, u"A\u4200"},  // odd last byte is a high byte
      {"\xFE\xFF\xD8\x3D\x00\x41"s, u"\uFFFDA"},
      {"\xFF\xFE\x41\x42", u"\u00FF\u00FEAB"},  // a little-endian mark means nothing here
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(DecodeTextString(bytes), text) << Hex(bytes);
}

TEST(TextString, EveryDefinedByteRoundTrips) {
  for (int byte = 0; byte < 256; ++byte) {
    const char16_t ch = PdfDocEncodingChar(static_cast<uint8_t>(byte));
    const std::optional<uint8_t> back = PdfDocEncodingByte(ch);
    if (ch == kReplacementChar) {
      EXPECT_FALSE(back.has_value()) << byte;
    } else if (byte == 0x16) {
      EXPECT_EQ(back, 0x17);  // both stand for U+0017; the byte of the same number wins
    } else {
      EXPECT_EQ(back, byte) << byte;
    }
  }
}

TEST(TextString, Utf8IsSanitized) {
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"plain", u"plain"},
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u00E9\u20AC\U0001F600"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},          // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
      {"\xE2\x82", u"\uFFFD"},                  // cut short: one replacement for the subpart
      {"\xE2\x82x", u"\uFFFDx"},
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xFF", u"\uFFFD"},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(Utf8ToUtf16(bytes), text) << Hex(bytes);
    EXPECT_EQ(SanitizeUtf8(bytes), Utf16ToUtf8(text)) << Hex(bytes);
  }
  EXPECT_EQ(Utf16ToUtf8(u"a\xD800"), "a\xEF\xBF\xBD");
}

// ---- Dates ----

TEST(PdfDate, ZoneComesFromTheSystem) {
  struct Case {
    const char* zone;
    int64_t instant;
    const char* expected;
  };
  const Case cases[] = {
      {"UTC", k20240131T113405Z, "D:20240131113405Z"},
      {"Europe/Berlin", k20240131T113405Z, "D:20240131123405+01'00'"},
      {"America/New_York", k20240131T113405Z, "D:20240131063405-05'00'"},
      {"America/New_York", k20240715T113405Z, "D:20240715073405-04'00'"},  // daylight time
      {"Asia/Kolkata", k20240131T113405Z, "D:20240131170405+05'30'"},
      {"America/St_Johns", k20240131T113405Z, "D:20240131080405-03'30'"},
      {"Pacific/Kiritimati", k20240131T113405Z, "D:20240201013405+14'00'"},
      {"EST5", k20240131T113405Z, "D:20240131063405-05'00'"},  // POSIX rule, no zone files needed
  };
  for (const Case& c : cases) {
    ScopedTimeZone zone(c.zone);
    ScopedFixedClock clock(c.instant);
    EXPECT_EQ(PdfDateNow(), c.expected) << c.zone;
  }
}

TEST(PdfDate, XmpFormOfDates) {
  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {u"D:20240131123405+01'00'", u"2024-01-31T12:34:05+01:00"},
      {u"D:20240131113405Z", u"2024-01-31T11:34:05Z"},
      {u"D:20240131170405+05'30'", u"2024-01-31T17:04:05+05:30"},
      {u"D:20240131063405-05'00'", u"2024-01-31T06:34:05-05:00"},
      {u"2024-01-31", u"2024-01-31"},
      {u"", u""},
      {u"D:2024", u"2024"},
      {u"D:20240131", u"2024-01-31"},
      {u"D:202401311234", u"2024-01-31T12:34"},
      {u"D:20240131123405", u"2024-01-31T12:34:05"},
      {u"D:20240131123405-0800", u"2024-01-31T12:34:05-08:00"},
      {u"D:20240131123405Z00'00'", u"2024-01-31T12:34:05Z"},
      {u"D:20240131Z", u"2024-01-31"},  // a zone only follows a time
      {u"D:yesterday", u"D:yesterday"},
      {u"D:2024013", u"D:2024013"},
      {u"D:20240131123405+", u"D:20240131123405+"},
      {u"D:20240131123405Z1", u"D:20240131123405Z1"},
      {u"D:20240131\u00E9", u"D:20240131\u00E9"},
  };
  for (const auto& [pdf, xmp] : cases) EXPECT_EQ(ToXmpDate(pdf), xmp) << Utf16ToUtf8(pdf);
}

// ---- Information entries ----

TEST(InfoEntries, KeysComeInTheOrderTheApplicationSetsThem) {
  TPDFDocument document;
  document.InitNewDocument();
  FillLikeTheApplication(document, u"Album");
  EXPECT_EQ(Keys(*document.GetInfoDictionary()),
            (std::vector<std::string>{"Producer", "Creator", "CreationDate", "ModDate", "Author", "Title", "Subject",
                                      "Keywords"}));
  EXPECT_EQ(GetInfoText(document, "Creator"), u"Lumenfold 2.4");  // replaced in place
  EXPECT_EQ(GetInfoText(document, "Title"), u"Album");
  EXPECT_EQ(GetInfoText(document, "Missing"), u"");
}

TEST(InfoEntries, WrittenTextOfTitles) {
  struct Case {
    const char* name;
    std::u16string title;
    std::string written;  // the dictionary line as the file holds it
  };
  const std::vector<Case> cases = {
      {"ascii", u"Holiday (2024)", "/Title (Holiday \\(2024\\))\n"},
      {"empty", u"", "/Title ()\n"},
      {"euro", u"\u20AC", "/Title (\xA0)\n"},
      {"greek", u"\u039A\u03B1\u03BB\u03B7", "/Title (\xFE\xFF\x03\x9A\x03\xB1\x03\xBB\x03\xB7)\n"},
      // 4E 28 holds the byte of "(" and gets its backslash; nothing else is escaped.
      {"cjk", u"\u4E2D\u6587\u4E28", "/Title (\xFE\xFFN-e\x87N\\()\n"},
  };
  for (const Case& c : cases) {
    TPDFDocument document;
    document.InitNewDocument();
    SetInfoText(document, "Title", c.title);
    EXPECT_NE(Written(document).find(c.written), std::string::npos) << c.name;
    EXPECT_EQ(GetInfoText(document, "Title"), c.title) << c.name;
  }
}

TEST(InfoEntries, ExistingValuesAreReplacedByKind) {
  TPDFDocument document;
  document.InitNewDocument();
  TPDFStructure& s = document.Structure();
  TPDFDictionary* info = document.GetInfoDictionary();

  // An indirect string is changed where it lives.
  TPDFString* indirect = s.NewString("old", TextMode::Hexadecimal);
  info->SetValue("Title", document.MakeIndirect(indirect));
  // A stream is emptied and replaced by a string at the same place.
  TPDFStream* stream = s.NewStream("streamed", false);
  info->SetValue("Subject", stream);
  info->SetValue("Keywords", s.NewNumber(7));
  EXPECT_EQ(GetInfoText(document, "Subject"), u"streamed");
  EXPECT_EQ(GetInfoText(document, "Keywords"), u"");

  SetInfoText(document, "Title", u"new");
  SetInfoText(document, "Subject", u"plain");
  SetInfoText(document, "Keywords", u"k");

  EXPECT_EQ(indirect->Value(), "new");
  EXPECT_EQ(indirect->Mode(), TextMode::Hexadecimal);
  EXPECT_EQ(stream->Data(), "");
  EXPECT_EQ(Keys(*info), (std::vector<std::string>{"Title", "Subject", "Keywords"}));
  EXPECT_EQ(As<TPDFString>(info->GetValue("Subject"))->Value(), "plain");
  EXPECT_EQ(As<TPDFString>(info->GetValue("Keywords"))->Value(), "k");
}

TEST(InfoEntries, LengthPrefixCutsTheTextInBothPlaces) {
  TPDFDocument document;
  document.InitNewDocument();
  SetInfoText(document, "Title", u"\xE705\xF800" u"Album and more");
  EXPECT_EQ(GetInfoText(document, "Title"), u"Album");
  EXPECT_NE(ReadMetadata(document).find(">Album</rdf:li>"), std::string::npos);
}

TEST(InfoEntries, DatesCarryTheZoneIntoBothPlaces) {
  ScopedTimeZone zone("Asia/Kolkata");
  ScopedFixedClock clock(k20240131T113405Z);
  TPDFDocument document;
  document.InitNewDocument();
  SetInfoText(document, "CreationDate", Utf8ToUtf16(PdfDateNow()));
  EXPECT_EQ(GetInfoText(document, "CreationDate"), u"D:20240131170405+05'30'");
  EXPECT_NE(ReadMetadata(document).find("<xmp:CreateDate>2024-01-31T17:04:05+05:30</xmp:CreateDate>"),
            std::string::npos);
}

// ---- Metadata stream ----

TEST(MetadataStream, FollowsTheFirstPageAndIsReusedAfterwards) {
  TPDFDocument document;
  document.InitNewDocument();
  SetInfoText(document, "Producer", u"P");
  const size_t objects = document.ObjectTable().size();
  EXPECT_EQ(objects, 6u);
  EXPECT_EQ(document.GetCatalog()->GetValue("Metadata")->ToText(), "6 0 R");

  FillLikeTheApplication(document, u"Album");
  EXPECT_EQ(document.ObjectTable().size(), objects);

  const TPDFStream* stream = As<TPDFStream>(document.GetCatalog()->GetValue("Metadata", true));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(Keys(*stream->Dictionary()), (std::vector<std::string>{"Length", "Type", "Subtype"}));
  EXPECT_EQ(stream->Dictionary()->GetInteger("Length", -1), static_cast<int32_t>(stream->Data().size()));
  EXPECT_EQ(ReadMetadata(document), stream->Data());
  EXPECT_EQ(stream->Data().rfind("<?xpacket begin=", 0), 0u);
  EXPECT_NE(stream->Data().find("<rdf:li xml:lang=\"x-default\">Album</rdf:li>"), std::string::npos);
  EXPECT_NE(stream->Data().find("<xmp:CreatorTool>Lumenfold 2.4</xmp:CreatorTool>"), std::string::npos);
  EXPECT_EQ(Written(document).find("/Filter"), std::string::npos);
}

TEST(MetadataStream, ReadOnlyFromAnXmlMetadataStream) {
  TPDFDocument document;
  document.InitNewDocument();
  TPDFStructure& s = document.Structure();
  TPDFStream* stream = s.NewStream("<x/>", false);
  document.GetCatalog()->SetValue("Metadata", document.MakeIndirect(stream));
  EXPECT_EQ(ReadMetadata(document), "");  // no Type
  stream->Dictionary()->SetValue("Type", s.NewName("Metadata"));
  EXPECT_EQ(ReadMetadata(document), "");  // no Subtype
  stream->Dictionary()->SetValue("SubType", s.NewName("XML"));
  EXPECT_EQ(ReadMetadata(document), "<x/>");
  document.GetCatalog()->SetValue("Metadata", s.NewString("<x/>", TextMode::Literal));
  EXPECT_EQ(ReadMetadata(document), "");
}

TEST(MetadataStream, AuthorSetAgainWithTheSameTextIsLeftAlone) {
  TPDFDocument document;
  document.InitNewDocument();
  SetInfoText(document, "Author", u"Ann");
  SetInfoText(document, "Title", u"T");
  const std::string before = ReadMetadata(document);
  SetInfoText(document, "Author", u"Ann");
  EXPECT_EQ(ReadMetadata(document), before);  // dc:creator would otherwise move behind dc:title
  SetInfoText(document, "Author", u"Bob");
  EXPECT_GT(ReadMetadata(document).find("<rdf:li>Bob</rdf:li>"), ReadMetadata(document).find("<dc:title>"));
}

TEST(MetadataStream, OtherKeysAndEmptyTextsLeaveThePacket) {
  TPDFDocument document;
  document.InitNewDocument();
  SetInfoText(document, "Title", u"Kept");
  const std::string before = ReadMetadata(document);
  SetInfoText(document, "Trapped", u"False");
  SetInfoText(document, "Title", u"");
  EXPECT_EQ(ReadMetadata(document), before);
  EXPECT_EQ(GetInfoText(document, "Trapped"), u"False");
  EXPECT_EQ(GetInfoText(document, "Title"), u"");
}

TEST(MetadataStream, MalformedPacketBecomesEmptyAndInfoIsStillSet) {
  TPDFDocument document;
  document.InitNewDocument();
  SetInfoText(document, "Title", u"First");
  WriteMetadata(document, "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><broken></x:xmpmeta>");
  SetInfoText(document, "Title", u"Second");
  EXPECT_EQ(ReadMetadata(document), "");
  EXPECT_NE(Written(document).find("/Length 0\n/Type /Metadata\n/Subtype /XML\n>>\nstream\n\nendstream"),
            std::string::npos);
  EXPECT_EQ(GetInfoText(document, "Title"), u"Second");
}

TEST(MetadataStream, EncryptedDocumentKeepsItsPacket) {
  TPDFDocument document;
  document.InitNewDocument();
  SetInfoText(document, "Title", u"Before");
  const std::string before = ReadMetadata(document);
  document.Trailer()->SetValue("Encrypt", document.Structure().NewDictionary());
  SetInfoText(document, "Title", u"After");
  EXPECT_EQ(ReadMetadata(document), before);
  EXPECT_EQ(GetInfoText(document, "Title"), u"After");
}

// ---- External readers ----

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct CommandResult {
  int status;
  std::string out;
  std::string err;
};

CommandResult RunCommand(const std::string& command, const fs::path& folder) {
  const fs::path out = folder / "stdout", err = folder / "stderr";
  const int status = std::system((command + " >" + out.string() + " 2>" + err.string()).c_str());
  return {WEXITSTATUS(status), ReadFile(out), ReadFile(err)};
}

bool HaveTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null").c_str()) == 0; }

// The value of one "Name:   value" line of pdfinfo's output.
std::string Field(const std::string& output, const std::string& name) {
  const size_t start = output.find(name + ":");
  if (start == std::string::npos || (start > 0 && output[start - 1] != '\n')) return "<missing>";
  const size_t value = output.find_first_not_of(' ', start + name.size() + 1);
  return output.substr(value, output.find('\n', value) - value);
}

class WrittenFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/lumenfold-info-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    folder_ = name;
    document_.InitNewDocument();
    FillLikeTheApplication(document_, u"\u039A\u03B1\u03BB\u03B7 \u4E2D\u6587 \u20AC");
    file_ = folder_ / "info.pdf";
    ASSERT_TRUE(document_.SaveToFile(file_.u16string()));
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
  fs::path file_;
  TPDFDocument document_;
};

TEST_F(WrittenFile, PassesQpdfCheck) {
  if (!HaveTool("qpdf")) GTEST_SKIP() << "qpdf is not installed";
  const CommandResult result = RunCommand("qpdf --check '" + file_.string() + "'", folder_);
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.err, "");
}

TEST_F(WrittenFile, PopplerReadsTheEntriesAndThePacket) {
  if (!HaveTool("pdfinfo")) GTEST_SKIP() << "pdfinfo is not installed";
  const CommandResult info = RunCommand("pdfinfo -enc UTF-8 '" + file_.string() + "'", folder_);
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(Field(info.out, "Title"), "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7 \xE4\xB8\xAD\xE6\x96\x87 \xE2\x82\xAC");
  EXPECT_EQ(Field(info.out, "Author"), "Ann Author");
  EXPECT_EQ(Field(info.out, "Keywords"), "one, two");
  const CommandResult meta = RunCommand("pdfinfo -meta '" + file_.string() + "'", folder_);
  ASSERT_EQ(meta.status, 0) << meta.err;
  EXPECT_NE(meta.out.find("<rdf:li>Ann Author</rdf:li>"), std::string::npos) << meta.out;
}

TEST_F(WrittenFile, PacketIsWellFormedForAStrictXmlParser) {
  if (!HaveTool("xmllint")) GTEST_SKIP() << "xmllint is not installed";
  SetInfoText(document_, "Subject", u"tab\tand \u0001 <control> & \U0001F600");
  const fs::path packet = folder_ / "packet.xml";
  std::ofstream(packet, std::ios::binary) << ReadMetadata(document_);
  const CommandResult result = RunCommand("xmllint --noout '" + packet.string() + "'", folder_);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
}

}  // namespace
