// TPDFStructure: the arena that makes, lists and frees every PDF object of one document.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <memory_resource>
#include <string_view>
#include <utility>
#include <vector>

#include "pdf/PdfObjects.h"

namespace pdf {

// Names whose objects are shared inside one owner, kept as one bracketed text.
inline constexpr std::string_view kCommonNames =
    "[MediaBox][Length][CropBox][Type][Subtype][Name][Pages][Page][Parent][Font][Contents]"
    "[BaseFont][PDF][Text][ImageB][ImageC][ImageI][Resources][ProcSet][ExtGState][Type1]"
    "[TrueType][WinAnsiEncoding][Filter][FlateDecode][Annot][URI][Goto][XYZ][Vmkr][Vellum]";
bool IsCommonName(std::string_view text);

struct ParseResult {
  TPDFObject* object;  // never null: a TPDFNull when nothing could be parsed
  size_t consumed;     // characters consumed, leading white space and comments included
};

class TPDFStructure {
 public:
  using ResolveHook = std::function<TPDFObject*(const TPDFIndRef&, int32_t number, int32_t generation)>;
  using RegisterHook = std::function<std::pair<int32_t, int32_t>(TPDFObject* asker, TPDFObject* object)>;

  TPDFStructure();
  ~TPDFStructure();
  TPDFStructure(const TPDFStructure&) = delete;
  TPDFStructure& operator=(const TPDFStructure&) = delete;

  TPDFDictionary* NewDictionary();
  TPDFArray* NewArray();
  TPDFArray* NewArrayOf(std::initializer_list<TPDFObject*> objects);
  TPDFArray* NewIntegerArray(std::initializer_list<int32_t> values);
  TPDFArray* NewRealArray(std::initializer_list<double> values);
  TPDFName* NewName(Bytes text);
  TPDFName* SharedName(std::string_view text);
  TPDFBoolean* NewBoolean(bool value);
  TPDFNumeric* NewNumber(double value);
  TPDFString* NewString(Bytes bytes, TextMode mode);
  TPDFStream* NewStream(const Bytes& bytes, bool compress);
  TPDFNull* NewNull();
  TPDFIndRef* NewReference(int32_t number, int32_t generation);

  ParseResult ParseObject(std::string_view text);

  // Frees the object when it belongs here and nothing still holds it. `object` must be a live
  // object (of this or another owner).
  void ReleaseObject(TPDFObject* object);
  void ClearStructure();
  void ReserveSlots(int32_t count);

  int32_t Precision() const { return precision_; }
  void SetPrecision(int32_t precision) { precision_ = precision; }
  ResolveHook OnResolve;
  RegisterHook OnRegister;

  // Number of live objects, and the live objects in creation order (for tests and walks).
  size_t LiveCount() const { return liveCount_; }
  std::vector<TPDFObject*> LiveObjects() const;
  bool IsLive(const TPDFObject* object) const;

 private:
  friend class TPDFObject;
  friend class TPDFName;
  template <class T, class... Args>
  T* Make(Args&&... args);
  // Objects live in the arena's memory: freeing one runs its destructor, and the memory comes
  // back in one piece when the structure is cleared.
  struct DestroyInArena {
    void operator()(TPDFObject* object) const { object->~TPDFObject(); }
  };
  using ObjectPtr = std::unique_ptr<TPDFObject, DestroyInArena>;
  void Enter(ObjectPtr object);
  void Free(TPDFObject* object);
  void CompactIfSparse();

  // Live TPDFName objects per common name, oldest first, so that SharedName finds the
  // oldest one without walking the whole list.
  void IndexName(TPDFName* name);
  void UnindexName(TPDFName* name);

 public:
  // Position of a text in kCommonNames, or -1 when it is no common name.
  static int CommonNameIndex(std::string_view text);

 private:

  // Creation order is the list order; freed slots are emptied and squeezed out later, which
  // keeps the order of the live objects exactly as if later slots had moved down at once.
  std::pmr::monotonic_buffer_resource arena_;
  std::vector<ObjectPtr> objects_;
  size_t liveCount_ = 0;
  uint64_t nextSerial_ = 1;
  int32_t precision_ = 4;
  std::array<std::map<uint64_t, TPDFName*>, 31> commonNameIndex_;
};

}  // namespace pdf
