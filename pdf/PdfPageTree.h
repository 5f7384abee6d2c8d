// TPDFPageTree: page-level access to one document's page tree.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "pdf/PdfAnnots.h"
#include "pdf/PdfPainter.h"
#include "pdf/PdfStructure.h"

namespace pdf {

class TPDFFont;
class TPDFImage;

inline constexpr double kDefaultPageWidth = 612;
inline constexpr double kDefaultPageHeight = 792;
// Content streams this writer makes for its own drawing carry LC /Vmkr in their dictionary.
inline constexpr std::string_view kContentMarker = "Vmkr";

class TPDFPageTree {
 public:
  using PageNumberCallback = std::function<int32_t(const TPDFIndRef&)>;

  // With a root node, page 1 is selected; without one there is no page and no store.
  explicit TPDFPageTree(TPDFDictionary* root, PageNumberCallback pageNumberOfRef = {});
  ~TPDFPageTree();
  TPDFPageTree(const TPDFPageTree&) = delete;
  TPDFPageTree& operator=(const TPDFPageTree&) = delete;

  int32_t PageCount();
  TPDFDictionary* FindPage(int32_t pageNumber);
  // A number outside 1..PageCount re-selects the selected page.
  void SelectPage(int32_t pageNumber);

  // Size of the selected page in points, inherited through the tree; a page without any
  // MediaBox gets the default one written into it.
  double PageWidth();
  double PageHeight();
  // Rewrites MediaBox and CropBox of the selected page as [0 0 w h].
  void SetPageWidth(double width);
  void SetPageHeight(double height);

  // Inserts `count` blank pages of the given size so that the first becomes page `position`
  // (1..PageCount+1), then selects page `position`. Any other position inserts nothing.
  void InsertPages(int32_t position, int32_t count, double width, double height);

  // The selected page's resource dictionary (possibly inherited from its node); none when
  // no page is selected.
  TPDFDictionary* PageResources();
  void AddXObjectResource(const TPDFImage& image);
  void AddFontResource(const TPDFFont& font);

  // Stores the painter's text into the selected page's last content stream.
  void FlushContent();
  // A link to `address` over w by h points from (x, y) down; bit 0 of options draws a border.
  void AddLinkAnnotation(std::string_view address, int32_t options, double x, double y, double w, double h);

  int32_t SelectedPageNumber() const { return selectedPageNumber_; }
  TPDFDictionary* SelectedPage() const { return selectedPage_; }
  TPDFDictionary* Root() const { return root_; }
  // The node whose Kids held the page last found by FindPage.
  TPDFDictionary* HoldingNode() const { return holdingNode_; }
  const std::vector<TPDFStream*>& ContentStreams() const { return contentStreams_; }
  TPDFPainter& Painter() { return *painter_; }
  TPDFAnnots& Annots() { return *annots_; }

 private:
  // Where page n stands: its dictionary, the Kids array holding it and its index there, and
  // the last Pages node the walk went through.
  struct PageLocation {
    TPDFDictionary* page = nullptr;
    TPDFArray* kids = nullptr;
    int32_t index = -1;
    TPDFDictionary* node = nullptr;
  };
  PageLocation LocatePage(int32_t n, int32_t count);

  TPDFIndRef* Register(TPDFObject* object);
  TPDFStream* NewMarkedStream();
  static bool HasMarker(const TPDFStream& stream);
  bool PrepareContentStreams(TPDFDictionary& page);
  void ReloadPainter();

  struct Box {
    double width;
    double height;
  };
  static Box BoxSize(const TPDFArray& box);
  Box PageSize();
  void WriteBoxes(double width, double height);

  TPDFDictionary* NewPage(TPDFIndRef* parent, double width, double height);
  void AddToCounts(TPDFDictionary* node, int32_t count);
  // Enters `value` under `name` in the sub-dictionary `category` of the page's resources.
  void EnterResource(std::string_view category, const Bytes& name, TPDFObject* value);
  void AddXObjectResource(const TPDFImage& image, int depth);

  TPDFStructure* store_ = nullptr;
  TPDFDictionary* root_ = nullptr;
  PageNumberCallback pageNumberOfRef_;
  int32_t selectedPageNumber_ = 0;
  TPDFDictionary* selectedPage_ = nullptr;
  TPDFDictionary* holdingNode_ = nullptr;
  std::vector<TPDFStream*> contentStreams_;
  std::unique_ptr<TPDFPainter> painter_;
  std::unique_ptr<TPDFAnnots> annots_;
  bool widthCached_ = false, heightCached_ = false;
  double widthCache_ = 0, heightCache_ = 0;
  std::vector<TPDFDictionary*> pageCache_;
};

}  // namespace pdf
