// TPDFPageTree: page-level access to one document's page tree.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "pdf/PdfStructure.h"

namespace pdf {

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
  void SelectPage(int32_t pageNumber);

  int32_t SelectedPageNumber() const { return selectedPageNumber_; }
  TPDFDictionary* SelectedPage() const { return selectedPage_; }
  TPDFDictionary* Root() const { return root_; }
  const std::vector<TPDFStream*>& ContentStreams() const { return contentStreams_; }

 private:
  TPDFIndRef* Register(TPDFObject* object);
  TPDFStream* NewMarkedStream();
  static bool HasMarker(const TPDFStream& stream);
  bool PrepareContentStreams(TPDFDictionary& page);

  TPDFStructure* store_ = nullptr;
  TPDFDictionary* root_ = nullptr;
  PageNumberCallback pageNumberOfRef_;
  int32_t selectedPageNumber_ = 0;
  TPDFDictionary* selectedPage_ = nullptr;
  TPDFDictionary* holdingNode_ = nullptr;
  std::vector<TPDFStream*> contentStreams_;
  bool widthCached_ = false, heightCached_ = false;
  double widthCache_ = 0, heightCache_ = 0;
  std::vector<TPDFDictionary*> pageCache_;
};

}  // namespace pdf
