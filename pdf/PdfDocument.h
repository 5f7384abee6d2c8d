// TPDFDocument: one PDF document under construction and its classic file writer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pdf/ByteStream.h"
#include "pdf/PdfImage.h"
#include "pdf/PdfPageTree.h"
#include "pdf/PdfStructure.h"

namespace pdf {

class TPDFDocument;

// One entry of the object table.
struct TPDFIndObj {
  TPDFDocument* Document = nullptr;
  int32_t Number = 0;
  int32_t Generation = 0;
  bool Loaded = false;
  TPDFObject* Obj = nullptr;  // owned by the document's structure
};

class TPDFDocument {
 public:
  TPDFDocument();
  ~TPDFDocument();
  TPDFDocument(const TPDFDocument&) = delete;
  TPDFDocument& operator=(const TPDFDocument&) = delete;

  void ResetDocument();
  // A new one-page US Letter document: catalogue, page tree, page, information dictionary,
  // identifier and the page's first content stream.
  bool InitNewDocument();

  TPDFIndObj* AddIndirectObject(TPDFObject* object);
  TPDFIndRef* MakeIndirect(TPDFObject* object);
  TPDFIndObj* FindObjectEntry(int32_t number) const;

  TPDFDictionary* GetCatalog();
  TPDFDictionary* GetPagesRoot();
  TPDFDictionary* GetInfoDictionary();

  const std::string& Version() const { return version_; }
  void SetVersion(std::string version) { version_ = std::move(version); }

  Bytes ObjectText(const TPDFIndObj& entry) const;
  bool WriteToStream(TStream& stream);
  // Writes the whole file; false on any failure. An existing file of that name is replaced
  // only once the new one has been written completely.
  bool SaveToFile(const std::u16string& fileName);
  int32_t PageNumberOfRef(const TPDFIndRef& reference);

  TPDFStructure& Structure() { return *structure_; }
  TPDFDictionary* Trailer() const { return trailer_; }
  TPDFPageTree& PageTree() { return *pageTree_; }
  const std::vector<std::unique_ptr<TPDFIndObj>>& ObjectTable() const { return objectTable_; }
  int64_t LastFileSize() const { return lastFileSize_; }

  // Settings the facade keeps on the document.
  double UnitFactor = 1.0;
  int32_t OriginCorner = 0;
  int32_t ImageImportMode = 0;

  // A new image from the stream, registered and owned by the document; none when the stream
  // holds no image this writer can embed.
  TPDFImage* LoadImage(TStream& stream, int32_t index, int32_t importMode);
  // The document's images in loading order; the document owns them.
  std::vector<std::unique_ptr<TPDFImage>> Images;

 private:
  struct XRefEntry {
    int64_t offset = 0;  // 64 bits, so that files over 2 GiB keep right offsets
    int32_t generation = 0;
    bool inUse = false;
  };
  struct IndexEntry {
    int32_t number;
    size_t position;
  };

  bool WriteBody(TStream& stream);
  void NewPageTree(TPDFDictionary* root);

  std::unique_ptr<TPDFStructure> structure_;
  std::vector<std::unique_ptr<TPDFIndObj>> objectTable_;
  // Object numbers ascending with their table positions. New entries always take the
  // highest number plus one, so appending keeps it sorted, exactly as re-sorting would.
  std::vector<IndexEntry> numberIndex_;
  int32_t highestNumber_ = 0;
  TPDFDictionary* trailer_ = nullptr;
  std::string version_ = "1.4";
  std::unique_ptr<TPDFPageTree> pageTree_;
  std::vector<XRefEntry> xref_;
  int64_t lastFileSize_ = 0;
};

}  // namespace pdf
