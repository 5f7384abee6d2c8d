#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "pdf/Clock.h"
#include "pdf/Identifiers.h"
#include "pdf/PdfDocument.h"

using namespace pdf;
namespace fs = std::filesystem;

namespace {

std::string Written(TPDFDocument& document) {
  TMemoryStream stream;
  EXPECT_TRUE(document.WriteToStream(stream));
  return stream.Data();
}

std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct TempDir {
  fs::path path;
  TempDir() {
    char name[] = "/tmp/lumenfold-pdf-XXXXXX";
    path = mkdtemp(name);
  }
  ~TempDir() { fs::remove_all(path); }
};

// Runs a command and gives its exit status and what it wrote to standard error.
std::pair<int, std::string> RunCommand(const std::string& command) {
  const std::string errors = "/tmp/lumenfold-pdf-stderr-" + std::to_string(getpid());
  const int status = std::system((command + " >/dev/null 2>" + errors).c_str());
  std::string text = ReadFile(errors);
  std::remove(errors.c_str());
  return {WEXITSTATUS(status), text};
}

bool HaveTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null").c_str()) == 0; }

// A stream that takes only so many bytes, as a full disk does.
class ShortStream : public TStream {
 public:
  explicit ShortStream(size_t room) : room_(room) {}
  size_t Read(void*, size_t) override { return 0; }
  size_t Write(const void*, size_t count) override {
    const size_t taken = std::min(count, room_ - std::min(room_, written_));
    written_ += taken;
    return taken;
  }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    if (origin == SeekOrigin::Current && offset == 0) return static_cast<int64_t>(written_);
    return static_cast<int64_t>(written_);
  }

 private:
  size_t room_;
  size_t written_ = 0;
};

// A stream whose bytes start far into a large file, as the tail of a 3 GB document would.
class FarStream : public TStream {
 public:
  explicit FarStream(int64_t base) : base_(base) {}
  size_t Read(void*, size_t) override { return 0; }
  size_t Write(const void* buffer, size_t count) override { return memory_.Write(buffer, count); }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    if (origin == SeekOrigin::Begin) return base_ + memory_.Seek(offset - base_, origin);
    return base_ + memory_.Seek(offset, origin);
  }
  const std::string& Data() const { return memory_.Data(); }

 private:
  int64_t base_;
  TMemoryStream memory_;
};

class FixedClock : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    SetFixedClockForTesting(int64_t{1700000000000});
  }
  void TearDown() override { SetFixedClockForTesting(std::nullopt); }
};

}  // namespace

using DocumentWriter = FixedClock;

TEST_F(DocumentWriter, FreshDocumentHasTheExactShape) {
  TPDFDocument document;
  ASSERT_TRUE(document.InitNewDocument());
  const std::string file = Written(document);

  const std::string identifier = "<" + [] {
    // MD5 of the date serial text of the fixed clock.
    const Md5Bytes d = Md5Digest(DateTimeSerialText(NowLocal()));
    std::string hex;
    for (uint8_t b : d) {
      static const char digits[] = "0123456789ABCDEF";
      hex += digits[b >> 4];
      hex += digits[b & 15];
    }
    return hex;
  }() + ">";

  const std::string body =
      "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"
      "1 0 obj\n<<\n/Type /Pages\n/Count 1\n/Kids [ 2 0 R ]\n>>\nendobj\n"
      "2 0 obj\n<<\n/Type /Page\n/Parent 1 0 R\n/MediaBox [ 0 0 612 792 ]\n/CropBox [ 0 0 612 792 ]\n"
      "/Resources <<\n/ProcSet [ /PDF /Text /ImageB /ImageC /ImageI ]\n>>\n/Contents [ 5 0 R ]\n>>\nendobj\n"
      "3 0 obj\n<<\n/Type /Catalog\n/Pages 1 0 R\n>>\nendobj\n"
      "4 0 obj\n<<\n>>\nendobj\n"
      "5 0 obj\n<<\n/Length 0\n/LC /Vmkr\n>>\nstream\n\nendstream\nendobj\n";
  ASSERT_EQ(file.substr(0, body.size()), body);

  std::string rest = file.substr(body.size());
  const std::string trailer = "trailer\n<<\n/Size 6\n/Root 3 0 R\n/Info 4 0 R\n/ID [ " + identifier + " " +
                              identifier + " ]\n>>\nstartxref\n" + std::to_string(body.size()) + "\n%%EOF\n";
  ASSERT_EQ(rest.substr(rest.size() - trailer.size()), trailer);

  // Every entry is 20 bytes, its offset the position of the object's first digit.
  const std::string xref = rest.substr(0, rest.size() - trailer.size());
  ASSERT_EQ(xref.substr(0, 9), "xref\n0 6\n");
  ASSERT_EQ(xref.size(), 9u + 6 * 20);
  EXPECT_EQ(xref.substr(9, 20), "0000000000 65535 f \n");
  for (int n = 1; n <= 5; ++n) {
    const std::string line = xref.substr(9 + 20 * static_cast<size_t>(n), 20);
    ASSERT_EQ(line.substr(10), " 00000 n \n");
    const size_t offset = std::stoul(line.substr(0, 10));
    EXPECT_EQ(file.compare(offset, 8, std::to_string(n) + " 0 obj\n"), 0) << "object " << n;
  }
  EXPECT_EQ(file.compare(body.size(), 4, "xref"), 0);
}

TEST_F(DocumentWriter, FindsObjectsAndKeepsNumbering) {
  TPDFDocument document;
  document.InitNewDocument();
  EXPECT_EQ(document.FindObjectEntry(0), nullptr);
  EXPECT_EQ(document.FindObjectEntry(6), nullptr);
  EXPECT_EQ(document.FindObjectEntry(3)->Obj, document.GetCatalog());
  EXPECT_EQ(document.GetPagesRoot(), document.FindObjectEntry(1)->Obj);
  EXPECT_EQ(document.GetInfoDictionary(), document.FindObjectEntry(4)->Obj);
  EXPECT_EQ(document.PageTree().SelectedPageNumber(), 1);

  Written(document);
  TPDFIndRef* extra = document.MakeIndirect(document.Structure().NewNumber(9));
  EXPECT_EQ(extra->ObjectNumber(), 6);
  const std::string second = Written(document);
  EXPECT_NE(second.find("6 0 obj\n9\nendobj\n"), std::string::npos);
  EXPECT_NE(second.find("/Size 7\n"), std::string::npos);
  EXPECT_NE(second.find("xref\n0 7\n"), std::string::npos);
  // Writing again neither adds content streams nor changes the selection.
  EXPECT_EQ(document.ObjectTable().size(), 6u);
  EXPECT_EQ(document.PageTree().SelectedPageNumber(), 1);

  document.SetVersion("1.5");
  EXPECT_EQ(Written(document).substr(0, 9), "%PDF-1.5\n");
}

TEST_F(DocumentWriter, PageNumberOfRef) {
  TPDFDocument document;
  document.InitNewDocument();
  EXPECT_EQ(document.PageNumberOfRef(*document.Structure().NewReference(2, 0)), 1);
  EXPECT_EQ(document.PageNumberOfRef(*document.Structure().NewReference(3, 0)), 0);
  EXPECT_EQ(document.PageNumberOfRef(*document.Structure().NewReference(2, 1)), 0);
  TPDFDocument empty;
  EXPECT_EQ(empty.PageNumberOfRef(*empty.Structure().NewReference(2, 0)), 0);
}

TEST_F(DocumentWriter, ShortWriteAnswersFalse) {
  TPDFDocument document;
  document.InitNewDocument();
  const size_t full = Written(document).size();
  for (size_t room : {size_t{0}, size_t{10}, full / 2, full - 1}) {
    ShortStream stream(room);
    EXPECT_FALSE(document.WriteToStream(stream)) << room;
  }
  ShortStream roomy(full);
  EXPECT_TRUE(document.WriteToStream(roomy));
}

TEST_F(DocumentWriter, OffsetsBeyondTwoGigabytesStayExact) {
  TPDFDocument document;
  document.InitNewDocument();
  const int64_t base = int64_t{3} << 30;
  FarStream stream(base);
  ASSERT_TRUE(document.WriteToStream(stream));
  const std::string& file = stream.Data();
  const size_t xref = file.find("xref\n0 6\n");
  ASSERT_NE(xref, std::string::npos);
  const std::string firstObject = file.substr(xref + 9 + 20, 20);
  EXPECT_EQ(firstObject, ZeroPad(base + 15, 10) + " 00000 n \n");  // "%PDF-1.4\n%" + 4 bytes + "\n"
  EXPECT_NE(file.find("startxref\n" + std::to_string(base + static_cast<int64_t>(xref)) + "\n"), std::string::npos);
}

TEST_F(DocumentWriter, SaveToFileReplacesOnlyOnSuccess) {
  TempDir dir;
  TPDFDocument document;
  document.InitNewDocument();

  const fs::path missing = dir.path / "no-such-folder" / "out.pdf";
  EXPECT_FALSE(document.SaveToFile(U16(missing.string())));
  EXPECT_FALSE(fs::exists(missing.parent_path()));

  const fs::path target = dir.path / "out.pdf";
  ASSERT_TRUE(document.SaveToFile(U16(target.string())));
  ASSERT_TRUE(document.SaveToFile(U16(target.string())));
  EXPECT_EQ(ReadFile(target), Written(document));
  EXPECT_EQ(document.LastFileSize(), static_cast<int64_t>(fs::file_size(target)));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);

  // A directory in the way: nothing is written and the directory stays.
  fs::create_directory(dir.path / "taken.pdf");
  EXPECT_FALSE(document.SaveToFile(U16((dir.path / "taken.pdf").string())));
  EXPECT_TRUE(fs::is_directory(dir.path / "taken.pdf"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 2);
}

TEST_F(DocumentWriter, SavesUnderNonAsciiNames) {
  TempDir dir;
  TPDFDocument document;
  document.InitNewDocument();
  const std::u16string name = U16(dir.path.string() + "/") + u"\u00e9t\u00e9 \u6587\U0001F600.pdf";
  ASSERT_TRUE(document.SaveToFile(name));
  EXPECT_TRUE(fs::exists(dir.path / "\xc3\xa9t\xc3\xa9 \xe6\x96\x87\xf0\x9f\x98\x80.pdf"));
  EXPECT_FALSE(document.SaveToFile(U16(dir.path.string() + "/") + std::u16string(1, char16_t(0xD800))));
}

TEST_F(DocumentWriter, QpdfAcceptsAFreshDocument) {
  if (!HaveTool("qpdf")) GTEST_SKIP() << "qpdf is not installed";
  TempDir dir;
  TPDFDocument document;
  document.InitNewDocument();
  const fs::path target = dir.path / "fresh.pdf";
  ASSERT_TRUE(document.SaveToFile(U16(target.string())));
  auto [status, errors] = RunCommand("qpdf --check " + target.string());
  EXPECT_EQ(status, 0);
  EXPECT_EQ(errors, "");
  if (HaveTool("pdftoppm")) {
    auto [renderStatus, renderErrors] = RunCommand("pdftoppm -r 10 -png " + target.string() + " " + (dir.path / "p").string());
    EXPECT_EQ(renderStatus, 0);
    EXPECT_EQ(renderErrors, "");
  }
}

TEST(Identifiers, ZeroPadMd5AndUniqueTag) {
  EXPECT_EQ(ZeroPad(42, 10), "0000000042");
  EXPECT_EQ(ZeroPad(65535, 5), "65535");
  EXPECT_EQ(ZeroPad(123456, 5), "123456");
  EXPECT_EQ(ZeroPad(-3, 4), "0000");
  EXPECT_EQ(ZeroPad(3000000000, 10), "3000000000");
  const Md5Bytes abc = Md5Digest("abc");
  EXPECT_EQ(ToLowerHex(abc.data(), abc.size()), "900150983cd24fb0d6963f7d28e17f72");
  const std::string tag = UniqueTag();
  EXPECT_EQ(tag.size(), 8u);
  EXPECT_EQ(tag.find_first_not_of("0123456789abcdef"), std::string::npos) << tag;
  EXPECT_NE(UniqueTag(), tag);
}
