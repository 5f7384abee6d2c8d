#include "pdf/PdfPageTree.h"

#include <algorithm>

namespace pdf {

namespace {
// A content stream that has grown past this is not appended to again: the next selection
// starts a fresh one, which caps the rewrite per change.
constexpr size_t kMaxAppendableContent = 500000;
constexpr int kMaxTreeDepth = 256;
}  // namespace

TPDFPageTree::TPDFPageTree(TPDFDictionary* root, PageNumberCallback pageNumberOfRef)
    : root_(root), pageNumberOfRef_(std::move(pageNumberOfRef)) {
  if (root_ == nullptr) return;
  store_ = root_->Owner();
  SelectPage(1);
}

TPDFPageTree::~TPDFPageTree() = default;

int32_t TPDFPageTree::PageCount() {
  int32_t count = 0;
  if (root_ != nullptr)
    if (auto* number = As<TPDFNumeric>(root_->GetValue("Count", true))) count = std::max(0, number->AsInteger());
  pageCache_.resize(static_cast<size_t>(count), nullptr);
  return count;
}

TPDFDictionary* TPDFPageTree::FindPage(int32_t n) {
  const int32_t count = PageCount();
  if (n < 1 || n > count) return nullptr;
  holdingNode_ = root_;
  auto* kids = As<TPDFArray>(root_->GetValue("Kids", true));
  if (kids == nullptr) return nullptr;

  TPDFDictionary* result = nullptr;
  // Flat trees, as this writer builds them, need a single look.
  if (kids->Count() == count) {
    auto* page = As<TPDFDictionary>(Follow(kids->ItemAt(n - 1)));
    if (page != nullptr && page->TypeName() == "Page") result = page;
  }
  if (result == nullptr) {
    int32_t seen = 0;
    int descents = 0;  // a node that lists itself among its kids must not trap the walk
    const TPDFArray* level = kids;
    for (int32_t i = 0; level != nullptr && i < level->Count() && result == nullptr; ++i) {
      auto* reference = As<TPDFIndRef>(level->ItemAt(i));
      if (reference == nullptr) continue;
      auto* node = As<TPDFDictionary>(reference->Resolve());
      if (node == nullptr) continue;
      const Bytes type = node->TypeName();
      if (type == "Pages") {
        const auto* nodeCount = As<TPDFNumeric>(node->GetValue("Count", true));
        const int32_t below = seen + (nodeCount != nullptr ? nodeCount->AsInteger() : 0);
        if (below < n) {
          seen = below;
          continue;
        }
        holdingNode_ = node;
        auto* nodeKids = As<TPDFArray>(node->GetValue("Kids", true));
        if (nodeKids == nullptr || ++descents > kMaxTreeDepth) continue;
        level = nodeKids;
        i = -1;
      } else if (type == "Page") {
        if (seen + 1 == n) result = node;
        else ++seen;
      }
    }
  }
  pageCache_[static_cast<size_t>(n - 1)] = result;
  return result;
}

TPDFIndRef* TPDFPageTree::Register(TPDFObject* object) {
  const auto [number, generation] = store_->OnRegister(nullptr, object);
  return store_->NewReference(number, generation);
}

TPDFStream* TPDFPageTree::NewMarkedStream() {
  TPDFStream* stream = store_->NewStream(Bytes(), false);
  stream->Dictionary()->SetValue("LC", store_->SharedName(kContentMarker));
  return stream;
}

bool TPDFPageTree::HasMarker(const TPDFStream& stream) {
  const auto* marker = As<TPDFName>(stream.Dictionary()->GetValue("LC"));
  return marker != nullptr && marker->Value() == kContentMarker;
}

void TPDFPageTree::SelectPage(int32_t n) {
  widthCached_ = heightCached_ = false;
  if (n < 1 || n > PageCount()) n = selectedPageNumber_;
  if (n < 1 || n > PageCount()) return;
  TPDFDictionary* page = pageCache_[static_cast<size_t>(n - 1)];
  if (page == nullptr) page = FindPage(n);
  if (page == nullptr) return;

  selectedPageNumber_ = n;
  selectedPage_ = page;
  contentStreams_.clear();
  PrepareContentStreams(*page);
}

bool TPDFPageTree::PrepareContentStreams(TPDFDictionary& page) {
  if (!store_->OnRegister) return false;
  TPDFObject* contents = page.GetValue("Contents");
  TPDFArray* array = nullptr;
  if (contents == nullptr) {
    TPDFStream* stream = NewMarkedStream();
    array = store_->NewArrayOf({Register(stream)});
    page.SetValue("Contents", array);
  } else if (auto* reference = As<TPDFIndRef>(contents)) {
    array = As<TPDFArray>(reference->Resolve());
    if (array == nullptr) {
      page.Unlink("Contents");
      array = store_->NewArrayOf({reference});
      page.SetValue("Contents", array);
    }
  } else {
    array = As<TPDFArray>(contents);
  }
  if (array == nullptr) return false;

  auto* last = As<TPDFStream>(Follow(array->ItemAt(array->Count() - 1)));
  if (last == nullptr || !HasMarker(*last) || last->Data().size() > kMaxAppendableContent)
    array->Append(Register(NewMarkedStream()));

  for (int32_t i = 0; i < array->Count(); ++i) {
    auto* stream = As<TPDFStream>(Follow(array->ItemAt(i)));
    if (stream == nullptr) {
      stream = store_->NewStream(Bytes(), false);
      array->Replace(i, Register(stream));
    }
    contentStreams_.push_back(stream);
  }
  return true;
}

}  // namespace pdf
