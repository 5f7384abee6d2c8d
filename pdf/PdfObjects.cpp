#include "pdf/PdfObjects.h"

#include <algorithm>

#include "pdf/PdfStructure.h"
#include "pdf/PdfText.h"
#include "pdf/StreamFilters.h"

namespace pdf {

Bytes TPDFObject::ToText() const {
  Bytes out;
  AppendText(out, 0);
  return out;
}

void TPDFObject::Dispose() { owner_->ReleaseObject(this); }

void TPDFObject::MarkIndirect(int32_t number, int32_t generation) {
  isIndirect_ = true;
  indirectNumber_ = number;
  indirectGeneration_ = generation;
}

void TPDFObject::CheckDepth(int depth) {
  if (depth > kMaxTextDepth) throw EPDFError("objects nested too deeply");
}

void TPDFObject::Hold(TPDFObject* child) {
  if (child != nullptr) ++child->holders_;
}

void TPDFObject::Unhold(TPDFObject* child) {
  if (child != nullptr && child->holders_ > 0) --child->holders_;
}

TPDFObject* Follow(TPDFObject* object) {
  if (auto* reference = As<TPDFIndRef>(object)) return reference->Resolve();
  return object;
}

// ---- scalars

void TPDFNull::AppendText(Bytes& out, int) const { out += "null"; }

void TPDFBoolean::AppendText(Bytes& out, int) const { out += value_ ? "true" : "false"; }

void TPDFNumeric::AppendText(Bytes& out, int) const { out += FormatNumber(value_, Owner()->Precision()); }

int32_t TPDFNumeric::AsInteger() const { return RoundHalfEven(value_); }

void TPDFName::AppendText(Bytes& out, int) const { AppendName(out, value_); }

void TPDFName::SetValue(Bytes value) {
  Owner()->UnindexName(this);
  value_ = std::move(value);
  Owner()->IndexName(this);
}

void TPDFString::AppendText(Bytes& out, int) const {
  if (mode_ == TextMode::Hexadecimal)
    AppendHexString(out, value_);
  else
    AppendLiteralString(out, value_);
}

void TPDFIndRef::AppendText(Bytes& out, int) const {
  out += std::to_string(number_);
  out += ' ';
  out += std::to_string(generation_);
  out += " R";
}

void TPDFIndRef::ShiftNumbers(int32_t delta) { number_ += delta; }

TPDFObject* TPDFIndRef::Resolve() const {
  if (!Owner()->OnResolve) return nullptr;
  return Owner()->OnResolve(*this, number_, generation_);
}

// ---- arrays

void TPDFArray::AppendText(Bytes& out, int depth) const {
  CheckDepth(depth);
  out += "[ ";
  // Long arrays are broken into lines of a little over 80 characters.
  size_t lineStart = out.size() - 2;
  for (const TPDFObject* item : items_) {
    if (item != nullptr) item->AppendText(out, depth + 1);
    if (out.back() != '\n') out += ' ';
    if (out.size() - lineStart > 80) {
      out += '\n';
      lineStart = out.size();
    }
  }
  out += ']';
}

void TPDFArray::Dispose() {
  for (TPDFObject* item : items_)
    if (item != nullptr) Owner()->ReleaseObject(item);
  Owner()->ReleaseObject(this);
}

void TPDFArray::ShiftNumbers(int32_t delta) {
  for (TPDFObject* item : items_)
    if (item != nullptr) item->ShiftNumbers(delta);
}

bool TPDFArray::Contains(const TPDFObject* object) const {
  return std::find(items_.begin(), items_.end(), object) != items_.end();
}

TPDFObject* TPDFArray::ItemAt(int32_t position) const {
  if (position < 0 || position >= Count()) return nullptr;
  return items_[static_cast<size_t>(position)];
}

void TPDFArray::Append(TPDFObject* object) {
  items_.push_back(object);
  Hold(object);
}

void TPDFArray::Insert(int32_t position, TPDFObject* object) {
  if (position < 0 || position > Count()) return;
  items_.insert(items_.begin() + position, object);
  Hold(object);
}

void TPDFArray::Replace(int32_t position, TPDFObject* object) {
  if (position < 0 || position >= Count()) return;
  TPDFObject*& slot = items_[static_cast<size_t>(position)];
  if (slot != nullptr) Owner()->ReleaseObject(slot);  // still held here, so it stays
  Unhold(slot);
  slot = object;
  Hold(object);
}

void TPDFArray::ReserveSlots(int32_t count) {
  if (count > 0) items_.reserve(items_.size() + static_cast<size_t>(count));
}

void TPDFArray::DropHolds() {
  for (TPDFObject* item : items_) Unhold(item);
}

// ---- dictionaries

void TPDFDictionary::AppendText(Bytes& out, int depth) const {
  CheckDepth(depth);
  out += "<<\n";
  for (const Entry& entry : entries_) {
    const size_t entryStart = out.size();
    try {
      if (entry.key != nullptr) entry.key->AppendText(out, depth + 1);
      out += ' ';
      if (entry.value != nullptr) entry.value->AppendText(out, depth + 1);
    } catch (const std::exception&) {
      out.resize(entryStart);
      out += "% bug \n";
    }
    if (out.back() != '\n') out += '\n';
  }
  out += ">>\n";
}

void TPDFDictionary::Dispose() {
  for (const Entry& entry : entries_) {
    if (entry.key != nullptr) entry.key->Dispose();
    if (entry.value != nullptr) entry.value->Dispose();
  }
  Owner()->ReleaseObject(this);
}

void TPDFDictionary::ShiftNumbers(int32_t delta) {
  for (const Entry& entry : entries_)
    if (entry.value != nullptr) entry.value->ShiftNumbers(delta);
}

bool TPDFDictionary::Contains(const TPDFObject* object) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [object](const Entry& e) { return e.key == object || e.value == object; });
}

TPDFDictionary::Entry TPDFDictionary::EntryAt(int32_t position) const {
  if (position < 0 || position >= Count()) return {nullptr, nullptr};
  return entries_[static_cast<size_t>(position)];
}

int32_t TPDFDictionary::IndexOf(std::string_view key) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].key != nullptr && entries_[i].key->Value() == key) return static_cast<int32_t>(i);
  return -1;
}

TPDFObject* TPDFDictionary::GetValue(std::string_view key, bool resolve) const {
  const int32_t index = IndexOf(key);
  if (index < 0) return nullptr;
  TPDFObject* value = entries_[static_cast<size_t>(index)].value;
  return resolve ? Follow(value) : value;
}

void TPDFDictionary::SetValue(std::string_view key, TPDFObject* value) {
  if (value == this) return;
  SetEntry(Owner()->SharedName(key), value);
}

void TPDFDictionary::SetEntry(TPDFName* key, TPDFObject* value) {
  if (key == nullptr) return;
  Hold(key);
  Hold(value);
  const int32_t index = IndexOf(key->Value());
  if (index >= 0) {
    Entry& entry = entries_[static_cast<size_t>(index)];
    Unhold(entry.key);
    Unhold(entry.value);
    entry = {key, value};
  } else {
    entries_.push_back({key, value});
  }
}

void TPDFDictionary::Unlink(std::string_view key) {
  const int32_t index = IndexOf(key);
  if (index < 0) return;
  Entry entry = entries_[static_cast<size_t>(index)];
  entries_.erase(entries_.begin() + index);
  Unhold(entry.key);
  Unhold(entry.value);
}

void TPDFDictionary::DeleteKey(std::string_view key) {
  const int32_t index = IndexOf(key);
  if (index < 0) return;
  // Both offers are made while the entry still holds the objects, so neither is freed here.
  Entry entry = entries_[static_cast<size_t>(index)];
  if (entry.value != nullptr &&
      (entry.value->Kind() == ObjectKind::Dictionary || entry.value->Kind() == ObjectKind::Array))
    entry.value->Dispose();
  if (!IsCommonName(entry.key->Value())) Owner()->ReleaseObject(entry.key);
  Unlink(key);
}

Bytes TPDFDictionary::TypeName() const {
  const auto* name = As<TPDFName>(GetValue("Type"));
  return name != nullptr ? name->Value() : Bytes();
}

int32_t TPDFDictionary::GetInteger(std::string_view key, int32_t defaultValue) const {
  const auto* number = As<TPDFNumeric>(GetValue(key, true));
  return number != nullptr ? number->AsInteger() : defaultValue;
}

void TPDFDictionary::Assign(const TPDFDictionary& other) {
  if (&other == this) return;
  const TPDFDictionary* source = &other;
  if (other.Owner() != Owner()) {
    source = As<TPDFDictionary>(Owner()->ParseObject(other.ToText()).object);
    if (source == nullptr) return;
  }
  const std::vector<Entry> taken = source->entries_;
  DropHolds();
  entries_.clear();
  for (const Entry& entry : taken) {
    if (entry.value == this) continue;  // a dictionary never holds itself
    Hold(entry.key);
    Hold(entry.value);
    entries_.push_back(entry);
  }
}

void TPDFDictionary::DropHolds() {
  for (const Entry& entry : entries_) {
    Unhold(entry.key);
    Unhold(entry.value);
  }
}

// ---- streams

TPDFStream::TPDFStream(TPDFStructure* owner, TPDFDictionary* dictionary)
    : TPDFObject(owner), dictionary_(dictionary) {
  // The stream keeps its dictionary alive: it goes only when the stream goes.
  Hold(dictionary_);
}

void TPDFStream::AppendText(Bytes& out, int depth) const {
  CheckDepth(depth);
  dictionary_->AppendText(out, depth + 1);
  out += "stream\n";
  out += data_;
  out += "\nendstream";
}

void TPDFStream::Dispose() {
  for (int32_t i = 0; i < dictionary_->Count(); ++i) {
    auto [key, value] = dictionary_->EntryAt(i);
    if (key != nullptr) key->Dispose();
    if (value != nullptr) value->Dispose();
  }
  Owner()->ReleaseObject(this);
}

void TPDFStream::ShiftNumbers(int32_t delta) { dictionary_->ShiftNumbers(delta); }

bool TPDFStream::Contains(const TPDFObject* object) const { return dictionary_->Contains(object); }

void TPDFStream::SetRawData(Bytes bytes) {
  data_ = std::move(bytes);
  const double length = static_cast<double>(data_.size());
  if (auto* number = As<TPDFNumeric>(dictionary_->GetValue("Length")))
    number->SetValue(length);
  else
    dictionary_->SetValue("Length", Owner()->NewNumber(length));
}

void TPDFStream::SetData(const Bytes& bytes, bool compress) {
  if (compress) {
    SetRawData(Deflate(bytes));
    dictionary_->DeleteKey("Filter");
    dictionary_->SetValue("Filter", Owner()->NewName("FlateDecode"));
  } else {
    SetRawData(bytes);
    dictionary_->DeleteKey("Filter");
  }
}

Bytes TPDFStream::DecodedData() const {
  std::vector<Bytes> filters;
  TPDFObject* filter = dictionary_->GetValue("Filter", true);
  if (auto* name = As<TPDFName>(filter)) {
    filters.push_back(name->Value());
  } else if (auto* list = As<TPDFArray>(filter)) {
    for (TPDFObject* item : list->Items())
      if (auto* itemName = As<TPDFName>(Follow(item))) filters.push_back(itemName->Value());
  }
  if (filters.empty()) return data_;

  std::vector<const TPDFDictionary*> parameters(filters.size(), nullptr);
  TPDFObject* parms = dictionary_->GetValue("DecodeParms", true);
  if (auto* single = As<TPDFDictionary>(parms)) {
    parameters[0] = single;
  } else if (auto* perFilter = As<TPDFArray>(parms)) {
    for (size_t i = 0; i < filters.size(); ++i)
      parameters[i] = As<TPDFDictionary>(Follow(perFilter->ItemAt(static_cast<int32_t>(i))));
  }

  Bytes data = data_;
  for (size_t i = 0; i < filters.size(); ++i) {
    PredictorParams predictor;
    int earlyChange = 1;
    if (const TPDFDictionary* p = parameters[i]) {
      predictor.predictor = p->GetInteger("Predictor", 1);
      predictor.colors = p->GetInteger("Colors", 1);
      predictor.bitsPerComponent = p->GetInteger("BitsPerComponent", 8);
      predictor.columns = p->GetInteger("Columns", 1);
      earlyChange = p->GetInteger("EarlyChange", 1);
    }
    const Bytes& f = filters[i];
    if (f == "FlateDecode" || f == "Fl")
      data = UndoPredictor(Inflate(data), predictor);
    else if (f == "ASCII85Decode" || f == "A85")
      data = DecodeAscii85(data);
    else if (f == "ASCIIHexDecode")
      data = DecodeAsciiHex(data);
    else if (f == "LZWDecode")
      data = UndoPredictor(DecodeLzw(data, earlyChange), predictor);
  }
  return data;
}

void TPDFStream::DropHolds() { Unhold(dictionary_); }

}  // namespace pdf
