#include "pdf/PdfInfo.h"

#include "pdf/TextString.h"
#include "pdf/VellumXMP.h"

namespace pdf {

namespace {

void StoreInfoBytes(TPDFDocument& document, std::string_view key, Bytes bytes) {
  TPDFDictionary* info = document.GetInfoDictionary();
  TPDFObject* current = info->GetValue(key, true);
  if (TPDFString* string = As<TPDFString>(current)) {
    string->SetValue(std::move(bytes));
    return;
  }
  if (TPDFStream* stream = As<TPDFStream>(current)) stream->SetData(Bytes(), false);
  info->SetValue(key, document.Structure().NewString(std::move(bytes), TextMode::Literal));
}

void SetXmpProperty(TVellumXMP& xmp, std::string_view key, std::u16string_view text) {
  if (key == "Title") xmp.SetTitle(text);
  else if (key == "Author") xmp.SetAuthor(text);
  else if (key == "Subject") xmp.SetSubject(text);
  else if (key == "Keywords") xmp.SetKeywords(text);
  else if (key == "Creator") xmp.SetCreatorTool(text);
  else if (key == "Producer") xmp.SetProducer(text);
  else if (key == "CreationDate") xmp.SetCreateDate(text);
  else if (key == "ModDate") xmp.SetModifyDate(text);
}

bool IsName(const TPDFObject* object, std::string_view text) {
  const TPDFName* name = As<TPDFName>(object);
  return name != nullptr && name->Value() == text;
}

bool IsEncrypted(const TPDFDocument& document) { return document.Trailer()->GetValue("Encrypt") != nullptr; }

}  // namespace

void SetInfoText(TPDFDocument& document, std::string_view key, std::u16string_view text, bool forceUnicode) {
  StoreInfoBytes(document, key, EncodeTextString(text, forceUnicode));

  TVellumXMP xmp;
  xmp.LoadPacket(ReadMetadata(document));
  // The packet takes the same characters as the entry: a length prefix is no part of the text.
  SetXmpProperty(xmp, key, TextInUse(text));
  WriteMetadata(document, xmp.SavePacket());
}

std::u16string GetInfoText(TPDFDocument& document, std::string_view key) {
  TPDFObject* value = document.GetInfoDictionary()->GetValue(key, true);
  if (const TPDFString* string = As<TPDFString>(value)) return DecodeTextString(string->Value());
  if (const TPDFStream* stream = As<TPDFStream>(value)) return DecodeTextString(stream->DecodedData());
  return {};
}

std::string ReadMetadata(TPDFDocument& document) {
  const TPDFStream* stream = As<TPDFStream>(document.GetCatalog()->GetValue("Metadata", true));
  if (stream == nullptr || stream->Dictionary()->TypeName() != "Metadata") return {};
  const TPDFDictionary& dictionary = *stream->Dictionary();
  if (!IsName(dictionary.GetValue("Subtype", true), "XML") && !IsName(dictionary.GetValue("SubType", true), "XML")) {
    return {};
  }
  return stream->DecodedData();
}

void WriteMetadata(TPDFDocument& document, std::string_view packet) {
  if (IsEncrypted(document)) return;
  TPDFStructure& structure = document.Structure();
  TPDFDictionary* catalog = document.GetCatalog();
  TPDFStream* stream = As<TPDFStream>(catalog->GetValue("Metadata", true));
  if (stream == nullptr) {
    stream = structure.NewStream(Bytes(), false);
    catalog->SetValue("Metadata", document.MakeIndirect(stream));
  }
  stream->Dictionary()->SetValue("Type", structure.NewName("Metadata"));
  stream->Dictionary()->SetValue("Subtype", structure.NewName("XML"));
  stream->SetData(Bytes(packet), false);
}

}  // namespace pdf
