// The document information entries and the catalogue's XMP metadata stream.
#pragma once

#include <string>
#include <string_view>

#include "pdf/PdfDocument.h"

namespace pdf {

// Sets one information entry to `text` as a text string (see EncodeTextString) and, for the
// eight known keys, the matching XMP property; the packet is rewritten on every call. A key
// that exists keeps its place in the dictionary, a new one goes to the end.
// Keys and their XMP properties: Title dc:title, Author dc:creator, Subject dc:description,
// Keywords pdf:Keywords, Creator xmp:CreatorTool, Producer pdf:Producer,
// CreationDate xmp:CreateDate, ModDate xmp:ModifyDate.
void SetInfoText(TPDFDocument& document, std::string_view key, std::u16string_view text, bool forceUnicode = false);
// The text of one information entry (a string, or a stream's decoded data); empty when the
// entry is missing or of another kind.
std::u16string GetInfoText(TPDFDocument& document, std::string_view key);

// The packet (UTF-8) of the catalogue's metadata stream, empty when there is no such stream.
std::string ReadMetadata(TPDFDocument& document);
// Stores the packet as the catalogue's metadata stream (Type Metadata, Subtype XML, no
// filter), making the stream on first use. An encrypted document keeps its packet.
void WriteMetadata(TPDFDocument& document, std::string_view packet);

}  // namespace pdf
