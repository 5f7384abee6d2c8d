#include "pdf/PdfDocument.h"

#include <algorithm>
#include <cstdio>

#include "pdf/Clock.h"
#include "pdf/FileStream.h"
#include "pdf/Identifiers.h"

namespace pdf {

namespace {
// Ten digits is all a classic cross-reference entry has room for.
constexpr int64_t kMaxXRefOffset = 9999999999;
}  // namespace

TPDFDocument::TPDFDocument() : structure_(std::make_unique<TPDFStructure>()) {
  structure_->OnResolve = [this](const TPDFIndRef&, int32_t number, int32_t) -> TPDFObject* {
    const TPDFIndObj* entry = FindObjectEntry(number);
    return entry != nullptr ? entry->Obj : nullptr;
  };
  structure_->OnRegister = [this](TPDFObject*, TPDFObject* object) {
    const TPDFIndObj* entry = AddIndirectObject(object);
    return std::make_pair(entry->Number, entry->Generation);
  };
  ResetDocument();
}

TPDFDocument::~TPDFDocument() {
  // The page tree refers into the structure: it goes first.
  pageTree_.reset();
}

void TPDFDocument::NewPageTree(TPDFDictionary* root) {
  pageTree_.reset();
  pageTree_ = std::make_unique<TPDFPageTree>(root, [this](const TPDFIndRef& ref) { return PageNumberOfRef(ref); });
}

void TPDFDocument::ResetDocument() {
  pageTree_.reset();
  // Images point into the structure that is about to be cleared.
  Images.clear();
  structure_->ClearStructure();
  trailer_ = structure_->NewDictionary();
  objectTable_.clear();
  numberIndex_.clear();
  highestNumber_ = 0;
  xref_.clear();
  NewPageTree(nullptr);
}

bool TPDFDocument::InitNewDocument() {
  ResetDocument();
  version_ = "1.4";
  TPDFStructure& s = *structure_;

  TPDFDictionary* info = s.NewDictionary();
  TPDFDictionary* catalog = s.NewDictionary();
  TPDFDictionary* pagesRoot = s.NewDictionary();
  TPDFDictionary* page = s.NewDictionary();
  TPDFDictionary* resources = s.NewDictionary();

  TPDFIndRef* parent = MakeIndirect(pagesRoot);

  page->SetValue("Type", s.SharedName("Page"));
  page->SetValue("Parent", parent);
  page->SetValue("MediaBox", s.NewIntegerArray({0, 0, 612, 792}));
  page->SetValue("CropBox", s.NewIntegerArray({0, 0, 612, 792}));
  page->SetValue("Resources", resources);

  resources->SetValue("ProcSet", s.NewArrayOf({s.NewName("PDF"), s.NewName("Text"), s.NewName("ImageB"),
                                               s.NewName("ImageC"), s.NewName("ImageI")}));

  pagesRoot->SetValue("Type", s.SharedName("Pages"));
  pagesRoot->SetValue("Count", s.NewNumber(1));
  pagesRoot->SetValue("Kids", s.NewArrayOf({MakeIndirect(page)}));

  catalog->SetValue("Type", s.SharedName("Catalog"));
  catalog->SetValue("Pages", parent);

  const Md5Bytes digest = Md5Digest(DateTimeSerialText(NowLocal()));
  TPDFString* identifier =
      s.NewString(Bytes(reinterpret_cast<const char*>(digest.data()), digest.size()), TextMode::Hexadecimal);

  trailer_->SetValue("Root", MakeIndirect(catalog));
  trailer_->SetValue("Info", MakeIndirect(info));
  trailer_->SetValue("ID", s.NewArrayOf({identifier, identifier}));

  NewPageTree(GetPagesRoot());
  return true;
}

TPDFIndObj* TPDFDocument::AddIndirectObject(TPDFObject* object) {
  if (As<TPDFNumeric>(trailer_->GetValue("Size")) == nullptr) trailer_->SetValue("Size", structure_->NewNumber(1));
  // The highest number is kept as entries are made rather than found by a walk each time.
  const int32_t number = highestNumber_ + 1;
  auto entry = std::make_unique<TPDFIndObj>();
  entry->Document = this;
  entry->Number = number;
  entry->Generation = 0;
  entry->Loaded = true;
  entry->Obj = object;
  object->MarkIndirect(number, 0);
  TPDFIndObj* raw = entry.get();
  objectTable_.push_back(std::move(entry));
  numberIndex_.push_back({number, objectTable_.size() - 1});
  highestNumber_ = number;
  As<TPDFNumeric>(trailer_->GetValue("Size"))->SetValue(static_cast<double>(number) + 1);
  return raw;
}

TPDFIndRef* TPDFDocument::MakeIndirect(TPDFObject* object) {
  const TPDFIndObj* entry = AddIndirectObject(object);
  return structure_->NewReference(entry->Number, entry->Generation);
}

TPDFIndObj* TPDFDocument::FindObjectEntry(int32_t number) const {
  auto it = std::lower_bound(numberIndex_.begin(), numberIndex_.end(), number,
                             [](const IndexEntry& e, int32_t n) { return e.number < n; });
  if (it == numberIndex_.end() || it->number != number) return nullptr;
  return objectTable_[it->position].get();
}

TPDFDictionary* TPDFDocument::GetCatalog() {
  if (auto* catalog = As<TPDFDictionary>(trailer_->GetValue("Root", true))) return catalog;
  TPDFDictionary* catalog = structure_->NewDictionary();
  trailer_->SetValue("Root", MakeIndirect(catalog));
  return catalog;
}

TPDFDictionary* TPDFDocument::GetPagesRoot() { return As<TPDFDictionary>(GetCatalog()->GetValue("Pages", true)); }

TPDFDictionary* TPDFDocument::GetInfoDictionary() {
  if (auto* info = As<TPDFDictionary>(trailer_->GetValue("Info", true))) return info;
  TPDFDictionary* info = structure_->NewDictionary();
  trailer_->SetValue("Info", MakeIndirect(info));
  return info;
}

Bytes TPDFDocument::ObjectText(const TPDFIndObj& entry) const {
  Bytes text = std::to_string(entry.Number) + ' ' + std::to_string(entry.Generation) + " obj\n";
  if (entry.Obj != nullptr) entry.Obj->AppendText(text, 0);
  if (text.back() != '\n') text += '\n';
  text += "endobj\n";
  return text;
}

bool TPDFDocument::WriteBody(TStream& stream) {
  xref_.clear();
  if (!stream.WriteAll("%PDF-" + version_ + "\n")) return false;
  if (!stream.WriteAll("%\xE2\xE3\xCF\xD3\n")) return false;

  xref_.assign(static_cast<size_t>(highestNumber_) + 1, XRefEntry{0, 0, true});
  xref_[0] = XRefEntry{0, 65535, false};

  for (const auto& entry : objectTable_) {
    Bytes text = ObjectText(*entry);
    XRefEntry& xref = xref_[static_cast<size_t>(entry->Number)];
    if (text.empty()) {
      xref = XRefEntry{0, 0, false};
      continue;
    }
    if (text.back() != '\n' && text.back() != '\r') text += '\n';
    xref.offset = stream.Position();
    xref.generation = entry->Generation < 0 ? 0 : entry->Generation;
    if (xref.offset < 0 || xref.offset > kMaxXRefOffset) return false;
    if (!stream.WriteAll(text)) return false;
  }

  const int64_t xrefStart = stream.Position();
  if (xrefStart < 0) return false;
  if (!stream.WriteAll("xref\n0 " + std::to_string(xref_.size()) + "\n")) return false;
  for (const XRefEntry& xref : xref_) {
    const std::string line = ZeroPad(xref.offset, 10) + ' ' + ZeroPad(xref.generation, 5) + ' ' +
                             (xref.inUse ? 'n' : 'f') + " \n";
    if (!stream.WriteAll(line)) return false;
  }

  trailer_->Unlink("XRefStm");
  if (!stream.WriteAll("trailer\n" + trailer_->ToText())) return false;
  return stream.WriteAll("startxref\n" + std::to_string(xrefStart) + "\n%%EOF\n");
}

bool TPDFDocument::WriteToStream(TStream& stream) {
  const int32_t selected = pageTree_->SelectedPageNumber();
  bool ok = false;
  try {
    ok = WriteBody(stream);
  } catch (const std::exception&) {
    ok = false;
  }
  lastFileSize_ = stream.Size();
  pageTree_->SelectPage(selected);
  return ok;
}

bool TPDFDocument::SaveToFile(const std::u16string& fileName) {
  const auto target = Utf16ToFileSystemName(fileName);
  if (!target || target->empty()) return false;
  // Write beside the target and rename it into place, so that a failed write (a full disk)
  // never destroys a file the user already had.
  const std::string tag = UniqueTag();
  const std::string temporary = *target + ".part-" + tag;
  bool ok = false;
  try {
    TVellumWideFileStream stream(fileName + u".part-" + std::u16string(tag.begin(), tag.end()), kModeCreate);
    ok = WriteToStream(stream);
  } catch (const std::exception&) {
    ok = false;
  }
  if (ok && std::rename(temporary.c_str(), target->c_str()) != 0) ok = false;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

int32_t TPDFDocument::PageNumberOfRef(const TPDFIndRef& reference) {
  const int32_t count = pageTree_->PageCount();
  for (int32_t n = 1; n <= count; ++n) {
    const TPDFDictionary* page = pageTree_->FindPage(n);
    if (page != nullptr && page->IsIndirect() && page->IndirectNumber() == reference.ObjectNumber() &&
        page->IndirectGeneration() == reference.Generation())
      return n;
  }
  return 0;
}

}  // namespace pdf
