#include <gtest/gtest.h>

#include <string>

#include "JpegFixtures.h"
#include "PageTestSupport.h"
#include "pdf/ByteStream.h"
#include "pdf/PdfDocument.h"
#include "pdf/PdfImage.h"
#include "pdf/PdfPageTree.h"
#include "pdf/PdfPainter.h"

using namespace pdf;
using pagetest::Enter;
using pagetest::Parse;
using pagetest::TextOf;

namespace {

// A fresh one-page document; its content stream is object 5.
class FreshPage : public ::testing::Test {
 protected:
  void SetUp() override { document.InitNewDocument(); }

  TPDFPageTree& Tree() { return document.PageTree(); }
  TPDFStream* Stream() { return As<TPDFStream>(document.FindObjectEntry(5)->Obj); }
  TPDFDictionary* Page() { return Tree().SelectedPage(); }

  TPDFDocument document;
  // Drawing needs only the image's resource name and kind.
  TPDFImage image{document.Structure(), "Im1", 0};
};

}  // namespace

TEST_F(FreshPage, AFullPageImageIsExactlyFourLines) {
  Tree().Painter().DrawImage(image, 0, 792, 612, 792);
  EXPECT_EQ(Stream()->Data(), R"(q
612 0 0 792 0 0 cm
/Im1 Do
Q
)");
  EXPECT_EQ(TextOf(Stream()->Dictionary()), "<<\n/Length 31\n/LC /Vmkr\n>>\n");
}

TEST_F(FreshPage, PlacementNumbersAreFormattedWithoutLocaleOrTrailingZeros) {
  struct Case {
    double x, y, w, h;
    const char* line;
  };
  const Case cases[] = {
      {0, 0, 595.275590551181, 792, "595.2756 0 0 792 0 -792 cm"},
      {10.5, 100, 1.0 / 3, 50, "0.3333 0 0 50 10.5 50 cm"},
      {-2.25, 0.00001, 2.00001, 1e6, "2 0 0 1000000 -2.25 -1000000 cm"},
  };
  for (const Case& c : cases) {
    Tree().SelectPage(1);
    Stream()->SetData("", false);
    Tree().SelectPage(1);
    Tree().Painter().DrawImage(image, c.x, c.y, c.w, c.h);
    EXPECT_EQ(Stream()->Data(), std::string("q\n") + c.line + "\n/Im1 Do\nQ\n");
  }
}

TEST_F(FreshPage, DrawingAppendsToTheLoadedTextOfTheLastStream) {
  TPDFImage second(document.Structure(), "Im#2", 0);
  Stream()->SetData("0 0 1 rg\nQ\n", true);  // a compressed stream of our own
  Tree().SelectPage(1);
  EXPECT_EQ(Stream()->DecodedData(), "0 0 1 rg\nQ\n") << "selecting never changes a stream";

  Tree().Painter().DrawImage(image, 0, 10, 10, 10);
  Tree().Painter().DrawImage(second, 5, 10, 5, 5);
  EXPECT_EQ(Stream()->Data(), R"(0 0 1 rg
Q
 q
10 0 0 10 0 0 cm
/Im1 Do
Q
q
5 0 0 5 5 5 cm
/Im#232 Do
Q
)");
  // Written plain from now on.
  EXPECT_EQ(Stream()->Dictionary()->GetValue("Filter"), nullptr);
  EXPECT_EQ(TextOf(Stream()->Dictionary()->GetValue("Length")), std::to_string(Stream()->Data().size()));

  // Selecting another page and back, or saving, leaves the stream as it is.
  const std::string before = Stream()->Data();
  Tree().InsertPages(2, 1, 100, 100);
  Tree().SelectPage(1);
  pagetest::Written(document);
  EXPECT_EQ(Stream()->Data(), before);
}

TEST(Painter, TextBufferRules) {
  int notified = 0;
  TPDFPainter painter(nullptr, [&notified] { ++notified; }, 2);
  EXPECT_EQ(painter.GetContent(), "\n");
  painter.EmitText("", '\n');
  EXPECT_EQ(painter.GetContent(), "\n");
  painter.EmitText("BT");
  painter.EmitNumber(1.0 / 3);
  painter.EmitNumber(-0.004);
  painter.EmitText("Tf", '\n');
  EXPECT_EQ(painter.GetContent(), "BT0.33 0 Tf\n");
  EXPECT_EQ(notified, 0);

  painter.LoadContent("q Q");
  EXPECT_EQ(painter.GetContent(), "q Q \n");
  painter.LoadContent("q Q ");
  EXPECT_EQ(painter.GetContent(), "q Q \n");
  painter.LoadContent("");
  EXPECT_EQ(painter.GetContent(), "\n");
  EXPECT_EQ(notified, 0);

  painter.EmitText("x");
  painter.ResetPainter();
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(painter.GetContent(), "\n");
  EXPECT_EQ(painter.FillColour(), "1 1 1 rg");
  EXPECT_TRUE(painter.FillColourPending());
  EXPECT_EQ(painter.CurrentFont(), nullptr);

  auto detached = painter.DetachChangeCallback();
  painter.NotifyChanged();
  EXPECT_EQ(notified, 1);
  painter.AttachChangeCallback(std::move(detached));
  painter.NotifyChanged();
  EXPECT_EQ(notified, 2);
}

TEST(Painter, DrawingWithoutAPageStoresNothing) {
  TPDFStructure store;
  TPDFImage image(store, "Im1", 0);
  TPDFPageTree tree(nullptr);
  tree.Painter().DrawImage(image, 0, 10, 10, 10);
  EXPECT_EQ(tree.Painter().GetContent(), "q\n10 0 0 10 0 0 cm\n/Im1 Do\nQ\n");
  EXPECT_TRUE(tree.ContentStreams().empty());
  tree.AddLinkAnnotation("http://x", 1, 0, 0, 1, 1);
  EXPECT_EQ(tree.Annots().Array(), nullptr);
}

TEST_F(FreshPage, LinkAnnotationHasTheExactDictionary) {
  Tree().AddLinkAnnotation("https://example.com/a(b)", 0, 0, 792, 612, 792);
  EXPECT_EQ(TextOf(Page()->GetValue("Annots")), "[ 6 0 R ]");
  EXPECT_EQ(Tree().Annots().Array(), Page()->GetValue("Annots"));
  EXPECT_EQ(TextOf(document.FindObjectEntry(6)->Obj),
            "<<\n/Type /Annot\n/Subtype /Link\n/Rect [ 0 792 612 0 ]\n/Border [ 0 0 0 ]\n"
            "/A <<\n/Type /Action\n/S /URI\n/URI (https://example.com/a\\(b\\))\n>>\n>>\n");

  // Bit 0 of the options alone asks for a border; links follow in the order added.
  const std::pair<int32_t, const char*> borders[] = {{1, "[ 0 0 1 ]"}, {2, "[ 0 0 0 ]"}, {3, "[ 0 0 1 ]"},
                                                     {-1, "[ 0 0 1 ]"}};
  int32_t number = 7;
  for (const auto& [options, border] : borders) {
    Tree().AddLinkAnnotation("u", options, 1.5, 2, 3, 4);
    const auto* link = As<TPDFDictionary>(document.FindObjectEntry(number++)->Obj);
    EXPECT_EQ(TextOf(link->GetValue("Border")), border) << options;
    EXPECT_EQ(TextOf(link->GetValue("Rect")), "[ 1.5 2 4.5 -2 ]");
  }
  EXPECT_EQ(TextOf(Page()->GetValue("Annots")), "[ 6 0 R 7 0 R 8 0 R 9 0 R 10 0 R ]");
  pagetest::ExpectQpdfAccepts(document);
}

TEST_F(FreshPage, LinksGoIntoTheArrayTheAnnotsEntryLeadsTo) {
  Enter(document, 6, "[ ]");
  Page()->SetValue("Annots", Parse(document, "6 0 R"));
  Tree().SelectPage(1);
  EXPECT_EQ(Tree().Annots().Array(), document.FindObjectEntry(6)->Obj);
  Tree().AddLinkAnnotation("u", 0, 0, 10, 10, 10);
  EXPECT_EQ(TextOf(Page()->GetValue("Annots")), "6 0 R");
  EXPECT_EQ(TextOf(document.FindObjectEntry(6)->Obj), "[ 7 0 R ]");

  // Anything else is dropped for a new array holding only the new link.
  for (const char* annots : {"(text)", "4 0 R", "<< /A 1 >>"}) {
    Page()->SetValue("Annots", Parse(document, annots));
    Tree().SelectPage(1);
    EXPECT_EQ(Tree().Annots().Array(), nullptr) << annots;
    const int32_t next = static_cast<int32_t>(document.ObjectTable().size()) + 1;
    Tree().AddLinkAnnotation("u", 0, 0, 10, 10, 10);
    EXPECT_EQ(TextOf(Page()->GetValue("Annots")), "[ " + std::to_string(next) + " 0 R ]") << annots;
    EXPECT_EQ(Tree().Annots().Array(), Page()->GetValue("Annots"));
  }
  pagetest::ExpectQpdfAccepts(document);
}

TEST_F(FreshPage, StencilMasksPaintInThePendingFillColour) {
  struct Case {
    const char* entries;  // replace ColorSpace and BitsPerComponent of a loaded image
    bool stencil;
  };
  const Case cases[] = {
      {"<< /ImageMask true >>", true},
      {"<< /ImageMask true /BitsPerComponent 1 /Decode [ 1 0 ] >>", true},
      {"<< /ImageMask true /Decode [ 0 1 ] >>", true},
      {"<< >>", false},
      {"<< /ImageMask false >>", false},
      {"<< /ImageMask true /SMask 4 0 R >>", false},
      {"<< /ImageMask true /Mask [ 0 0 ] >>", false},
      {"<< /ImageMask true /BitsPerComponent 8 >>", false},
      {"<< /ImageMask true /Decode [ 0 0.5 ] >>", false},
      {"<< /ImageMask true /ColorSpace /DeviceGray >>", false},
  };
  const std::string file = fixtures::MakeJpeg({.width = 4, .height = 4, .components = 1});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entries);
    TMemoryStream stream;
    stream.Write(file.data(), file.size());
    TPDFImage* mask = document.LoadImage(stream, 0, 1);
    ASSERT_NE(mask, nullptr);
    TPDFDictionary* dictionary = mask->ImageDictionary();
    dictionary->DeleteKey("ColorSpace");
    dictionary->DeleteKey("BitsPerComponent");
    const auto* entries = As<TPDFDictionary>(Parse(document, c.entries));
    for (int32_t i = 0; i < entries->Count(); ++i)
      dictionary->SetValue(entries->EntryAt(i).key->Value(), entries->EntryAt(i).value);

    Tree().SelectPage(1);
    Stream()->SetData("", false);
    Tree().SelectPage(1);
    Tree().Painter().DrawImage(*mask, 0, 4, 4, 4);
    const std::string colour = c.stencil ? "1 1 1 rg\n" : "";
    EXPECT_EQ(Stream()->Data(), "q\n" + colour + "4 0 0 4 0 0 cm\n/" + mask->ResourceName() + " Do\nQ\n");
  }
}
