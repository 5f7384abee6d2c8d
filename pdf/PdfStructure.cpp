#include "pdf/PdfStructure.h"

#include <algorithm>
#include <unordered_map>

namespace pdf {

namespace {
// The common names with their positions in kCommonNames, looked up by exact text. A text with
// a bracket in it can only span several entries of the bracketed list, so it is no member.
const std::unordered_map<std::string_view, int>& CommonNameTable() {
  static const auto table = [] {
    std::unordered_map<std::string_view, int> names;
    int index = 0;
    for (size_t pos = 0; pos < kCommonNames.size(); ++index) {
      const size_t close = kCommonNames.find(']', pos);
      names.emplace(kCommonNames.substr(pos + 1, close - pos - 1), index);
      pos = close + 1;
    }
    return names;
  }();
  return table;
}
}  // namespace

bool IsCommonName(std::string_view text) { return TPDFStructure::CommonNameIndex(text) >= 0; }

int TPDFStructure::CommonNameIndex(std::string_view text) {
  const auto& table = CommonNameTable();
  const auto it = table.find(text);
  return it == table.end() ? -1 : it->second;
}

TPDFStructure::TPDFStructure() = default;

// Objects are destroyed before the arena that holds their memory (member order), and no
// container frees or touches its children on destruction, so the order among them is free.
TPDFStructure::~TPDFStructure() = default;

template <class T, class... Args>
T* TPDFStructure::Make(Args&&... args) {
  void* memory = arena_.allocate(sizeof(T), alignof(T));
  T* raw = ::new (memory) T(this, std::forward<Args>(args)...);
  Enter(ObjectPtr(raw));
  return raw;
}

void TPDFStructure::Enter(ObjectPtr object) {
  // At least a thousand spare slots at a time so that most objects cost no allocation of the
  // list; growth is also geometric, since a fixed step would copy the whole list every
  // thousand objects and make large documents quadratic.
  if (objects_.capacity() - objects_.size() < 100)
    objects_.reserve(std::max(objects_.size() + 1000, objects_.size() * 2));
  object->serial_ = nextSerial_++;
  object->slot_ = objects_.size();
  if (auto* name = As<TPDFName>(object.get())) IndexName(name);
  objects_.push_back(std::move(object));
  ++liveCount_;
}

TPDFDictionary* TPDFStructure::NewDictionary() { return Make<TPDFDictionary>(); }
TPDFArray* TPDFStructure::NewArray() { return Make<TPDFArray>(); }

TPDFArray* TPDFStructure::NewArrayOf(std::initializer_list<TPDFObject*> objects) {
  TPDFArray* array = NewArray();
  array->ReserveSlots(static_cast<int32_t>(objects.size()));
  for (TPDFObject* object : objects) array->Append(object);
  return array;
}

TPDFArray* TPDFStructure::NewIntegerArray(std::initializer_list<int32_t> values) {
  TPDFArray* array = NewArray();
  array->ReserveSlots(static_cast<int32_t>(values.size()));
  for (int32_t value : values) array->Append(NewNumber(value));
  return array;
}

TPDFArray* TPDFStructure::NewRealArray(std::initializer_list<double> values) {
  TPDFArray* array = NewArray();
  array->ReserveSlots(static_cast<int32_t>(values.size()));
  for (double value : values) array->Append(NewNumber(value));
  return array;
}

TPDFName* TPDFStructure::NewName(Bytes text) { return Make<TPDFName>(std::move(text)); }

TPDFName* TPDFStructure::SharedName(std::string_view text) {
  // The oldest live name object with a common text serves every owner's dictionary; the
  // index holds exactly the names a walk from the oldest object would meet first.
  TPDFName* name = nullptr;
  const int common = CommonNameIndex(text);
  if (common >= 0 && !commonNameIndex_[static_cast<size_t>(common)].empty())
    name = commonNameIndex_[static_cast<size_t>(common)].begin()->second;
  if (name == nullptr) name = NewName(Bytes(text));
  name->shared_ = true;
  return name;
}

TPDFBoolean* TPDFStructure::NewBoolean(bool value) { return Make<TPDFBoolean>(value); }
TPDFNumeric* TPDFStructure::NewNumber(double value) { return Make<TPDFNumeric>(value); }
TPDFString* TPDFStructure::NewString(Bytes bytes, TextMode mode) { return Make<TPDFString>(std::move(bytes), mode); }
TPDFNull* TPDFStructure::NewNull() { return Make<TPDFNull>(); }
TPDFIndRef* TPDFStructure::NewReference(int32_t number, int32_t generation) {
  return Make<TPDFIndRef>(number, generation);
}

TPDFStream* TPDFStructure::NewStream(const Bytes& bytes, bool compress) {
  TPDFDictionary* dictionary = NewDictionary();
  TPDFStream* stream = Make<TPDFStream>(dictionary);
  stream->SetData(bytes, compress);
  return stream;
}

bool TPDFStructure::IsLive(const TPDFObject* object) const {
  return object != nullptr && object->owner_ == this && object->slot_ < objects_.size() &&
         objects_[object->slot_].get() == object;
}

void TPDFStructure::ReleaseObject(TPDFObject* object) {
  if (!IsLive(object)) return;
  if (auto* name = As<TPDFName>(object); name != nullptr && name->shared_) return;
  // A count of holding container slots stands in for asking every live object whether it
  // contains this one: the answer is the same and costs nothing per live object.
  if (object->holders_ > 0) return;
  // An object in the document's object table is held by it: freeing it would leave the table
  // pointing at nothing.
  if (object->IsIndirect()) return;
  Free(object);
}

void TPDFStructure::Free(TPDFObject* object) {
  TPDFDictionary* streamDictionary = nullptr;
  if (auto* stream = As<TPDFStream>(object)) streamDictionary = stream->Dictionary();
  object->DropHolds();
  if (auto* name = As<TPDFName>(object)) UnindexName(name);
  objects_[object->slot_].reset();
  --liveCount_;
  // The stream's dictionary goes with its stream, unless something else still holds it.
  if (streamDictionary != nullptr && IsLive(streamDictionary) && streamDictionary->holders_ == 0 &&
      !streamDictionary->IsIndirect())
    Free(streamDictionary);
  CompactIfSparse();
}

void TPDFStructure::CompactIfSparse() {
  const size_t freed = objects_.size() - liveCount_;
  if (freed < 64 || freed * 2 < objects_.size()) return;
  size_t next = 0;
  for (auto& object : objects_) {
    if (!object) continue;
    object->slot_ = next;
    objects_[next++] = std::move(object);
  }
  objects_.resize(next);
}

void TPDFStructure::ClearStructure() {
  for (auto& index : commonNameIndex_) index.clear();
  objects_.clear();
  liveCount_ = 0;
  precision_ = 4;
  arena_.release();
}

void TPDFStructure::ReserveSlots(int32_t count) {
  if (count <= 0) return;
  const size_t spare = objects_.capacity() - objects_.size();
  if (spare < static_cast<size_t>(count)) objects_.reserve(objects_.size() + static_cast<size_t>(count));
}

std::vector<TPDFObject*> TPDFStructure::LiveObjects() const {
  std::vector<TPDFObject*> live;
  live.reserve(liveCount_);
  for (const auto& object : objects_)
    if (object) live.push_back(object.get());
  return live;
}

void TPDFStructure::IndexName(TPDFName* name) {
  const int common = CommonNameIndex(name->value_);
  if (common >= 0) commonNameIndex_[static_cast<size_t>(common)].emplace(name->serial_, name);
}

void TPDFStructure::UnindexName(TPDFName* name) {
  const int common = CommonNameIndex(name->value_);
  if (common >= 0) commonNameIndex_[static_cast<size_t>(common)].erase(name->serial_);
}

}  // namespace pdf
