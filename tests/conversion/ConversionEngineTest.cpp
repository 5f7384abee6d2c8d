#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/ConversionEngine.h"
#include "PdfCheck.h"
#include "Pixels.h"
#include "TestFolder.h"
#include "platform/uConst.h"

using namespace conversion;
using namespace testing_support;

namespace {

struct Event {
  std::string what;
  size_t row = 0;
  int value = 0;  // status, or percentage for "file"
  bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Event& e) {
  return out << e.what << "(" << e.row << "," << e.value << ")";
}

class Recorder : public ConversionObserver {
 public:
  bool StopRequested() override {
    ++stopChecks;
    return stopAfterChecks >= 0 && stopChecks > stopAfterChecks;
  }
  void EntryStatusChanged(size_t row, EntryStatus status, const std::string& reason) override {
    events.push_back({"status", row, static_cast<int>(status)});
    if (status == EntryStatus::Failed) reasons.push_back(reason);
  }
  void CurrentFile(size_t row, const std::string&, int, int, int percent) override {
    events.push_back({"file", row, percent});
  }
  void WritingStarted() override { events.push_back({"writing", 0, 0}); }
  void WriteFinished(bool written) override { events.push_back({"written", 0, written ? 1 : 0}); }

  int stopAfterChecks = -1;  // stop once this many checks have answered "go on"
  int stopChecks = 0;
  std::vector<Event> events;
  std::vector<std::string> reasons;
};

constexpr int kConverted = 0, kFailed = 1, kProcessing = 2;

class ConversionEngineTest : public ::testing::Test {
 protected:
  RunSummary Convert(const std::vector<ConversionEntry>& entries, Recorder& recorder,
                     const std::string& output = "") {
    RunSettings settings;
    settings.outputPath = output.empty() ? Pdf() : output;
    settings.tempFolder = temp_.Slash();
    settings.texts = texts_;
    return RunConversion(entries, settings, recorder);
  }
  std::string Pdf() const { return work_ / "out.pdf"; }
  static std::vector<ConversionEntry> Fixtures(std::initializer_list<const char*> names) {
    std::vector<ConversionEntry> entries;
    for (const char* name : names) entries.push_back({Fixture(name), true});
    return entries;
  }

  TestFolder work_{"-work"};
  TestFolder temp_{"-temp"};
  DocumentTexts texts_{" An Author ", "Title: ünïcode", "", "k1, k2"};
};

}  // namespace

TEST_F(ConversionEngineTest, EveryFormatBecomesAPageOfItsPixelSize) {
  const auto entries = Fixtures({"bmp24_300dpi.bmp", "gif_animated.gif", "jpeg_grey.jpg", "jpeg_rgb.jpg",
                                 "jpeg_cmyk.jpg", "jp2_rgb.jp2", "pcx24.pcx", "png8_transparent.png", "png24.png",
                                 "png32_alpha.png", "png16.png", "psd_rgb.psd", "png_named.jpg"});
  Recorder recorder;
  const RunSummary summary = Convert(entries, recorder);
  ASSERT_EQ(summary.outcome, RunOutcome::Written) << (recorder.reasons.empty() ? "" : recorder.reasons[0]);
  EXPECT_EQ(summary.pagesWritten, 13);
  EXPECT_EQ(summary.failed, 0);

  const CommandResult check = RunCommand("qpdf --check " + Quoted(Pdf()));
  EXPECT_EQ(check.status, 0) << check.output;
  EXPECT_EQ(check.output.find("WARNING"), std::string::npos) << check.output;
  EXPECT_EQ(PageSizes(Pdf()), std::vector<std::string>(13, "64 x 48"));

  const struct {
    int page;
    Rgb topLeft, topRight, bottomLeft, bottomRight;
  } renders[] = {
      {1, kRed, kGreen, kBlue, kWhite},                    // 300 DPI BMP
      {2, kRed, kGreen, kBlue, kWhite},                    // first GIF frame; the others are black
      {5, kRed, kGreen, kBlue, kWhite},                    // CMYK JPEG
      {10, kRed, kGreen, Rgb{127, 127, 255}, kWhite},      // transparency over white
      {12, kRed, kGreen, kBlue, kWhite},                   // PSD
  };
  for (const auto& r : renders) {
    SCOPED_TRACE("page " + std::to_string(r.page));
    BitmapPtr page = RenderPage(Pdf(), r.page, work_ / "render");
    ASSERT_TRUE(page);
    ExpectQuadrants(page.get(), r.topLeft, r.topRight, r.bottomLeft, r.bottomRight, 28);
  }
  EXPECT_TRUE(std::filesystem::is_empty(temp_.Path()));  // every temporary file is gone
}

TEST_F(ConversionEngineTest, DocumentInformationAndPageLinks) {
  Recorder recorder;
  ASSERT_EQ(Convert(Fixtures({"png24.png", "jpeg_rgb.jpg"}), recorder).outcome, RunOutcome::Written);
  EXPECT_EQ(InfoValue(Pdf(), "Author"), " An Author ");  // not trimmed
  EXPECT_EQ(InfoValue(Pdf(), "Title"), "Title: ünïcode");
  EXPECT_EQ(InfoValue(Pdf(), "Keywords"), "k1, k2");
  EXPECT_EQ(InfoValue(Pdf(), "Creator"), CreatorText());
  EXPECT_EQ(InfoValue(Pdf(), "Producer"), ProducerText());
  EXPECT_EQ(CreatorText(), "Lumenfold v1.0, \u00A9 " + platform::Texts().makerName);
  EXPECT_EQ(ProducerText(), "Lumenfold - " + platform::Texts().productWebPage);

  // One link over each whole page, to the product web page.
  const std::string qdf = work_ / "out.qdf";
  RunCommand("qpdf --qdf --object-streams=disable " + Quoted(Pdf()) + " " + Quoted(qdf));
  const std::string text = ReadAll(qdf);
  size_t links = 0;
  for (size_t at = 0; (at = text.find("/URI (" + platform::Texts().productWebPage + ")", at)) != std::string::npos; ++at) {
    ++links;
  }
  EXPECT_EQ(links, 2u);
  EXPECT_NE(text.find("/Rect [\n    0\n    48\n    64\n    0\n  ]"), std::string::npos);  // the whole page
}

TEST_F(ConversionEngineTest, PassedOverAndFailedEntriesGetNoPage) {
  TestFolder sources("-sources");
  WriteAll(sources / "vanished.png", ReadAll(Fixture("png24.png")));
  std::vector<ConversionEntry> entries = {
      {Fixture("jpeg_rgb.jpg"), true},
      {Fixture("png24.png"), false},  // unticked or "?" in the list
      {sources / "vanished.png", true},
      {Fixture("tiff_named.png"), true},
      {work_.Path().string(), true},  // a folder given as a file
      {Fixture("png32_alpha.png"), true},
  };
  std::filesystem::remove(sources / "vanished.png");  // gone between listing and conversion
  Recorder recorder;
  const RunSummary summary = Convert(entries, recorder);
  EXPECT_EQ(summary.outcome, RunOutcome::Written);
  EXPECT_EQ(summary.convertibleCount, 5);
  EXPECT_EQ(summary.failed, 3);
  EXPECT_EQ(summary.processedRows, (std::vector<size_t>{0, 2, 3, 4, 5}));
  EXPECT_EQ(recorder.reasons, (std::vector<std::string>{"file not found", "unsupported image format (TIFF)",
                                                        "is a folder, not an image file"}));
  EXPECT_EQ(recorder.events[recorder.events.size() - 3], (Event{"status", 5, kConverted}));
  EXPECT_EQ(PageSizes(Pdf()), (std::vector<std::string>{"64 x 48", "64 x 48"}));
  BitmapPtr second = RenderPage(Pdf(), 2, work_ / "render");
  ASSERT_TRUE(second);
  ExpectQuadrants(second.get(), kRed, kGreen, Rgb{127, 127, 255}, kWhite, 28);
}

// File names on this platform are bytes; a Latin-1 name is no UTF-8 text but still an image.
TEST_F(ConversionEngineTest, SourceNamesThatAreNotUtf8StillConvert) {
  TestFolder sources("-sources");
  const std::string latin1 = sources / "caf\xE9.png";
  WriteAll(latin1, ReadAll(Fixture("png24.png")));
  Recorder recorder;
  const RunSummary summary = Convert({{latin1, true}}, recorder);
  EXPECT_EQ(summary.outcome, RunOutcome::Written) << (recorder.reasons.empty() ? "" : recorder.reasons[0]);
  EXPECT_TRUE(std::filesystem::is_empty(temp_.Path()));
}

TEST_F(ConversionEngineTest, ReportsStatusAndProgressInOrder) {
  Recorder recorder;
  Convert({{Fixture("png24.png"), true}, {Fixture("gif_animated.gif"), false}, {Fixture("jpeg_rgb.jpg"), true},
           {Fixture("missing.bmp"), true}},
          recorder);
  EXPECT_EQ(recorder.events, (std::vector<Event>{
                                 {"status", 0, kProcessing}, {"file", 0, 33}, {"status", 0, kConverted},
                                 {"status", 2, kProcessing}, {"file", 2, 67}, {"status", 2, kConverted},
                                 {"status", 3, kProcessing}, {"file", 3, 100}, {"status", 3, kFailed},
                                 {"writing", 0, 0}, {"written", 0, 1}}));
}

TEST_F(ConversionEngineTest, StopSkipsTheRestAndWritesNothing) {
  WriteAll(Pdf(), "old");
  for (int checks : {1, 2}) {  // stop before the second entry, then before writing
    SCOPED_TRACE(checks);
    Recorder recorder;
    recorder.stopAfterChecks = checks;
    const RunSummary summary = Convert(Fixtures({"png24.png", "jpeg_rgb.jpg"}), recorder);
    EXPECT_EQ(summary.outcome, RunOutcome::Stopped);
    EXPECT_EQ(summary.processedRows.size(), static_cast<size_t>(checks));
    EXPECT_EQ(recorder.events.back().what, "status");
    EXPECT_EQ(ReadAll(Pdf()), "old");
  }
}

TEST_F(ConversionEngineTest, NothingConvertibleWritesNoFile) {
  Recorder recorder;
  const RunSummary summary = Convert({{Fixture("tiff_named.png"), true}, {Fixture("png24.png"), false}}, recorder);
  EXPECT_EQ(summary.outcome, RunOutcome::NothingConverted);
  EXPECT_FALSE(std::filesystem::exists(Pdf()));
  EXPECT_EQ(recorder.events.back(), (Event{"status", 0, kFailed}));
}

TEST_F(ConversionEngineTest, FailedWriteReportsFailureAndKeepsTheOldFile) {
  std::filesystem::create_directories(work_ / "a-folder.pdf");
  WriteAll(Pdf(), "old");
  for (const std::string& output : {work_ / "a-folder.pdf", std::string("/nonexistent-folder/out.pdf")}) {
    SCOPED_TRACE(output);
    Recorder recorder;
    const RunSummary summary = Convert(Fixtures({"png24.png"}), recorder, output);
    EXPECT_EQ(summary.outcome, RunOutcome::WriteFailed);
    EXPECT_EQ(recorder.events.back(), (Event{"written", 0, 0}));
  }
  EXPECT_TRUE(std::filesystem::is_directory(work_ / "a-folder.pdf"));
  EXPECT_EQ(ReadAll(Pdf()), "old");
}

TEST(RoundedPercent, HalvesGoToTheEvenNeighbour) {
  const struct {
    int done, total, percent;
  } cases[] = {{1, 3, 33}, {2, 3, 67}, {3, 3, 100}, {1, 8, 12}, {3, 8, 38}, {1, 200, 0}, {3, 200, 2}, {0, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(RoundedPercent(c.done, c.total), c.percent) << c.done << "/" << c.total;
}

namespace {

// A tiny tmpfs filled up to its last few kilobytes; skipped where mounting is not allowed.
class FullDisk {
 public:
  explicit FullDisk(const std::string& where) : where_(where) {
    std::filesystem::create_directories(where_);
    mounted_ = RunCommand("mount -t tmpfs -o size=256k tmpfs " + Quoted(where_)).status == 0;
  }
  ~FullDisk() {
    if (mounted_) RunCommand("umount " + Quoted(where_));
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

  bool Mounted() const { return mounted_; }
  void FillLeaving(uintmax_t bytes) {
    std::filesystem::remove(where_ + "/filler");
    const uintmax_t free = std::filesystem::space(where_).available;
    WriteAll(where_ + "/filler", std::string(free > bytes ? free - bytes : 0, 'x'));
  }

 private:
  std::string where_;
  bool mounted_ = false;
};

}  // namespace

TEST_F(ConversionEngineTest, FullDiskFailsCleanly) {
  FullDisk disk(work_ / "disk");
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here";
  const std::string old = work_ / "disk/out.pdf";
  WriteAll(old, "old");
  std::filesystem::create_directories(work_ / "disk/temp");
  disk.FillLeaving(4096);

  // The PDF does not fit: reported, and the old file is untouched.
  Recorder recorder;
  EXPECT_EQ(Convert(Fixtures({"bmp24_300dpi.bmp", "png24.png"}), recorder, old).outcome, RunOutcome::WriteFailed);
  EXPECT_EQ(ReadAll(old), "old");

  // The temporary JPEG does not fit: the image fails with the reason, nothing is left behind.
  disk.FillLeaving(0);
  RunSettings settings{work_ / "elsewhere.pdf", work_ / "disk/temp/", texts_};
  Recorder second;
  const RunSummary summary = RunConversion(Fixtures({"jpeg_rgb.jpg"}), settings, second);
  EXPECT_EQ(summary.outcome, RunOutcome::NothingConverted);
  ASSERT_EQ(second.reasons.size(), 1u);
  EXPECT_EQ(second.reasons[0].rfind("cannot write the temporary file", 0), 0u) << second.reasons[0];
  EXPECT_TRUE(std::filesystem::is_empty(work_ / "disk/temp"));
}

// The writer adds at most 9999 pages per call; a run is not bound by that.
TEST_F(ConversionEngineTest, MoreThanTenThousandImagesGiveThatManyPages) {
  BitmapPtr tiny(FreeImage_Allocate(2, 1, 24));
  const std::string path = work_ / "tiny.bmp";
  ASSERT_TRUE(FreeImage_Save(FIF_BMP, tiny.get(), path.c_str(), 0));
  const std::vector<ConversionEntry> entries(10001, ConversionEntry{path, true});
  ConversionObserver quiet;
  RunSettings settings{Pdf(), temp_.Slash(), texts_};
  const RunSummary summary = RunConversion(entries, settings, quiet);
  EXPECT_EQ(summary.outcome, RunOutcome::Written);
  EXPECT_EQ(summary.pagesWritten, 10001);
  EXPECT_NE(RunCommand("pdfinfo " + Quoted(Pdf())).output.find("Pages:           10001\n"), std::string::npos);
}
