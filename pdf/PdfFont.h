// TPDFFont: the little the page tree and painter know of a font. The application draws no
// text, so nothing here makes fonts; the hooks that take one stay inert while none is set.
#pragma once

#include <utility>

#include "pdf/PdfObjects.h"

namespace pdf {

class TPDFFont {
 public:
  TPDFFont(Bytes resourceName, TPDFIndRef* reference)
      : resourceName_(std::move(resourceName)), reference_(reference) {}
  TPDFFont(const TPDFFont&) = delete;
  TPDFFont& operator=(const TPDFFont&) = delete;

  const Bytes& ResourceName() const { return resourceName_; }
  // Reference to the font dictionary; owned by the document's structure.
  TPDFIndRef* Reference() const { return reference_; }

 private:
  Bytes resourceName_;
  TPDFIndRef* reference_;
};

}  // namespace pdf
