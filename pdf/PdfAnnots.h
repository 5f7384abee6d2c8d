// TPDFAnnots: the selected page's Annots array, as the page tree hands it over.
#pragma once

#include <cstdint>

#include "pdf/PdfObjects.h"

namespace pdf {

class TPDFAnnots {
 public:
  // The array now holds the page's annotations; none forgets it.
  void SetArray(TPDFArray* annots);
  void Reset();

  TPDFArray* Array() const { return array_; }
  int32_t CurrentIndex() const { return currentIndex_; }

 private:
  TPDFArray* array_ = nullptr;  // owned by the document's structure
  int32_t currentIndex_ = -1;
};

}  // namespace pdf
