#include "pdf/VellumXMP.h"

#include <new>

#include "pdf/PdfDate.h"
#include "pdf/TextString.h"

namespace pdf {

enum class ValueForm { Plain, Bag, Alt };

struct XmpProperty {
  const char* prefix;
  const char* ns;
  const char* name;
  ValueForm form;
};

namespace {

constexpr const char* kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr const char* kPacketBegin = R"(begin="?" id="W5M0MpCehiHzreSzNTczkc9d")";
constexpr const char* kPacketEnd = R"(end="w")";
constexpr std::string_view kEndInstruction = "<?xpacket end=";

std::string_view PrefixOf(std::string_view qualifiedName) {
  const size_t colon = qualifiedName.find(':');
  return colon == std::string_view::npos ? std::string_view{} : qualifiedName.substr(0, colon);
}

std::string_view LocalNameOf(std::string_view qualifiedName) {
  const size_t colon = qualifiedName.find(':');
  return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

// The namespace a prefix is bound to where `node` stands, "" when it is unbound.
std::string_view NamespaceInScope(pugi::xml_node node, std::string_view prefix) {
  if (prefix == "xml") return kXmlNamespace;
  const std::string attribute = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
  for (pugi::xml_node n = node; n; n = n.parent()) {
    if (n.type() != pugi::node_element) continue;
    if (const pugi::xml_attribute a = n.attribute(attribute.c_str())) return a.value();
  }
  return {};
}

// Elements are matched by namespace and local name, as the namespace-aware selections of an
// XML DOM do, so a packet that binds other prefixes to the same namespaces is still read.
bool IsElement(pugi::xml_node node, std::string_view ns, std::string_view localName) {
  return node.type() == pugi::node_element && LocalNameOf(node.name()) == localName &&
         NamespaceInScope(node, PrefixOf(node.name())) == ns;
}

pugi::xml_node ChildElement(pugi::xml_node parent, std::string_view ns, std::string_view localName) {
  for (pugi::xml_node child : parent.children()) {
    if (IsElement(child, ns, localName)) return child;
  }
  return {};
}

// Appends prefix:localName and declares the prefix on it when it is not bound to `ns` there.
pugi::xml_node AppendElement(pugi::xml_node parent, std::string_view prefix, const char* ns,
                             std::string_view localName) {
  pugi::xml_node element = parent.append_child((std::string(prefix) + ":" + std::string(localName)).c_str());
  if (element && NamespaceInScope(element, prefix) != ns) {
    element.append_attribute(("xmlns:" + std::string(prefix)).c_str()).set_value(ns);
  }
  return element;
}

void AppendText(pugi::xml_node element, std::string_view value) {
  if (!value.empty()) element.append_child(pugi::node_pcdata).set_value(std::string(value).c_str());
}

bool IsCharacterData(pugi::xml_node node) {
  return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// The node's text: its value for character data, all descendant character data for an
// element. Walked without recursion, so a deeply nested packet cannot exhaust the stack.
std::string TextOf(pugi::xml_node node) {
  if (IsCharacterData(node)) return node.value();
  std::string text;
  pugi::xml_node n = node.first_child();
  while (n) {
    if (IsCharacterData(n)) text += n.value();
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n != node && !n.next_sibling()) n = n.parent();
    n = n == node ? pugi::xml_node() : n.next_sibling();
  }
  return text;
}

// Removes a child with everything below it leaves first: the XML library frees a subtree
// recursively, which a deeply nested packet would turn into a stack overflow.
void RemoveSubtree(pugi::xml_node parent, pugi::xml_node child) {
  pugi::xml_node n = child;
  for (;;) {
    while (n.first_child()) n = n.first_child();
    if (n == child) break;
    pugi::xml_node up = n.parent();
    up.remove_child(n);
    n = up;
  }
  parent.remove_child(child);
}

// XML 1.0 has no way to write most control characters, U+FFFE or U+FFFF, not even as
// character references; they become U+FFFD so that every XMP reader can parse the packet.
std::u16string XmlCharacters(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& ch : out) {
    if ((ch < 0x20 && ch != u'\t' && ch != u'\n' && ch != u'\r') || ch == 0xFFFE || ch == 0xFFFF) {
      ch = kReplacementChar;
    }
  }
  return out;
}

void AppendInstruction(pugi::xml_document& document, const char* value) {
  pugi::xml_node instruction = document.append_child(pugi::node_pi);
  instruction.set_name("xpacket");
  instruction.set_value(value);
}

bool HasSingleRootElement(const pugi::xml_document& document) {
  int elements = 0;
  for (pugi::xml_node child : document.children()) {
    if (child.type() == pugi::node_element) ++elements;
    if (IsCharacterData(child)) return false;
  }
  return elements == 1;
}

struct StringWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

// Drops a leading XML declaration and the line break after it.
void RemoveDeclaration(std::string& text) {
  if (text.rfind("<?xml", 0) != 0) return;
  size_t end = text.find("?>");
  end = end == std::string::npos ? text.size() : end + 2;
  while (end < text.size() && (text[end] == '\n' || text[end] == '\r' || text[end] == ' ' || text[end] == '\t')) ++end;
  text.erase(0, end);
}

}  // namespace

namespace {
constexpr XmpProperty kFormat{"dc", xmpns::kDc, "format", ValueForm::Plain};

// In the order of the setters' enumeration.
constexpr XmpProperty kProperties[] = {
    {"dc", xmpns::kDc, "title", ValueForm::Alt},
    {"dc", xmpns::kDc, "creator", ValueForm::Bag},
    {"dc", xmpns::kDc, "description", ValueForm::Alt},
    {"pdf", xmpns::kPdf, "Keywords", ValueForm::Plain},
    {"xmp", xmpns::kXmp, "CreatorTool", ValueForm::Plain},
    {"pdf", xmpns::kPdf, "Producer", ValueForm::Plain},
    {"xmp", xmpns::kXmp, "CreateDate", ValueForm::Plain},
    {"xmp", xmpns::kXmp, "ModifyDate", ValueForm::Plain},
};
}  // namespace

TVellumXMP::TVellumXMP() {
  if (NewDocument()) BuildSkeleton();
}

bool TVellumXMP::NewDocument() {
  xmpmeta_ = {};
  rdf_ = {};
  try {
    document_ = std::make_unique<pugi::xml_document>();
  } catch (const std::bad_alloc&) {
    document_.reset();  // inert from here on: every step does nothing, the packet is empty
  }
  return document_ != nullptr;
}

void TVellumXMP::BuildSkeleton() {
  document_->reset();
  AppendInstruction(*document_, kPacketBegin);
  xmpmeta_ = AppendElement(*document_, "x", xmpns::kMeta, "xmpmeta");
  rdf_ = AppendElement(xmpmeta_, "rdf", xmpns::kRdf, "RDF");
  AppendInstruction(*document_, kPacketEnd);

  SetProperty(kFormat, "application/pdf");
  for (const Property p : {kAuthor, kSubject, kTitle, kCreatorTool, kCreateDate, kModifyDate, kKeywords, kProducer}) {
    SetProperty(kProperties[p], "");
  }
}

void TVellumXMP::LoadPacket(std::string_view packet) {
  cache_ = {};
  if (!NewDocument()) return;
  if (packet.empty()) {
    BuildSkeleton();
    return;
  }
  std::string text = SanitizeUtf8(packet);
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  // No DOCTYPE node is kept and no entity of one is expanded.
  constexpr unsigned kOptions = pugi::parse_default | pugi::parse_pi | pugi::parse_comments | pugi::parse_declaration;
  if (!document_->load_buffer(text.data(), text.size(), kOptions, pugi::encoding_utf8) ||
      !HasSingleRootElement(*document_)) {
    document_->reset();
    return;
  }
  const pugi::xml_node root = document_->document_element();
  if (!IsElement(root, xmpns::kMeta, "xmpmeta")) {
    BuildSkeleton();
    return;
  }
  xmpmeta_ = root;
  rdf_ = ChildElement(xmpmeta_, xmpns::kRdf, "RDF");
  if (!rdf_) rdf_ = AppendElement(xmpmeta_, "rdf", xmpns::kRdf, "RDF");
  CacheFirstAuthor();
}

// The first rdf:li of a dc:creator bag, in document order, gives the author's cached value.
void TVellumXMP::CacheFirstAuthor() {
  for (pugi::xml_node rdf : xmpmeta_.children()) {
    if (!IsElement(rdf, xmpns::kRdf, "RDF")) continue;
    for (pugi::xml_node description : rdf.children()) {
      if (!IsElement(description, xmpns::kRdf, "Description")) continue;
      for (pugi::xml_node creator : description.children()) {
        if (!IsElement(creator, xmpns::kDc, "creator")) continue;
        for (pugi::xml_node bag : creator.children()) {
          if (!IsElement(bag, xmpns::kRdf, "Bag")) continue;
          if (const pugi::xml_node li = ChildElement(bag, xmpns::kRdf, "li")) {
            if (li.first_child()) cache_[kAuthor] = Utf8ToUtf16(TextOf(li.first_child()));
            return;
          }
        }
      }
    }
  }
}

// The last description that declares a prefix for `ns`.
pugi::xml_node TVellumXMP::FindDescription(std::string_view ns) const {
  pugi::xml_node found;
  for (pugi::xml_node rdf : xmpmeta_.children()) {
    if (!IsElement(rdf, xmpns::kRdf, "RDF")) continue;
    for (pugi::xml_node description : rdf.children()) {
      if (!IsElement(description, xmpns::kRdf, "Description")) continue;
      for (pugi::xml_attribute a : description.attributes()) {
        if (std::string_view(a.name()).rfind("xmlns:", 0) == 0 && a.value() == ns) {
          found = description;
          break;
        }
      }
    }
  }
  return found;
}

void TVellumXMP::SetProperty(const XmpProperty& property, std::string_view value) {
  if (!document_ || !rdf_) return;  // an empty packet (not well-formed when loaded) stays empty
  pugi::xml_node description = FindDescription(property.ns);
  if (!description) {
    description = AppendElement(rdf_, "rdf", xmpns::kRdf, "Description");
    description.append_attribute((std::string("xmlns:") + property.prefix).c_str()).set_value(property.ns);
  }
  if (const pugi::xml_node old = ChildElement(description, property.ns, property.name)) RemoveSubtree(description, old);

  pugi::xml_node element = AppendElement(description, property.prefix, property.ns, property.name);
  switch (property.form) {
    case ValueForm::Plain:
      AppendText(element, value);
      break;
    case ValueForm::Bag:
      AppendText(AppendElement(AppendElement(element, "rdf", xmpns::kRdf, "Bag"), "rdf", xmpns::kRdf, "li"), value);
      break;
    case ValueForm::Alt: {
      pugi::xml_node li = AppendElement(AppendElement(element, "rdf", xmpns::kRdf, "Alt"), "rdf", xmpns::kRdf, "li");
      li.append_attribute("xml:lang").set_value("x-default");
      AppendText(li, value);
      break;
    }
  }
}

void TVellumXMP::Set(Property property, std::u16string_view text) {
  if (cache_[property] == text) return;
  cache_[property] = std::u16string(text);
  SetProperty(kProperties[property], Utf16ToUtf8(XmlCharacters(text)));
}

void TVellumXMP::SetTitle(std::u16string_view text) { Set(kTitle, text); }
void TVellumXMP::SetAuthor(std::u16string_view text) { Set(kAuthor, text); }
void TVellumXMP::SetSubject(std::u16string_view text) { Set(kSubject, text); }
void TVellumXMP::SetKeywords(std::u16string_view text) { Set(kKeywords, text); }
void TVellumXMP::SetCreatorTool(std::u16string_view text) { Set(kCreatorTool, text); }
void TVellumXMP::SetProducer(std::u16string_view text) { Set(kProducer, text); }
void TVellumXMP::SetCreateDate(std::u16string_view text) { Set(kCreateDate, ToXmpDate(text)); }
void TVellumXMP::SetModifyDate(std::u16string_view text) { Set(kModifyDate, ToXmpDate(text)); }

std::string TVellumXMP::SavePacket() const {
  if (!document_ || !document_->first_child()) return {};
  StringWriter writer;
  document_->save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
  std::string packet = std::move(writer.text);
  // The packet is embedded in a stream, where an XML declaration has no place; only the
  // declaration goes, so a packet without the xpacket wrapper keeps its content.
  RemoveDeclaration(packet);
  const size_t end = packet.rfind(kEndInstruction);
  if (end != std::string::npos && end > 0) packet.insert(end, std::string(1023, ' ') + "\n");
  return packet;
}

}  // namespace pdf
