// TPDFImage: one image XObject of a document and the facts the pages need about it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pdf/ByteStream.h"
#include "pdf/ImageFormat.h"
#include "pdf/PdfObjects.h"

namespace pdf {

class TPDFStructure;
class TPDFFont;

// A resource entered under a name of its own (graphics states, patterns).
struct TPDFNamedResource {
  Bytes Name;
  TPDFObject* Value = nullptr;  // owned by the document's structure
};

class TPDFImage {
 public:
  TPDFImage(TPDFStructure& store, Bytes resourceName, int32_t importMode);
  ~TPDFImage();
  TPDFImage(const TPDFImage&) = delete;
  TPDFImage& operator=(const TPDFImage&) = delete;

  // True when an XObject was built and registered from the stream. Only JPEG data are
  // embedded (unchanged); the index selects a page or route of other formats.
  bool LoadImageFromStream(TStream& stream, int32_t index);
  // Makes and registers the DCTDecode XObject from the whole stream.
  void BuildJpegXObject(TStream& stream);

  // The structure of the document the image belongs to.
  TPDFStructure& Store() const { return *store_; }
  const Bytes& ResourceName() const { return resourceName_; }
  // Reference to the registered XObject stream; none until one was built.
  TPDFIndRef* Reference() const { return reference_; }
  TPDFDictionary* ImageDictionary() const { return dictionary_; }
  TPDFStream* XObject() const { return stream_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  uint8_t ImageKind() const { return imageKind_; }
  int32_t ImportMode() const { return importMode_; }
  const Bytes& ColorSpaceName() const { return colorSpaceName_; }
  bool NeedsVersion15() const { return needsVersion15_; }

  // Resolution as found in the file; unit 0 unknown, 1 no unit, 2 per inch, 3 per centimetre.
  int32_t XResolution() const { return xResolution_; }
  int32_t YResolution() const { return yResolution_; }
  int32_t ResolutionUnit() const { return resolutionUnit_; }

  // What a page must list besides the image itself; all empty for a JPEG.
  const std::vector<TPDFFont*>& Fonts() const { return fonts_; }
  const std::vector<TPDFImage*>& ContainedImages() const { return containedImages_; }
  const std::vector<TPDFNamedResource>& GraphicsStates() const { return graphicsStates_; }
  const std::vector<TPDFNamedResource>& Patterns() const { return patterns_; }

 private:
  void BuildJpegXObject(Bytes bytes, const JpegHeaderInfo& header);

  TPDFStructure* store_;
  Bytes resourceName_;
  TPDFIndRef* reference_ = nullptr;
  TPDFDictionary* dictionary_ = nullptr;
  TPDFStream* stream_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  uint8_t imageKind_ = 0;
  int32_t importMode_ = 0;
  int32_t xResolution_ = 0;
  int32_t yResolution_ = 0;
  int32_t resolutionUnit_ = 0;
  Bytes colorSpaceName_;
  bool needsVersion15_ = false;
  std::vector<TPDFFont*> fonts_;
  std::vector<TPDFImage*> containedImages_;
  std::vector<TPDFNamedResource> graphicsStates_;
  std::vector<TPDFNamedResource> patterns_;
};

}  // namespace pdf
