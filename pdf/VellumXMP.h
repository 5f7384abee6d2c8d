// TVellumXMP: the XMP metadata packet of a document, kept in step with its information entries.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace pdf {

struct XmpProperty;

namespace xmpns {
inline constexpr const char* kMeta = "adobe:ns:meta/";
inline constexpr const char* kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
inline constexpr const char* kDc = "http://purl.org/dc/elements/1.1/";
inline constexpr const char* kXmp = "http://ns.adobe.com/xap/1.0/";
inline constexpr const char* kPdf = "http://ns.adobe.com/pdf/1.3/";
}  // namespace xmpns

class TVellumXMP {
 public:
  // Starts with a fresh packet: the xpacket wrapper, x:xmpmeta, rdf:RDF and the default properties.
  TVellumXMP();
  TVellumXMP(const TVellumXMP&) = delete;
  TVellumXMP& operator=(const TVellumXMP&) = delete;

  // Replaces the packet with one read from UTF-8 text (a byte-order mark is dropped, invalid
  // sequences read as U+FFFD). An empty text gives a fresh packet, text without an x:xmpmeta
  // root too; text that is not well-formed leaves the packet empty.
  void LoadPacket(std::string_view packet);
  // The packet as UTF-8: indented, without an XML declaration, with 1023 spaces and a line
  // feed of room for in-place edits before the closing xpacket instruction. Empty when the
  // packet is empty.
  std::string SavePacket() const;

  // Each setter does nothing when the text equals the value it last set (or, for the author,
  // the first author of the loaded packet); otherwise the property is written anew as the
  // last child of its description.
  void SetTitle(std::u16string_view text);
  void SetAuthor(std::u16string_view text);
  void SetSubject(std::u16string_view text);
  void SetKeywords(std::u16string_view text);
  void SetCreatorTool(std::u16string_view text);
  void SetProducer(std::u16string_view text);
  // The dates take PDF date texts ("D:...") and store their XMP form.
  void SetCreateDate(std::u16string_view text);
  void SetModifyDate(std::u16string_view text);

 private:
  enum Property { kTitle, kAuthor, kSubject, kKeywords, kCreatorTool, kProducer, kCreateDate, kModifyDate, kCount };
  bool NewDocument();
  void BuildSkeleton();
  void CacheFirstAuthor();
  pugi::xml_node FindDescription(std::string_view ns) const;
  void SetProperty(const XmpProperty& property, std::string_view value);
  void Set(Property property, std::u16string_view text);

  std::unique_ptr<pugi::xml_document> document_;  // none when the XML document cannot be made
  pugi::xml_node xmpmeta_;
  pugi::xml_node rdf_;
  std::array<std::u16string, kCount> cache_;
};

}  // namespace pdf
