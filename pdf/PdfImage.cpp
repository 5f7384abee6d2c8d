#include "pdf/PdfImage.h"

#include <utility>

#include "pdf/PdfStructure.h"

namespace pdf {

TPDFImage::TPDFImage(TPDFStructure& store, Bytes resourceName, int32_t importMode)
    : store_(&store), resourceName_(std::move(resourceName)), importMode_(importMode) {}

// The XObject and its entries belong to the store; the image frees nothing of its own.
TPDFImage::~TPDFImage() = default;

}  // namespace pdf
