#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JpegFixtures.h"
#include "PageTestSupport.h"
#include "pdf/ByteStream.h"
#include "pdf/PdfDocument.h"
#include "pdf/PdfFont.h"
#include "pdf/PdfImage.h"
#include "pdf/PdfPageTree.h"

using namespace pdf;
using pagetest::Enter;
using pagetest::Parse;
using pagetest::TextOf;

namespace {

std::string KidsText(TPDFPageTree& tree) { return TextOf(tree.Root()->GetValue("Kids", true)); }

int32_t NumberOf(const TPDFDictionary* page) { return page != nullptr ? page->IndirectNumber() : -1; }

// A fresh document (objects 1 to 5) whose root holds the original page, a node with two
// pages and a page of its own:
//   page 1 = object 2, page 2 = object 7 (no MediaBox, no Resources, both in node 6),
//   page 3 = object 8 (MediaBox [10 20 310 420]), page 4 = object 9 (Contents a single
//   reference to the unmarked stream 10, no MediaBox anywhere above it).
class NestedTree : public ::testing::Test {
 protected:
  void SetUp() override {
    document.InitNewDocument();
    Enter(document, 6,
          "<< /Type /Pages /Parent 1 0 R /Kids [ 7 0 R 8 0 R ] /Count 2 /MediaBox [ 0 0 300 400 ]"
          " /Resources << /ProcSet [ /PDF ] >> >>");
    Enter(document, 7, "<< /Type /Page /Parent 6 0 R >>");
    Enter(document, 8, "<< /Type /Page /Parent 6 0 R /MediaBox [ 10 20 310 420 ] /Resources << >> >>");
    Enter(document, 9, "<< /Type /Page /Parent 1 0 R /Contents 10 0 R >>");
    TPDFStream* foreign = document.Structure().NewStream("0 0 m 10 10 l S", false);
    EXPECT_EQ(document.MakeIndirect(foreign)->ObjectNumber(), 10);
    TPDFDictionary* root = document.GetPagesRoot();
    root->SetValue("Kids", Parse(document, "[ 2 0 R 6 0 R 9 0 R ]"));
    root->SetValue("Count", document.Structure().NewNumber(4));
    tree = std::make_unique<TPDFPageTree>(root);
  }

  TPDFDictionary* Object(int32_t number) { return As<TPDFDictionary>(document.FindObjectEntry(number)->Obj); }

  TPDFDocument document;
  std::unique_ptr<TPDFPageTree> tree;
};

}  // namespace

TEST(PageTree, NewDocumentHasOneLetterPage) {
  TPDFDocument document;
  document.InitNewDocument();
  TPDFPageTree& tree = document.PageTree();
  EXPECT_EQ(tree.PageCount(), 1);
  EXPECT_EQ(tree.SelectedPageNumber(), 1);
  EXPECT_EQ(tree.PageWidth(), 612);
  EXPECT_EQ(tree.PageHeight(), 792);
  ASSERT_EQ(tree.ContentStreams().size(), 1u);
  EXPECT_EQ(tree.ContentStreams()[0]->IndirectNumber(), 5);
  EXPECT_EQ(tree.FindPage(0), nullptr);
  EXPECT_EQ(tree.FindPage(2), nullptr);

  TPDFPageTree rootless(nullptr);
  EXPECT_EQ(rootless.PageCount(), 0);
  EXPECT_EQ(rootless.SelectedPageNumber(), 0);
  rootless.InsertPages(1, 2, 100, 100);
  rootless.SelectPage(1);
  EXPECT_EQ(rootless.SelectedPageNumber(), 0);
  EXPECT_EQ(rootless.PageResources(), nullptr);
}

TEST(PageTree, InsertAtTheFrontMakesCompletePagesInRegistrationOrder) {
  TPDFDocument document;
  document.InitNewDocument();
  TPDFPageTree& tree = document.PageTree();
  tree.InsertPages(1, 3, 300.5, 200);

  EXPECT_EQ(tree.PageCount(), 4);
  EXPECT_EQ(TextOf(tree.Root()->GetValue("Count")), "4");
  // Page, stream, page, stream: the pages take every second number after object 5.
  EXPECT_EQ(KidsText(tree), "[ 6 0 R 8 0 R 10 0 R 2 0 R ]");
  EXPECT_EQ(tree.SelectedPageNumber(), 1);
  EXPECT_EQ(NumberOf(tree.SelectedPage()), 6);
  EXPECT_EQ(tree.PageWidth(), 300.5);
  EXPECT_EQ(tree.PageHeight(), 200);

  EXPECT_EQ(TextOf(tree.FindPage(2)),
            "<<\n/Type /Page\n/Parent 1 0 R\n/MediaBox [ 0 0 300.5 200 ]\n/CropBox [ 0 0 300.5 200 ]\n/Rotate 0\n"
            "/Resources <<\n/ProcSet [ /PDF /Text /ImageB /ImageC /ImageI ]\n>>\n/Contents [ 9 0 R ]\n>>\n");
  EXPECT_EQ(TextOf(document.FindObjectEntry(9)->Obj), "<<\n/Length 0\n/LC /Vmkr\n>>\nstream\n\nendstream");
  // Each page has boxes and resources of its own.
  EXPECT_NE(tree.FindPage(1)->GetValue("MediaBox"), tree.FindPage(2)->GetValue("MediaBox"));
  EXPECT_NE(tree.FindPage(1)->GetValue("MediaBox"), tree.FindPage(1)->GetValue("CropBox"));
  EXPECT_NE(tree.FindPage(1)->GetValue("Resources"), tree.FindPage(2)->GetValue("Resources"));
  EXPECT_EQ(NumberOf(tree.FindPage(4)), 2);
  EXPECT_EQ(document.ObjectTable().size(), 11u);
  pagetest::ExpectQpdfAccepts(document);
}

TEST(PageTree, InsertPositionsOutsideTheDocumentInsertNothing) {
  struct Case {
    int32_t position;
    int32_t count;
    const char* kids;
    int32_t selected;
    int32_t added;
  };
  // A two-page document (objects 2 and 6) with page 2 selected before each insertion.
  const Case cases[] = {
      {3, 2, "[ 2 0 R 6 0 R 8 0 R 10 0 R ]", 3, 2},  // PageCount + 1 appends
      {2, 1, "[ 2 0 R 8 0 R 6 0 R ]", 2, 1},
      {0, 1, "[ 2 0 R 6 0 R ]", 2, 0},
      {4, 1, "[ 2 0 R 6 0 R ]", 2, 0},  // PageCount + 2
      {-1, 1, "[ 2 0 R 6 0 R ]", 2, 0},
      {1, 0, "[ 2 0 R 6 0 R ]", 1, 0},
      {1, -3, "[ 2 0 R 6 0 R ]", 1, 0},  // would take pages from the count without removing any
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    TPDFDocument document;
    document.InitNewDocument();
    TPDFPageTree& tree = document.PageTree();
    tree.InsertPages(2, 1, 612, 792);
    ASSERT_EQ(KidsText(tree), "[ 2 0 R 6 0 R ]");
    const size_t objects = document.ObjectTable().size();

    tree.InsertPages(c.position, c.count, 100, 50);
    EXPECT_EQ(KidsText(tree), c.kids);
    EXPECT_EQ(tree.PageCount(), 2 + c.added);
    EXPECT_EQ(document.ObjectTable().size(), objects + 2 * static_cast<size_t>(c.added));
    EXPECT_EQ(tree.SelectedPageNumber(), c.selected);
    pagetest::ExpectQpdfAccepts(document);
  }
}

TEST(PageTree, EmptyRootTakesNewPagesAtTheStart) {
  TPDFDocument document;
  document.InitNewDocument();
  TPDFDictionary* root = document.GetPagesRoot();
  root->SetValue("Kids", document.Structure().NewArray());
  root->SetValue("Count", document.Structure().NewNumber(0));
  TPDFPageTree tree(root);
  EXPECT_EQ(tree.SelectedPageNumber(), 0);
  tree.InsertPages(1, 2, 10, 20);
  EXPECT_EQ(tree.PageCount(), 2);
  EXPECT_EQ(tree.SelectedPageNumber(), 1);
  EXPECT_EQ(tree.PageWidth(), 10);
}

TEST(PageTree, InsertingInTheMiddleKeepsTheCacheRightOnFlatTrees) {
  TPDFDocument document;
  document.InitNewDocument();
  TPDFPageTree& tree = document.PageTree();
  tree.InsertPages(2, 4, 612, 792);
  for (int32_t n = 1; n <= 5; ++n) tree.FindPage(n);  // every page is now in the cache
  std::vector<int32_t> before;
  for (int32_t n = 1; n <= 5; ++n) before.push_back(NumberOf(tree.FindPage(n)));

  tree.InsertPages(3, 2, 100, 100);
  const std::vector<int32_t> expected = {before[0], before[1], 14, 16, before[2], before[3], before[4]};
  TPDFPageTree uncached(document.GetPagesRoot());
  for (int32_t n = 1; n <= 7; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(NumberOf(uncached.FindPage(n)), expected[static_cast<size_t>(n - 1)]);
    tree.SelectPage(n);
    EXPECT_EQ(tree.SelectedPageNumber(), n);
    EXPECT_EQ(NumberOf(tree.SelectedPage()), expected[static_cast<size_t>(n - 1)]);
    EXPECT_EQ(NumberOf(tree.FindPage(n)), expected[static_cast<size_t>(n - 1)]);
  }
  pagetest::ExpectQpdfAccepts(document);
}

TEST_F(NestedTree, FindsPagesThroughNodesAndKnowsTheHoldingNode) {
  EXPECT_EQ(tree->PageCount(), 4);
  const int32_t expected[] = {2, 7, 8, 9};
  for (int32_t n = 1; n <= 4; ++n) EXPECT_EQ(NumberOf(tree->FindPage(n)), expected[n - 1]) << n;
  tree->FindPage(3);
  EXPECT_EQ(tree->HoldingNode(), Object(6));
  tree->FindPage(4);
  EXPECT_EQ(tree->HoldingNode(), tree->Root());
  EXPECT_EQ(tree->FindPage(5), nullptr);
  pagetest::ExpectQpdfAccepts(document);
}

TEST_F(NestedTree, InsertingInsideANodeUpdatesItsCountAndTheCache) {
  for (int32_t n = 1; n <= 4; ++n) tree->FindPage(n);
  tree->InsertPages(3, 2, 50, 60);  // after page 2, which stands in node 6

  EXPECT_EQ(TextOf(Object(6)->GetValue("Kids")), "[ 7 0 R 11 0 R 13 0 R 8 0 R ]");
  EXPECT_EQ(TextOf(Object(6)->GetValue("Count")), "4");
  EXPECT_EQ(tree->PageCount(), 6);
  EXPECT_EQ(TextOf(Object(11)->GetValue("Parent")), "6 0 R");
  EXPECT_EQ(NumberOf(tree->SelectedPage()), 11);

  const int32_t expected[] = {2, 7, 11, 13, 8, 9};
  TPDFPageTree uncached(document.GetPagesRoot());
  for (int32_t n = 1; n <= 6; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(NumberOf(uncached.FindPage(n)), expected[n - 1]);
    tree->SelectPage(n);
    EXPECT_EQ(NumberOf(tree->SelectedPage()), expected[n - 1]);
  }
  pagetest::ExpectQpdfAccepts(document);
}

TEST_F(NestedTree, MediaBoxIsInheritedOrDefaulted) {
  tree->SelectPage(2);  // inherits node 6's box and keeps none of its own
  EXPECT_EQ(tree->PageWidth(), 300);
  EXPECT_EQ(tree->PageHeight(), 400);
  EXPECT_EQ(Object(7)->GetValue("MediaBox"), nullptr);

  tree->SelectPage(3);
  EXPECT_EQ(tree->PageWidth(), 300);
  EXPECT_EQ(tree->PageHeight(), 400);

  tree->SelectPage(4);  // no box anywhere: the default is written on first reading
  EXPECT_EQ(tree->PageHeight(), 792);
  EXPECT_EQ(tree->PageWidth(), 612);
  EXPECT_EQ(TextOf(Object(9)->GetValue("MediaBox")), "[ 0 0 612 792 ]");

  // Without a box up the page's own line, the root's box is the default.
  tree->Root()->SetValue("MediaBox", Parse(document, "[ 0 0 -200 100.5 ]"));
  Object(9)->DeleteKey("MediaBox");
  Object(9)->DeleteKey("Parent");
  tree->SelectPage(4);
  EXPECT_EQ(tree->PageWidth(), 200);
  EXPECT_EQ(TextOf(Object(9)->GetValue("MediaBox")), "[ 0 0 200 100.5 ]");
}

TEST_F(NestedTree, SettingASizeRewritesBothBoxesFromTheOrigin) {
  tree->SelectPage(3);
  Object(8)->SetValue("CropBox", Parse(document, "[ 10 20 310 420 ]"));
  tree->SetPageWidth(500);
  EXPECT_EQ(TextOf(Object(8)),
            "<<\n/Type /Page\n/Parent 6 0 R\n/Resources <<\n>>\n/Contents [ 11 0 R ]\n"
            "/MediaBox [ 0 0 500 400 ]\n/CropBox [ 0 0 500 400 ]\n>>\n");
  tree->SetPageHeight(250.25);
  EXPECT_EQ(TextOf(Object(8)->GetValue("CropBox")), "[ 0 0 500 250.25 ]");
  EXPECT_EQ(tree->PageWidth(), 500);
  EXPECT_EQ(tree->PageHeight(), 250.25);

  tree->SelectPage(2);  // an inherited size becomes the page's own
  tree->SetPageHeight(90);
  EXPECT_EQ(TextOf(Object(7)->GetValue("MediaBox")), "[ 0 0 300 90 ]");
  EXPECT_EQ(TextOf(Object(6)->GetValue("MediaBox")), "[ 0 0 300 400 ]");
  pagetest::ExpectQpdfAccepts(document);
}

TEST_F(NestedTree, ContentsAsASingleReferenceBecomesAnArrayWithAMarkedStream) {
  tree->SelectPage(4);
  // The foreign stream stays first and untouched; drawing goes into a new marked stream.
  EXPECT_EQ(TextOf(Object(9)->GetValue("Contents")), "[ 10 0 R 11 0 R ]");
  ASSERT_EQ(tree->ContentStreams().size(), 2u);
  EXPECT_EQ(tree->ContentStreams()[0]->Data(), "0 0 m 10 10 l S");
  EXPECT_EQ(TextOf(tree->ContentStreams()[1]->Dictionary()->GetValue("LC")), "/Vmkr");
  const size_t objects = document.ObjectTable().size();
  tree->SelectPage(1);
  tree->SelectPage(4);
  EXPECT_EQ(TextOf(Object(9)->GetValue("Contents")), "[ 10 0 R 11 0 R ]");
  EXPECT_EQ(document.ObjectTable().size(), objects);
  pagetest::ExpectQpdfAccepts(document);
}

TEST(PageTree, ContentStreamsArePreparedOnSelection) {
  struct Case {
    const char* name;
    const char* contents;  // Contents of page 1, object 2
    const char* contentsAfter;
    size_t streams;
    bool newObject;  // the selection made object 10
  };
  const Case cases[] = {
      {"marked stream", "[ 6 0 R ]", "[ 6 0 R ]", 1, false},
      {"unmarked stream", "[ 7 0 R ]", "[ 7 0 R 10 0 R ]", 2, true},
      {"reference to an array", "8 0 R", "8 0 R", 1, false},
      {"entry that is no stream", "[ 4 0 R 6 0 R ]", "[ 10 0 R 6 0 R ]", 2, true},
      {"grown past the limit", "[ 9 0 R ]", "[ 9 0 R 10 0 R ]", 2, true},
      {"empty array", "[ ]", "[ 10 0 R ]", 1, true},
      {"neither array nor reference", "12", "12", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPDFDocument document;
    document.InitNewDocument();
    TPDFStructure& s = document.Structure();
    TPDFStream* marked = s.NewStream("1 0 0 RG", false);
    marked->Dictionary()->SetValue("LC", s.SharedName("Vmkr"));
    document.MakeIndirect(marked);                                 // 6
    document.MakeIndirect(s.NewStream("0 0 m", false));            // 7, without marker
    Enter(document, 8, "[ 6 0 R ]");
    TPDFStream* grown = s.NewStream(std::string(500001, ' '), false);
    grown->Dictionary()->SetValue("LC", s.SharedName("Vmkr"));
    document.MakeIndirect(grown);                                  // 9
    TPDFDictionary* page = As<TPDFDictionary>(document.FindObjectEntry(2)->Obj);
    page->SetValue("Contents", Parse(document, c.contents));
    const size_t objects = document.ObjectTable().size();

    TPDFPageTree tree(document.GetPagesRoot());
    EXPECT_EQ(TextOf(page->GetValue("Contents")), c.contentsAfter);
    EXPECT_EQ(tree.ContentStreams().size(), c.streams);
    EXPECT_EQ(document.ObjectTable().size(), objects + (c.newObject ? 1u : 0u));
    // Selecting again changes nothing more.
    tree.SelectPage(1);
    EXPECT_EQ(TextOf(page->GetValue("Contents")), c.contentsAfter);
    EXPECT_EQ(document.ObjectTable().size(), objects + (c.newObject ? 1u : 0u));
  }
}

namespace {

TPDFImage* LoadJpeg(TPDFDocument& document, int width, int height) {
  const std::string file = fixtures::MakeJpeg({.width = width, .height = height});
  TMemoryStream stream;
  stream.Write(file.data(), file.size());
  return document.LoadImage(stream, 0, 1);
}

std::string XObjectsOf(TPDFDictionary* resources) { return TextOf(resources->GetValue("XObject", true)); }

}  // namespace

TEST_F(NestedTree, InheritedResourcesReceiveTheEntriesInTheNode) {
  TPDFImage* image = LoadJpeg(document, 8, 8);
  ASSERT_NE(image, nullptr);
  const std::string entry = "/" + image->ResourceName() + " 11 0 R\n";

  tree->SelectPage(2);  // no Resources of its own: node 6 holds them for pages 2 and 3
  EXPECT_EQ(tree->PageResources(), Object(6)->GetValue("Resources"));
  tree->AddXObjectResource(*image);
  tree->AddXObjectResource(*image);
  EXPECT_EQ(Object(7)->GetValue("Resources"), nullptr);
  EXPECT_EQ(XObjectsOf(As<TPDFDictionary>(Object(6)->GetValue("Resources"))), "<<\n" + entry + ">>\n");

  tree->SelectPage(4);  // neither the page nor the root has any: the page gets its own
  tree->AddXObjectResource(*image);
  EXPECT_EQ(TextOf(Object(9)->GetValue("Resources")), "<<\n/XObject <<\n" + entry + ">>\n>>\n");
  pagetest::ExpectQpdfAccepts(document);
}

TEST(PageResources, OneEntryPerImageNameAndBrokenEntriesReplaced) {
  TPDFDocument document;
  document.InitNewDocument();
  TPDFPageTree& tree = document.PageTree();
  TPDFImage* image = LoadJpeg(document, 8, 8);  // object 6
  ASSERT_NE(image, nullptr);
  const std::string name = "/" + image->ResourceName();
  TPDFDictionary* page = tree.SelectedPage();
  auto resources = [&] { return As<TPDFDictionary>(page->GetValue("Resources", true)); };

  struct Case {
    const char* name;
    std::string resources;  // the page's Resources before; "%N" stands for the image's name
    std::string xobjects;   // its XObject dictionary after the image was entered twice
  };
  const Case cases[] = {
      {"fresh page", "<< /ProcSet [ /PDF ] >>", "<<\n%N 6 0 R\n>>\n"},
      {"another object under the name", "<< /XObject << %N 4 0 R /Other 3 0 R >> >>",
       "<<\n/Other 3 0 R\n%N 6 0 R\n>>\n"},
      {"already entered", "<< /XObject << %N 6 0 R /Other 3 0 R >> >>", "<<\n%N 6 0 R\n/Other 3 0 R\n>>\n"},
      {"same object, other generation", "<< /XObject << %N 6 1 R >> >>", "<<\n%N 6 0 R\n>>\n"},
      {"a direct value is left", "<< /XObject << %N 12 >> >>", "<<\n%N 12\n>>\n"},
      {"XObject not a dictionary", "<< /XObject [ 1 ] >>", "<<\n%N 6 0 R\n>>\n"},
      {"XObject by reference", "<< /XObject 7 0 R >>", "<<\n/Kept 1\n%N 6 0 R\n>>\n"},
      {"Resources not a dictionary", "(none)", "<<\n%N 6 0 R\n>>\n"},
      {"Resources by reference", "8 0 R", "<<\n%N 6 0 R\n>>\n"},
  };
  Enter(document, 7, "<< /Kept 1 >>");
  Enter(document, 8, "<< >>");
  auto expand = [&](std::string text) {
    for (size_t at; (at = text.find("%N")) != std::string::npos;) text.replace(at, 2, name);
    return text;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    page->SetValue("Resources", Parse(document, expand(c.resources)));
    tree.AddXObjectResource(*image);
    tree.AddXObjectResource(*image);
    ASSERT_NE(resources(), nullptr);
    EXPECT_EQ(XObjectsOf(resources()), expand(c.xobjects));
  }
  EXPECT_EQ(resources(), document.FindObjectEntry(8)->Obj);
  pagetest::ExpectQpdfAccepts(document);
}

TEST(PageResources, FontsGoIntoTheFontDictionary) {
  TPDFDocument document;
  document.InitNewDocument();
  TPDFPageTree& tree = document.PageTree();
  Enter(document, 6, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  TPDFFont font("F1", document.Structure().NewReference(6, 0));
  tree.AddFontResource(font);
  tree.AddFontResource(font);
  EXPECT_EQ(TextOf(tree.PageResources()->GetValue("Font")), "<<\n/F1 6 0 R\n>>\n");
  TPDFFont unregistered("F2", nullptr);
  tree.AddFontResource(unregistered);
  EXPECT_EQ(TextOf(tree.PageResources()->GetValue("Font")), "<<\n/F1 6 0 R\n>>\n");
}

// The application's pages: each sized to its image, drawn over the whole page, with an
// invisible link over the same rectangle.
TEST(PageTree, ImagePagesWithLinksAreValidAndRender) {
  TPDFDocument document;
  document.InitNewDocument();
  TPDFPageTree& tree = document.PageTree();
  const std::pair<int, int> sizes[] = {{16, 8}, {9, 13}, {40, 30}};
  tree.InsertPages(2, 2, tree.PageWidth(), tree.PageHeight());
  for (int32_t n = 1; n <= 3; ++n) {
    const auto [w, h] = sizes[n - 1];
    tree.SelectPage(n);
    tree.SetPageWidth(w);
    tree.SetPageHeight(h);
    TPDFImage* image = LoadJpeg(document, w, h);
    ASSERT_NE(image, nullptr);
    tree.AddXObjectResource(*image);
    tree.Painter().DrawImage(*image, 0, h, w, h);
    tree.AddLinkAnnotation("https://example.com/", 0, 0, h, w, h);

    const std::string size = std::to_string(w) + " " + std::to_string(h);
    EXPECT_EQ(tree.ContentStreams().back()->Data(),
              "q\n" + std::to_string(w) + " 0 0 " + std::to_string(h) + " 0 0 cm\n/" + image->ResourceName() +
                  " Do\nQ\n");
    EXPECT_EQ(TextOf(tree.SelectedPage()->GetValue("MediaBox")), "[ 0 0 " + size + " ]");
    EXPECT_EQ(TextOf(tree.SelectedPage()->GetValue("CropBox")), "[ 0 0 " + size + " ]");
    EXPECT_EQ(tree.Annots().Array()->Count(), 1);
  }
  pagetest::ExpectQpdfAccepts(document);
  pagetest::ExpectRenders(document, 3);
}
