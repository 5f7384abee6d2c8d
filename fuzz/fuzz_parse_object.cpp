// Feeds arbitrary text to ParseObject and writes back whatever it made.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pdf/PdfStructure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pdf::TPDFStructure structure;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const pdf::ParseResult result = structure.ParseObject(text);
  if (result.object == nullptr || result.consumed > size) __builtin_trap();
  try {
    (void)result.object->ToText();
  } catch (const pdf::EPDFError&) {
    // containers nested past the text depth limit refuse to write; that is their answer
  }
  if (auto* stream = pdf::As<pdf::TPDFDictionary>(result.object)) (void)stream->TypeName();
  return 0;
}
