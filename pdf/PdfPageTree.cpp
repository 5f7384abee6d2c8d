#include "pdf/PdfPageTree.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "pdf/PdfFont.h"
#include "pdf/PdfImage.h"

namespace pdf {

namespace {
// A content stream that has grown past this is not appended to again: the next selection
// starts a fresh one, which caps the rewrite per change.
constexpr size_t kMaxAppendableContent = 500000;
// Bounds every walk up or down the tree, so that nodes listing themselves cannot trap it.
constexpr int kMaxTreeDepth = 256;
// Object slots reserved per new page: page, arrays, numbers, resources, stream, references.
constexpr int64_t kSlotsPerNewPage = 26;
constexpr int32_t kDefaultNumberPrecision = 4;
constexpr std::string_view kNewPageResources = "<< /ProcSet [ /PDF /Text /ImageB /ImageC /ImageI ] >>";
}  // namespace

TPDFPageTree::TPDFPageTree(TPDFDictionary* root, PageNumberCallback pageNumberOfRef)
    : root_(root), pageNumberOfRef_(std::move(pageNumberOfRef)), annots_(std::make_unique<TPDFAnnots>()) {
  if (root_ != nullptr) store_ = root_->Owner();
  painter_ = std::make_unique<TPDFPainter>(
      this, [this] { FlushContent(); }, store_ != nullptr ? store_->Precision() : kDefaultNumberPrecision);
  if (root_ != nullptr) SelectPage(1);
}

TPDFPageTree::~TPDFPageTree() = default;

int32_t TPDFPageTree::PageCount() {
  int32_t count = 0;
  if (root_ != nullptr)
    if (auto* number = As<TPDFNumeric>(root_->GetValue("Count", true))) count = std::max(0, number->AsInteger());
  pageCache_.resize(static_cast<size_t>(count), nullptr);
  return count;
}

TPDFPageTree::PageLocation TPDFPageTree::LocatePage(int32_t n, int32_t count) {
  holdingNode_ = root_;
  auto* kids = As<TPDFArray>(root_->GetValue("Kids", true));
  if (kids == nullptr) return {};

  // Flat trees, as this writer builds them, need a single look.
  if (kids->Count() == count) {
    auto* page = As<TPDFDictionary>(Follow(kids->ItemAt(n - 1)));
    if (page != nullptr && page->TypeName() == "Page") return {page, kids, n - 1, root_};
  }

  int32_t seen = 0;
  int descents = 0;
  TPDFArray* level = kids;
  for (int32_t i = 0; i < level->Count(); ++i) {
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
      if (seen + 1 == n) return {node, level, i, holdingNode_};
      ++seen;
    }
  }
  return {};
}

TPDFDictionary* TPDFPageTree::FindPage(int32_t n) {
  const int32_t count = PageCount();
  if (n < 1 || n > count) return nullptr;
  TPDFDictionary* page = LocatePage(n, count).page;
  pageCache_[static_cast<size_t>(n - 1)] = page;
  return page;
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
  const int32_t count = PageCount();
  if (n < 1 || n > count) n = selectedPageNumber_;
  if (n < 1 || n > count) return;
  TPDFDictionary* page = pageCache_[static_cast<size_t>(n - 1)];
  if (page == nullptr) page = FindPage(n);
  if (page == nullptr) return;

  selectedPageNumber_ = n;
  selectedPage_ = page;
  contentStreams_.clear();
  if (auto* annots = As<TPDFArray>(page->GetValue("Annots", true)))
    annots_->SetArray(annots);
  else
    annots_->Reset();
  if (PrepareContentStreams(*page)) ReloadPainter();
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

  // Foreign content is never rewritten: drawing goes into a stream of our own.
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

void TPDFPageTree::ReloadPainter() {
  painter_->SetNumberPrecision(store_->Precision());
  // The reset must not empty the page's stream: it runs without the change callback.
  TPDFPainter::ChangeCallback onChange = painter_->DetachChangeCallback();
  painter_->ResetPainter();
  painter_->AttachChangeCallback(std::move(onChange));
  painter_->LoadContent(contentStreams_.back()->DecodedData());
}

TPDFPageTree::Box TPDFPageTree::BoxSize(const TPDFArray& box) {
  auto entry = [&box](int32_t i) {
    const auto* number = As<TPDFNumeric>(Follow(box.ItemAt(i)));
    return number != nullptr ? number->Value() : 0.0;
  };
  return {std::fabs(entry(2) - entry(0)), std::fabs(entry(3) - entry(1))};
}

TPDFPageTree::Box TPDFPageTree::PageSize() {
  TPDFDictionary* node = selectedPage_;
  for (int depth = 0; node != nullptr && depth <= kMaxTreeDepth; ++depth) {
    if (auto* box = As<TPDFArray>(node->GetValue("MediaBox", true))) return BoxSize(*box);
    node = As<TPDFDictionary>(node->GetValue("Parent", true));
  }
  Box size{kDefaultPageWidth, kDefaultPageHeight};
  if (root_ != nullptr)
    if (auto* box = As<TPDFArray>(root_->GetValue("MediaBox", true))) size = BoxSize(*box);
  // A page without any box gets one of its own, so that viewers agree on its size.
  if (selectedPage_ != nullptr) {
    selectedPage_->DeleteKey("MediaBox");
    selectedPage_->SetValue("MediaBox", store_->NewRealArray({0, 0, size.width, size.height}));
  }
  return size;
}

double TPDFPageTree::PageWidth() {
  if (!widthCached_) {
    widthCache_ = PageSize().width;
    widthCached_ = true;
  }
  return widthCache_;
}

double TPDFPageTree::PageHeight() {
  if (!heightCached_) {
    heightCache_ = PageSize().height;
    heightCached_ = true;
  }
  return heightCache_;
}

void TPDFPageTree::WriteBoxes(double width, double height) {
  selectedPage_->DeleteKey("MediaBox");
  selectedPage_->DeleteKey("CropBox");
  selectedPage_->SetValue("MediaBox", store_->NewRealArray({0, 0, width, height}));
  selectedPage_->SetValue("CropBox", store_->NewRealArray({0, 0, width, height}));
}

void TPDFPageTree::SetPageWidth(double width) {
  if (selectedPage_ == nullptr) return;
  const double height = PageHeight();
  widthCache_ = width;
  widthCached_ = true;
  WriteBoxes(width, height);
}

void TPDFPageTree::SetPageHeight(double height) {
  if (selectedPage_ == nullptr) return;
  const double width = PageWidth();
  heightCache_ = height;
  heightCached_ = true;
  WriteBoxes(width, height);
}

TPDFDictionary* TPDFPageTree::NewPage(TPDFIndRef* parent, double width, double height) {
  TPDFDictionary* page = store_->NewDictionary();
  page->SetValue("Type", store_->SharedName("Page"));
  if (parent != nullptr) page->SetValue("Parent", parent);
  page->SetValue("MediaBox", store_->NewRealArray({0, 0, width, height}));
  page->SetValue("CropBox", store_->NewRealArray({0, 0, width, height}));
  page->SetValue("Rotate", store_->NewNumber(0));
  page->SetValue("Resources", store_->ParseObject(kNewPageResources).object);
  return page;
}

void TPDFPageTree::AddToCounts(TPDFDictionary* node, int32_t count) {
  std::vector<const TPDFDictionary*> visited;
  while (node != nullptr && visited.size() <= static_cast<size_t>(kMaxTreeDepth) &&
         std::find(visited.begin(), visited.end(), node) == visited.end()) {
    visited.push_back(node);
    if (auto* number = As<TPDFNumeric>(node->GetValue("Count", true))) number->SetValue(number->Value() + count);
    node = As<TPDFDictionary>(node->GetValue("Parent", true));
  }
}

void TPDFPageTree::InsertPages(int32_t position, int32_t count, double width, double height) {
  if (root_ == nullptr) return;
  const int32_t pages = PageCount();

  TPDFArray* kids = nullptr;
  TPDFDictionary* holding = root_;
  int32_t index = 0;
  if (position == 1 || position == pages + 1) {
    kids = As<TPDFArray>(root_->GetValue("Kids", true));
    if (kids != nullptr && position == pages + 1) index = kids->Count();
  } else if (position > 1 && position <= pages) {
    const PageLocation before = LocatePage(position - 1, pages);
    if (before.page != nullptr) {
      kids = before.kids;
      auto* parent = As<TPDFDictionary>(before.page->GetValue("Parent", true));
      holding = parent != nullptr ? parent : before.node;
      index = before.index + 1;
    }
  }

  // Without registration the new pages could not be referred to; a count below 1 would
  // take pages away from the node counts without removing any.
  if (kids != nullptr && count > 0 && store_->OnRegister) {
    // At least doubling, so that many small insertions do not copy Kids every time.
    kids->ReserveSlots(std::max(count, kids->Count()));
    pageCache_.insert(pageCache_.begin() + (position - 1), static_cast<size_t>(count), nullptr);
    AddToCounts(holding, count);
    store_->ReserveSlots(static_cast<int32_t>(
        std::min<int64_t>(kSlotsPerNewPage * count, std::numeric_limits<int32_t>::max())));

    TPDFIndRef* parent = holding->IsIndirect()
                             ? store_->NewReference(holding->IndirectNumber(), holding->IndirectGeneration())
                             : nullptr;
    for (int32_t k = 0; k < count; ++k) {
      TPDFDictionary* page = NewPage(parent, width, height);
      pageCache_[static_cast<size_t>(position - 1 + k)] = page;
      kids->Insert(index++, Register(page));
      page->SetValue("Contents", store_->NewArrayOf({Register(NewMarkedStream())}));
    }
    // Counts that did not reach the root leave page numbers unknown: look them up afresh.
    if (PageCount() != pages + count) std::fill(pageCache_.begin(), pageCache_.end(), nullptr);
  }
  SelectPage(position);
}

TPDFDictionary* TPDFPageTree::PageResources() {
  if (selectedPage_ == nullptr) return nullptr;
  TPDFObject* resources = selectedPage_->GetValue("Resources");
  if (resources == nullptr) {
    // Inherited: entries made later go into the node's dictionary, shared by its pages.
    FindPage(selectedPageNumber_);
    if (holdingNode_ != nullptr) resources = holdingNode_->GetValue("Resources");
  }
  if (resources == nullptr) {
    TPDFDictionary* fresh = store_->NewDictionary();
    selectedPage_->SetValue("Resources", fresh);
    return fresh;
  }
  auto* dictionary = As<TPDFDictionary>(Follow(resources));
  if (dictionary == nullptr) {
    selectedPage_->Unlink("Resources");
    dictionary = store_->NewDictionary();
    selectedPage_->SetValue("Resources", dictionary);
  }
  return dictionary;
}

namespace {
// The object number and generation a resource value stands for, when it has them.
bool IndirectIdentity(const TPDFObject* value, int32_t& number, int32_t& generation) {
  if (const auto* reference = As<TPDFIndRef>(value)) {
    number = reference->ObjectNumber();
    generation = reference->Generation();
    return true;
  }
  if (value != nullptr && value->IsIndirect()) {
    number = value->IndirectNumber();
    generation = value->IndirectGeneration();
    return true;
  }
  return false;
}
}  // namespace

void TPDFPageTree::EnterResource(std::string_view category, const Bytes& name, TPDFObject* value) {
  if (value == nullptr) return;
  TPDFDictionary* resources = PageResources();
  if (resources == nullptr) return;

  TPDFObject* entry = resources->GetValue(category);
  auto* group = As<TPDFDictionary>(Follow(entry));
  if (group == nullptr) {
    if (entry != nullptr) resources->Unlink(category);
    group = store_->NewDictionary();
    resources->SetValue(category, group);
  }

  TPDFObject* present = group->GetValue(name);
  if (present == nullptr) {
    group->SetValue(name, value);
    return;
  }
  const auto* presentReference = As<TPDFIndRef>(present);
  int32_t number = 0, generation = 0;
  if (presentReference == nullptr || !IndirectIdentity(value, number, generation)) return;
  if (presentReference->ObjectNumber() != number || presentReference->Generation() != generation) {
    group->Unlink(name);
    group->SetValue(name, value);
  }
}

void TPDFPageTree::AddXObjectResource(const TPDFImage& image) { AddXObjectResource(image, 0); }

void TPDFPageTree::AddXObjectResource(const TPDFImage& image, int depth) {
  if (depth > kMaxTreeDepth) return;
  for (const TPDFFont* font : image.Fonts())
    if (font != nullptr) AddFontResource(*font);
  for (const TPDFImage* contained : image.ContainedImages())
    if (contained != nullptr) AddXObjectResource(*contained, depth + 1);
  for (const TPDFNamedResource& state : image.GraphicsStates()) EnterResource("ExtGState", state.Name, state.Value);
  for (const TPDFNamedResource& pattern : image.Patterns()) EnterResource("Pattern", pattern.Name, pattern.Value);
  EnterResource("XObject", image.ResourceName(), image.Reference());
}

void TPDFPageTree::AddFontResource(const TPDFFont& font) {
  EnterResource("Font", font.ResourceName(), font.Reference());
}

void TPDFPageTree::FlushContent() {
  if (!contentStreams_.empty()) contentStreams_.back()->SetData(painter_->GetContent(), false);
}

void TPDFPageTree::AddLinkAnnotation(std::string_view address, int32_t options, double x, double y, double w,
                                     double h) {
  if (selectedPage_ == nullptr || store_ == nullptr || !store_->OnRegister) return;
  auto* annots = As<TPDFArray>(Follow(selectedPage_->GetValue("Annots")));
  if (annots == nullptr) {
    selectedPage_->DeleteKey("Annots");
    annots = store_->NewArray();
    selectedPage_->SetValue("Annots", annots);
    annots_->SetArray(annots);
  }

  TPDFDictionary* action = store_->NewDictionary();
  action->SetValue("Type", store_->SharedName("Action"));
  action->SetValue("S", store_->SharedName("URI"));
  action->SetValue("URI", store_->NewString(Bytes(address), TextMode::Literal));

  TPDFDictionary* link = store_->NewDictionary();
  link->SetValue("Type", store_->SharedName("Annot"));
  link->SetValue("Subtype", store_->SharedName("Link"));
  // The corners as given: an origin at the top makes the second corner the lower one.
  link->SetValue("Rect", store_->NewRealArray({x, y, x + w, y - h}));
  link->SetValue("Border", store_->NewIntegerArray({0, 0, (options & 1) != 0 ? 1 : 0}));
  link->SetValue("A", action);
  annots->Append(Register(link));
}

}  // namespace pdf
