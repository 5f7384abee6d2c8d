#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "JpegFixtures.h"
#include "pdf/Vellum.h"

using namespace pdf;
using fixtures::JpegOptions;
using fixtures::MakeJpeg;
namespace fs = std::filesystem;

namespace {

struct TempDir {
  fs::path path;
  TempDir() {
    char name[] = "/tmp/lumenfold-vellum-XXXXXX";
    path = mkdtemp(name);
  }
  ~TempDir() { fs::remove_all(path); }
  fs::path Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path / name, std::ios::binary) << bytes;
    return path / name;
  }
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool HaveTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }

struct CommandResult {
  int status;
  std::string out, err;
};
CommandResult RunCommand(const std::string& command, const fs::path& scratch) {
  const fs::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  const int status = std::system((command + " >" + out.string() + " 2>" + err.string()).c_str());
  return {WEXITSTATUS(status), ReadFile(out), ReadFile(err)};
}

std::u16string U16(const fs::path& path) { return path.u16string(); }

TPDFStream* LastContentStream(TPDFDictionary* page) {
  auto* contents = As<TPDFArray>(Follow(page->GetValue("Contents")));
  if (contents == nullptr) return As<TPDFStream>(Follow(page->GetValue("Contents")));
  return As<TPDFStream>(Follow(contents->ItemAt(contents->Count() - 1)));
}

std::string Text(TPDFObject* object) { return object != nullptr ? object->ToText() : "(none)"; }

constexpr char16_t kAddress[] = u"https://example.org/lumenfold";

}  // namespace

TEST(Vellum, NumbersDocumentsImagesAndFontsInOneList) {
  TempDir dir;
  const fs::path jpeg = dir.Write("a.jpg", MakeJpeg({}));
  TVellum0813 vellum;
  TPDFDocument* first = vellum.SelectedDocument();
  EXPECT_EQ(vellum.HandleOf(first), 0x58000000);

  const ImageHandle document = vellum.CreateDocument();
  EXPECT_EQ(document, 0x58000001);
  EXPECT_EQ(vellum.SelectedDocument(), vellum.DocumentFromHandle(document));
  EXPECT_EQ(vellum.DocumentList().size(), 2u);
  EXPECT_EQ(vellum.SelectedDocument()->PageTree().SelectedPageNumber(), 1);

  const ImageHandle image = vellum.LoadImageFile(U16(jpeg), 0);
  EXPECT_EQ(image, 0x58000002);
  EXPECT_EQ(vellum.SelectedImage(), vellum.ImageFromHandle(image));
  EXPECT_EQ(vellum.LoadImageFile(U16(jpeg), 0), 0x58000003);

  // Handing out a handle again neither renumbers nor grows the list.
  EXPECT_EQ(vellum.HandleOf(first), 0x58000000);
  EXPECT_EQ(vellum.HandleOf(vellum.ImageFromHandle(image)), image);
  EXPECT_EQ(vellum.HandleCount(), 4u);
  EXPECT_EQ(vellum.HandleOf(static_cast<TPDFImage*>(nullptr)), 0);

  // Lookups: the base bits must all be set, the position must exist, the kind must match.
  EXPECT_EQ(vellum.DocumentFromHandle(0), nullptr);
  EXPECT_EQ(vellum.DocumentFromHandle(0x00000001), nullptr);
  EXPECT_EQ(vellum.DocumentFromHandle(0x58000004), nullptr);
  EXPECT_EQ(vellum.DocumentFromHandle(0x78000001), vellum.SelectedDocument());
  EXPECT_EQ(vellum.ImageFromHandle(document), nullptr);
  EXPECT_EQ(vellum.DocumentFromHandle(image), nullptr);
  EXPECT_EQ(vellum.FontFromHandle(image), nullptr);
}

TEST(Vellum, SelectionChangesOnlyForFittingHandles) {
  TempDir dir;
  const fs::path jpeg = dir.Write("a.jpg", MakeJpeg({}));
  TVellum0813 vellum;
  const ImageHandle firstDocument = vellum.HandleOf(vellum.SelectedDocument());
  const ImageHandle firstImage = vellum.LoadImageFile(U16(jpeg), 0);
  const ImageHandle document = vellum.CreateDocument();
  EXPECT_EQ(vellum.SelectedImage(), nullptr);
  const ImageHandle image = vellum.LoadImageFile(U16(jpeg), 0);

  EXPECT_EQ(vellum.ActivateImage(document), 0);
  EXPECT_EQ(vellum.ActivateImage(firstImage), 0) << "an image of another document";
  EXPECT_EQ(vellum.SelectedImage(), vellum.ImageFromHandle(image));
  EXPECT_EQ(vellum.ActivateImage(image), 1);

  EXPECT_EQ(vellum.SelectDocument(image), 0);
  EXPECT_EQ(vellum.SelectedDocument(), vellum.DocumentFromHandle(document));
  EXPECT_EQ(vellum.SelectDocument(firstDocument), 1);
  EXPECT_EQ(vellum.SelectedImage(), vellum.ImageFromHandle(firstImage));

  EXPECT_EQ(vellum.AppendPages(1, 2), 3);
  EXPECT_EQ(vellum.ActivatePage(3), 1);
  EXPECT_EQ(vellum.ActivatePage(0), 0);
  EXPECT_EQ(vellum.ActivatePage(4), 0);
  EXPECT_EQ(vellum.SelectedDocument()->PageTree().SelectedPageNumber(), 3);
  EXPECT_EQ(vellum.SelectFont(image), 0);
  EXPECT_EQ(vellum.SelectedFont(), nullptr);
}

TEST(Vellum, SetsAndReadsDocumentInfo) {
  TVellum0813 vellum;
  vellum.CreateDocument();
  const struct {
    int32_t key;
    std::u16string text;
    int32_t result, error;
    std::u16string readBack;
  } cases[] = {
      {0, u"1.8", 0, 0, u"1.4"},       {0, u"1.6", 1, 0, u"1.6"},     {0, u"1.60", 0, 0, u"1.6"},
      {1, u"Ada", 1, 0, u"Ada"},       {2, u"Título ✓", 1, 0, u"Título ✓"}, {3, u"S", 1, 0, u"S"},
      {4, u"k1, k2", 1, 0, u"k1, k2"}, {5, u"Lumenfold", 1, 0, u"Lumenfold"},
      {6, u"Vellum", 1, 0, u"Vellum"}, {7, u"x", 0, 202, u""},      {-1, u"x", 0, 202, u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vellum.SetDocumentInfo(c.key, c.text), c.result) << c.key;
    EXPECT_EQ(vellum.LastErrorCode(), c.error) << c.key;
    if (c.key >= 0 && c.key <= 6) {
      EXPECT_TRUE(vellum.GetDocumentInfo(c.key) == c.readBack) << c.key;
    }
  }
  EXPECT_EQ(vellum.LastErrorCode(), 202);
  EXPECT_TRUE(vellum.GetDocumentInfo(9).empty());
  EXPECT_EQ(vellum.LastErrorCode(), 0);

  for (int32_t key : {7, 8}) {
    const std::u16string text = vellum.GetDocumentInfo(key);
    EXPECT_THAT(std::string(text.begin(), text.end()), testing::MatchesRegex("D:[0-9]{14}(Z|[+-][0-9]{2}'[0-9]{2}')"))
        << key;
  }
}

TEST(Vellum, AppendsAtMost9999PagesPerCallAndMoreByFurtherCalls) {
  TVellum0813 vellum;
  vellum.CreateDocument();
  TPDFPageTree& pages = vellum.SelectedDocument()->PageTree();
  EXPECT_EQ(vellum.AppendPages(1, 0), 0);
  EXPECT_EQ(vellum.AppendPages(1, 10000), 0);
  EXPECT_EQ(vellum.AppendPages(5, 1), 0) << "a position past the end";
  EXPECT_EQ(pages.PageCount(), 1);

  ASSERT_EQ(vellum.SetPageSize(100, 200), 1);
  EXPECT_EQ(vellum.AppendPages(1, 9999), 10000);
  EXPECT_EQ(vellum.AppendPages(10001, 2), 10002);
  EXPECT_EQ(pages.SelectedPageNumber(), 10001);
  EXPECT_EQ(pages.PageWidth(), 100);
  EXPECT_EQ(pages.PageHeight(), 200);
}

TEST(Vellum, ConvertsCallerUnitsToPoints) {
  const struct {
    int32_t unit;
    double width, height;
    const char* mediaBox;
  } cases[] = {
      {0, 612, 792, "[ 0 0 612 792 ]"},
      {5, 612, 792, "[ 0 0 612 792 ]"},
      {1, 210, 297, "[ 0 0 595.2756 841.8898 ]"},
      {2, 8.5, 11, "[ 0 0 612 792 ]"},
  };
  for (const auto& c : cases) {
    TVellum0813 vellum;
    EXPECT_EQ(vellum.SetUnits(c.unit), 1);
    EXPECT_EQ(vellum.SetPageSize(c.width, c.height), 1);
    TPDFDictionary* page = vellum.SelectedDocument()->PageTree().SelectedPage();
    EXPECT_EQ(Text(page->GetValue("MediaBox")), c.mediaBox) << c.unit;
    EXPECT_EQ(Text(page->GetValue("CropBox")), c.mediaBox) << c.unit;
  }
}

TEST(Vellum, RefusesPageSizesThatAreNoNumbers) {
  TVellum0813 vellum;
  ASSERT_EQ(vellum.SetPageSize(300, 400), 1);
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(vellum.SetPageSize(bad, 10), 0);
    EXPECT_EQ(vellum.SetPageSize(10, bad), 0);
  }
  EXPECT_EQ(Text(vellum.SelectedDocument()->PageTree().SelectedPage()->GetValue("MediaBox")), "[ 0 0 300 400 ]");
}

TEST(Vellum, PlacesImagesAndLinksFromTheChosenCorner) {
  TempDir dir;
  const fs::path jpeg = dir.Write("a.jpg", MakeJpeg({}));
  const struct {
    int32_t corner;
    const char* matrix;
    const char* rect;
  } cases[] = {
      {0, "612 0 0 792 0 -792", "[ 0 0 612 -792 ]"},
      {-1, "612 0 0 792 0 -792", "[ 0 0 612 -792 ]"},
      {4, "612 0 0 792 0 -792", "[ 0 0 612 -792 ]"},
      {1, "612 0 0 792 0 0", "[ 0 792 612 0 ]"},
      {2, "612 0 0 792 612 0", "[ 612 792 1224 0 ]"},
      {3, "612 0 0 792 612 -792", "[ 612 0 1224 -792 ]"},
  };
  for (const auto& c : cases) {
    TVellum0813 vellum;
    EXPECT_EQ(vellum.PlaceImage(0, 0, 612, 792), 0) << "no image selected";
    EXPECT_EQ(vellum.SetOriginCorner(c.corner), 1);
    ASSERT_NE(vellum.LoadImageFile(U16(jpeg), 0), 0);
    EXPECT_EQ(vellum.PlaceImage(0, 0, 612, 792), 1);
    EXPECT_EQ(vellum.AddWebLink(0, 0, 612, 792, kAddress, 0), 1);
    TPDFDictionary* page = vellum.SelectedDocument()->PageTree().SelectedPage();
    const std::string name = vellum.SelectedImage()->ResourceName();
    EXPECT_EQ(LastContentStream(page)->Data(), "q\n" + std::string(c.matrix) + " cm\n/" + name + " Do\nQ\n") << c.corner;
    auto* annots = As<TPDFArray>(page->GetValue("Annots"));
    ASSERT_NE(annots, nullptr);
    EXPECT_EQ(Text(As<TPDFDictionary>(Follow(annots->ItemAt(0)))->GetValue("Rect")), c.rect) << c.corner;
  }
}

TEST(Vellum, LoadImageFileAnswersZeroForAnythingButALoadableJpeg) {
  TempDir dir;
  const std::string good = MakeJpeg({.width = 40, .height = 30});
  std::mt19937 random(7);
  std::string noise(4096, '\0');
  for (char& byte : noise) byte = static_cast<char>(random());
  std::string hostileExif = std::string("\xFF\xD8\xFF\xE0") + fixtures::Be16(16) + std::string("JFIF\0\1\2\0", 8) +
                            fixtures::Be16(1) + fixtures::Be16(1) + std::string(2, '\0');
  const std::string loopingTiff = fixtures::ExifResolution(72, 1, 72, 1, true);
  hostileExif += std::string("\xFF\xE1") + fixtures::Be16(2 + 6 + static_cast<int>(loopingTiff.size())) +
                 std::string("Exif\0\0", 6) + loopingTiff;
  const std::string cases[] = {
      "",
      good.substr(0, 2),
      good.substr(0, good.find("\xFF\xC0") + 6),
      noise,
      "\xFF\xD8" + noise,
      "\xFF\xD8" + std::string(1 << 20, '\xFF'),
      std::string("\xFF\xD8\xFF\xDB\xFF\xFF", 6) + std::string(100, '\x01'),
      hostileExif + "\xFF\xDA" + fixtures::Be16(8) + std::string(6, '\x01'),
  };

  TVellum0813 vellum;
  TPDFDocument& document = *vellum.SelectedDocument();
  const size_t objects = document.ObjectTable().size();
  int n = 0;
  for (const std::string& bytes : cases) {
    const fs::path file = dir.Write("bad" + std::to_string(n++) + ".jpg", bytes);
    EXPECT_EQ(vellum.LoadImageFile(U16(file), 0), 0) << file;
  }
  EXPECT_EQ(vellum.LoadImageFile(U16(dir.path / "missing.jpg"), 0), 0);
  EXPECT_EQ(vellum.LoadImageFile(U16(dir.path), 0), 0) << "a folder";
  EXPECT_EQ(vellum.LoadImageFile(std::u16string(u"bad\xD800name.jpg"), 0), 0) << "a broken name";
  EXPECT_TRUE(document.Images.empty());
  EXPECT_EQ(document.ObjectTable().size(), objects);
  EXPECT_EQ(vellum.SelectedImage(), nullptr);

  // The same Exif block followed by a frame header loads: the looping chain is not walked.
  const fs::path withFrame = dir.Write("exif.jpg", hostileExif + good.substr(good.find("\xFF\xDB")));
  EXPECT_NE(vellum.LoadImageFile(U16(withFrame), 0), 0);
  EXPECT_EQ(document.Version(), "1.4");
}

TEST(Vellum, WriteToFileAnswersZeroWhenTheFileCannotBeMade) {
  TVellum0813 vellum;
  EXPECT_EQ(vellum.SetDocumentInfo(9, u"x"), 0);
  EXPECT_EQ(vellum.WriteToFile(u"/nonexistent-folder-lumenfold/out.pdf"), 0);
  EXPECT_EQ(vellum.LastErrorCode(), 0);
}

// The conversion run's exact sequence of calls, over JPEG files of every kind it may meet.
TEST(Vellum, TheApplicationsSequenceMakesOneFullPageImagePerFile) {
  TempDir dir;
  const std::vector<JpegOptions> kinds = {
      {.width = 40, .height = 30},
      {.width = 17, .height = 61, .components = 1},
      {.width = 64, .height = 48, .components = 4},
      {.width = 33, .height = 20, .progressive = true},
      {.width = 50, .height = 50, .densityUnit = 1, .xDensity = 300, .yDensity = 300},
      {.width = 24, .height = 36, .exif = fixtures::ExifResolution(96, 1, 96, 1)},
  };
  std::vector<std::string> files;
  std::vector<fs::path> paths;
  for (const JpegOptions& kind : kinds) {
    files.push_back(MakeJpeg(kind));
    paths.push_back(dir.Write("page" + std::to_string(paths.size()) + ".jpg", files.back()));
  }
  const int n = static_cast<int>(files.size());
  const fs::path output = dir.path / "out.pdf";

  std::vector<std::string> names;
  {
    TVellum0813 vellum;
    ASSERT_NE(vellum.CreateDocument(), 0);
    const std::u16string info[] = {u"Author", u"Title", u"Subject", u"Keywords", u"Lumenfold", u"Vellum"};
    for (int key = 1; key <= 6; ++key) EXPECT_EQ(vellum.SetDocumentInfo(key, info[key - 1]), 1);
    EXPECT_EQ(vellum.SetUnits(0), 1);
    EXPECT_EQ(vellum.SetOriginCorner(1), 1);
    EXPECT_EQ(vellum.AppendPages(1, n - 1), n);
    EXPECT_EQ(vellum.SetImageImportMode(1), 1);
    for (int k = 1; k <= n; ++k) {
      const double w = kinds[k - 1].width, h = kinds[k - 1].height;
      EXPECT_EQ(vellum.ActivatePage(k), 1);
      EXPECT_EQ(vellum.SetPageSize(w, h), 1);
      const ImageHandle image = vellum.LoadImageFile(U16(paths[k - 1]), 0);
      ASSERT_NE(image, 0) << k;
      EXPECT_EQ(vellum.ActivateImage(image), 1);
      EXPECT_EQ(vellum.PlaceImage(0, 0, w, h), 1);
      EXPECT_EQ(vellum.AddWebLink(0, 0, w, h, kAddress, 0), 1);
      names.push_back(vellum.SelectedImage()->ResourceName());
      EXPECT_EQ(vellum.SelectedImage()->XObject()->Data(), files[k - 1]);
    }
    ASSERT_EQ(vellum.WriteToFile(U16(output)), 1);

    TPDFPageTree& pages = vellum.SelectedDocument()->PageTree();
    ASSERT_EQ(pages.PageCount(), n);
    for (int k = 1; k <= n; ++k) {
      const std::string w = std::to_string(kinds[k - 1].width), h = std::to_string(kinds[k - 1].height);
      TPDFDictionary* page = pages.FindPage(k);
      EXPECT_EQ(Text(page->GetValue("MediaBox")), "[ 0 0 " + w + " " + h + " ]");
      EXPECT_EQ(LastContentStream(page)->Data(), "q\n" + w + " 0 0 " + h + " 0 0 cm\n/" + names[k - 1] + " Do\nQ\n");
      auto* annots = As<TPDFArray>(page->GetValue("Annots"));
      ASSERT_TRUE(annots != nullptr && annots->Count() == 1) << k;
      auto* link = As<TPDFDictionary>(Follow(annots->ItemAt(0)));
      EXPECT_EQ(Text(link->GetValue("Rect")), "[ 0 " + h + " " + w + " 0 ]");
      EXPECT_EQ(Text(link->GetValue("Border")), "[ 0 0 0 ]");
      EXPECT_EQ(Text(As<TPDFDictionary>(link->GetValue("A"))->GetValue("URI")), "(https://example.org/lumenfold)");
    }
  }

  const std::string pdf = ReadFile(output);
  EXPECT_EQ(pdf.substr(0, 8), "%PDF-1.4");
  for (const std::string& file : files) EXPECT_NE(pdf.find("stream\n" + file + "\nendstream"), std::string::npos);

  if (HaveTool("qpdf")) {
    const CommandResult check = RunCommand("qpdf --check " + output.string(), dir.path);
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.err, "");
  }
  if (HaveTool("pdfinfo")) {
    const CommandResult info = RunCommand("pdfinfo -f 1 -l " + std::to_string(n) + " " + output.string(), dir.path);
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.err, "");
    EXPECT_THAT(info.out, testing::ContainsRegex("Pages: +" + std::to_string(n) + "\n"));
    for (int k = 1; k <= n; ++k) {
      EXPECT_THAT(info.out, testing::ContainsRegex("Page +" + std::to_string(k) + " size: +" +
                                                   std::to_string(kinds[k - 1].width) + " x " +
                                                   std::to_string(kinds[k - 1].height) + " pts"))
          << k;
    }
  }
  if (HaveTool("pdftoppm")) {
    const CommandResult render = RunCommand("pdftoppm -r 36 -png " + output.string() + " " + (dir.path / "p").string(), dir.path);
    EXPECT_EQ(render.status, 0);
    EXPECT_EQ(render.err, "");
    int rendered = 0;
    for (const auto& entry : fs::directory_iterator(dir.path)) rendered += entry.path().extension() == ".png";
    EXPECT_EQ(rendered, n);
  }
}
