#include "pdf/PdfAnnots.h"

namespace pdf {

void TPDFAnnots::SetArray(TPDFArray* annots) {
  Reset();
  array_ = annots;
}

void TPDFAnnots::Reset() {
  array_ = nullptr;
  currentIndex_ = -1;
}

}  // namespace pdf
