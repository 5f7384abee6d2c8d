// The in-memory form of PDF objects and their exact text form in the output file.
//
// Every object belongs to one TPDFStructure (see PdfStructure.h), which makes it, lists it
// and frees it. Containers hold plain pointers and never free what they hold, so one object
// may sit in several containers at once.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pdf {

// PDF byte strings: std::string is used as a plain byte container throughout the writer.
using Bytes = std::string;

class TPDFStructure;

enum class ObjectKind { Null, Boolean, Numeric, Name, String, Array, Dictionary, Stream, IndRef };

// Raised inside the writer only; the public operations turn it into false, none or TPDFNull.
class EPDFError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TPDFObject {
 public:
  TPDFObject(const TPDFObject&) = delete;
  TPDFObject& operator=(const TPDFObject&) = delete;
  virtual ~TPDFObject() = default;

  virtual ObjectKind Kind() const = 0;

  // The object's whole PDF text, children included.
  Bytes ToText() const;
  // Appends the text to `out`; `depth` guards against containers that hold themselves.
  virtual void AppendText(Bytes& out, int depth) const = 0;

  // Asks the owner to release this object (and, for containers, first their children).
  virtual void Dispose();
  // Adds `delta` to every reference number inside this object.
  virtual void ShiftNumbers(int32_t /*delta*/) {}
  // True when `object` is (by identity) held directly by this container.
  virtual bool Contains(const TPDFObject* /*object*/) const { return false; }

  TPDFStructure* Owner() const { return owner_; }
  bool IsIndirect() const { return isIndirect_; }
  int32_t IndirectNumber() const { return indirectNumber_; }
  int32_t IndirectGeneration() const { return indirectGeneration_; }
  void MarkIndirect(int32_t number, int32_t generation);

 protected:
  explicit TPDFObject(TPDFStructure* owner) : owner_(owner) {}
  static constexpr int kMaxTextDepth = 1000;
  static void CheckDepth(int depth);

  // Containers report what they take and let go of, so the owner knows what is still held.
  void Hold(TPDFObject* child);
  void Unhold(TPDFObject* child);

 private:
  friend class TPDFStructure;
  // Called when the owner frees this container while its children live on.
  virtual void DropHolds() {}

  TPDFStructure* owner_;
  bool isIndirect_ = false;
  int32_t indirectNumber_ = 0;
  int32_t indirectGeneration_ = 0;
  uint32_t holders_ = 0;  // container slots (of live containers) that hold this object
  uint64_t serial_ = 0;   // creation order within the owner
  size_t slot_ = 0;       // position in the owner's object list
};

class TPDFNull final : public TPDFObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Null;
  explicit TPDFNull(TPDFStructure* owner) : TPDFObject(owner) {}
  ObjectKind Kind() const override { return kKind; }
  void AppendText(Bytes& out, int depth) const override;
};

class TPDFBoolean final : public TPDFObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Boolean;
  TPDFBoolean(TPDFStructure* owner, bool value) : TPDFObject(owner), value_(value) {}
  ObjectKind Kind() const override { return kKind; }
  void AppendText(Bytes& out, int depth) const override;
  bool Value() const { return value_; }
  void SetValue(bool value) { value_ = value; }

 private:
  bool value_;
};

class TPDFNumeric final : public TPDFObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Numeric;
  TPDFNumeric(TPDFStructure* owner, double value) : TPDFObject(owner), value_(value) {}
  ObjectKind Kind() const override { return kKind; }
  void AppendText(Bytes& out, int depth) const override;
  double Value() const { return value_; }
  void SetValue(double value) { value_ = value; }
  // Nearest integer, halves to the even neighbour; clamped to the 32-bit range.
  int32_t AsInteger() const;

 private:
  double value_;
};

class TPDFName final : public TPDFObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Name;
  TPDFName(TPDFStructure* owner, Bytes value) : TPDFObject(owner), value_(std::move(value)) {}
  ObjectKind Kind() const override { return kKind; }
  void AppendText(Bytes& out, int depth) const override;
  const Bytes& Value() const { return value_; }
  void SetValue(Bytes value);
  bool Shared() const { return shared_; }

 private:
  friend class TPDFStructure;
  Bytes value_;
  bool shared_ = false;
};

enum class TextMode : uint8_t { Literal = 0, Hexadecimal = 1 };

class TPDFString final : public TPDFObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::String;
  TPDFString(TPDFStructure* owner, Bytes value, TextMode mode)
      : TPDFObject(owner), value_(std::move(value)), mode_(mode) {}
  ObjectKind Kind() const override { return kKind; }
  void AppendText(Bytes& out, int depth) const override;
  const Bytes& Value() const { return value_; }
  void SetValue(Bytes value) { value_ = std::move(value); }
  TextMode Mode() const { return mode_; }
  void SetMode(TextMode mode) { mode_ = mode; }

 private:
  Bytes value_;
  TextMode mode_;
};

class TPDFArray final : public TPDFObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Array;
  explicit TPDFArray(TPDFStructure* owner) : TPDFObject(owner) {}
  ObjectKind Kind() const override { return kKind; }
  void AppendText(Bytes& out, int depth) const override;
  void Dispose() override;
  void ShiftNumbers(int32_t delta) override;
  bool Contains(const TPDFObject* object) const override;

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  TPDFObject* ItemAt(int32_t position) const;
  void Append(TPDFObject* object);
  // Positions 0..Count are valid; any other does nothing.
  void Insert(int32_t position, TPDFObject* object);
  void Replace(int32_t position, TPDFObject* object);
  void ReserveSlots(int32_t count);
  const std::vector<TPDFObject*>& Items() const { return items_; }

 private:
  void DropHolds() override;
  std::vector<TPDFObject*> items_;
};

class TPDFDictionary final : public TPDFObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Dictionary;
  explicit TPDFDictionary(TPDFStructure* owner) : TPDFObject(owner) {}
  ObjectKind Kind() const override { return kKind; }
  void AppendText(Bytes& out, int depth) const override;
  void Dispose() override;
  void ShiftNumbers(int32_t delta) override;
  bool Contains(const TPDFObject* object) const override;

  struct Entry {
    TPDFName* key;
    TPDFObject* value;
  };

  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  // Key and value at a position, or none and none outside 0..Count-1.
  Entry EntryAt(int32_t position) const;
  int32_t IndexOf(std::string_view key) const;
  TPDFObject* GetValue(std::string_view key, bool resolve = false) const;
  void SetValue(std::string_view key, TPDFObject* value);
  void SetEntry(TPDFName* key, TPDFObject* value);
  void Unlink(std::string_view key);
  void DeleteKey(std::string_view key);
  Bytes TypeName() const;
  int32_t GetInteger(std::string_view key, int32_t defaultValue) const;
  void Assign(const TPDFDictionary& other);

 private:
  void DropHolds() override;
  std::vector<Entry> entries_;
};

class TPDFStream final : public TPDFObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::Stream;
  ObjectKind Kind() const override { return kKind; }
  void AppendText(Bytes& out, int depth) const override;
  void Dispose() override;
  void ShiftNumbers(int32_t delta) override;
  bool Contains(const TPDFObject* object) const override;

  TPDFDictionary* Dictionary() const { return dictionary_; }
  const Bytes& Data() const { return data_; }
  void SetRawData(Bytes bytes);
  void SetData(const Bytes& bytes, bool compress);
  Bytes DecodedData() const;

 private:
  friend class TPDFStructure;
  TPDFStream(TPDFStructure* owner, TPDFDictionary* dictionary);
  void DropHolds() override;
  TPDFDictionary* dictionary_;
  Bytes data_;
};

class TPDFIndRef final : public TPDFObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::IndRef;
  TPDFIndRef(TPDFStructure* owner, int32_t number, int32_t generation)
      : TPDFObject(owner), number_(number), generation_(generation) {}
  ObjectKind Kind() const override { return kKind; }
  void AppendText(Bytes& out, int depth) const override;
  void ShiftNumbers(int32_t delta) override;

  int32_t ObjectNumber() const { return number_; }
  int32_t Generation() const { return generation_; }
  void SetObjectNumber(int32_t number) { number_ = number; }
  void SetGeneration(int32_t generation) { generation_ = generation; }
  // The object the reference stands for, or none when the owner cannot resolve it.
  TPDFObject* Resolve() const;

 private:
  int32_t number_;
  int32_t generation_;
};

// Checked downcast by kind: the object as T, or nullptr when it is none or of another kind.
template <class T>
T* As(TPDFObject* object) {
  return object != nullptr && object->Kind() == T::kKind ? static_cast<T*>(object) : nullptr;
}
template <class T>
const T* As(const TPDFObject* object) {
  return object != nullptr && object->Kind() == T::kKind ? static_cast<const T*>(object) : nullptr;
}

// Follows a reference: the object it stands for, or the object itself when it is no reference.
TPDFObject* Follow(TPDFObject* object);

}  // namespace pdf
