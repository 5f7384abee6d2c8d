#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "pdf/VellumXMP.h"

using namespace pdf;

namespace {

const std::string kPadding = std::string(1023, ' ') + "\n";

struct Parsed {
  pugi::xml_document document;
  bool ok = false;
  explicit Parsed(const std::string& packet) {
    ok = document.load_string(packet.c_str(), pugi::parse_default | pugi::parse_pi | pugi::parse_declaration);
  }
  std::string Text(const char* xpath) const {
    const pugi::xpath_node node = document.select_node(xpath);
    return node ? node.node().text().get() : std::string("<none>");
  }
};

// Each description as "xmlns attributes|child names".
std::vector<std::string> Descriptions(const Parsed& parsed) {
  std::vector<std::string> result;
  for (const pugi::xpath_node& d : parsed.document.select_nodes("/x:xmpmeta/rdf:RDF/rdf:Description")) {
    std::string line;
    for (const pugi::xml_attribute a : d.node().attributes()) line += std::string(a.name()) + "=" + a.value() + " ";
    line += "|";
    for (const pugi::xml_node child : d.node().children()) line += std::string(" ") + child.name();
    result.push_back(line);
  }
  return result;
}

TEST(XmpPacket, FreshPacketHasTheWrapperNamespacesAndPadding) {
  const std::string packet = TVellumXMP().SavePacket();
  EXPECT_EQ(packet.rfind("<?xpacket begin=\"?\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n", 0), 0u) << packet;
  EXPECT_EQ(packet.find("<?xml"), std::string::npos);
  const size_t end = packet.find("<?xpacket end=\"w\"?>");
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(packet.substr(end - 1024 - 13, 1024 + 13), "</x:xmpmeta>\n" + kPadding);
  EXPECT_EQ(packet.find(kPadding), end - 1024);  // the only run of padding

  Parsed parsed(packet);
  ASSERT_TRUE(parsed.ok);
  const pugi::xml_node first = parsed.document.first_child();
  EXPECT_EQ(first.type(), pugi::node_pi);
  EXPECT_STREQ(first.name(), "xpacket");
  const pugi::xml_node root = parsed.document.document_element();
  EXPECT_STREQ(root.name(), "x:xmpmeta");
  EXPECT_STREQ(root.attribute("xmlns:x").value(), "adobe:ns:meta/");
  EXPECT_STREQ(root.first_child().attribute("xmlns:rdf").value(), "http://www.w3.org/1999/02/22-rdf-syntax-ns#");
  EXPECT_EQ(parsed.document.last_child().type(), pugi::node_pi);
  EXPECT_STREQ(parsed.document.last_child().value(), "end=\"w\"");

  EXPECT_EQ(Descriptions(parsed),
            (std::vector<std::string>{
                "xmlns:dc=http://purl.org/dc/elements/1.1/ | dc:format dc:creator dc:description dc:title",
                "xmlns:xmp=http://ns.adobe.com/xap/1.0/ | xmp:CreatorTool xmp:CreateDate xmp:ModifyDate",
                "xmlns:pdf=http://ns.adobe.com/pdf/1.3/ | pdf:Keywords pdf:Producer",
            }));
  EXPECT_EQ(parsed.Text("//dc:format"), "application/pdf");
  EXPECT_EQ(parsed.Text("//dc:title/rdf:Alt/rdf:li[@xml:lang='x-default']"), "");
  EXPECT_EQ(parsed.Text("//dc:creator/rdf:Bag/rdf:li"), "");
}

TEST(XmpPacket, PropertiesTakeTheirFormsAndMoveToTheEnd) {
  TVellumXMP xmp;
  xmp.SetAuthor(u"Ann");
  xmp.SetTitle(u"\u039A\u03B1 <&> \"q\"");
  xmp.SetSubject(u"About");
  xmp.SetKeywords(u"k1 k2");
  xmp.SetCreatorTool(u"Tool");
  xmp.SetProducer(u"Lib");
  xmp.SetCreateDate(u"D:20240131123405+01'00'");
  xmp.SetModifyDate(u"D:20240131113405Z");
  xmp.SetCreatorTool(u"Tool");  // unchanged: stays where it is
  Parsed parsed(xmp.SavePacket());
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.Text("//dc:creator/rdf:Bag/rdf:li"), "Ann");
  EXPECT_EQ(parsed.Text("//dc:title/rdf:Alt/rdf:li[@xml:lang='x-default']"), "\xCE\x9A\xCE\xB1 <&> \"q\"");
  EXPECT_EQ(parsed.Text("//dc:description/rdf:Alt/rdf:li[@xml:lang='x-default']"), "About");
  EXPECT_EQ(parsed.Text("//pdf:Keywords"), "k1 k2");
  EXPECT_EQ(parsed.Text("//xmp:CreatorTool"), "Tool");
  EXPECT_EQ(parsed.Text("//pdf:Producer"), "Lib");
  EXPECT_EQ(parsed.Text("//xmp:CreateDate"), "2024-01-31T12:34:05+01:00");
  EXPECT_EQ(parsed.Text("//xmp:ModifyDate"), "2024-01-31T11:34:05Z");
  EXPECT_EQ(Descriptions(parsed),
            (std::vector<std::string>{
                "xmlns:dc=http://purl.org/dc/elements/1.1/ | dc:format dc:creator dc:title dc:description",
                "xmlns:xmp=http://ns.adobe.com/xap/1.0/ | xmp:CreatorTool xmp:CreateDate xmp:ModifyDate",
                "xmlns:pdf=http://ns.adobe.com/pdf/1.3/ | pdf:Keywords pdf:Producer",
            }));
}

TEST(XmpPacket, CharactersXmlCannotHoldBecomeReplacementCharacters) {
  TVellumXMP xmp;
  xmp.SetTitle(u"a\u0001b\uFFFEc\td\xD800");
  const std::string packet = xmp.SavePacket();
  EXPECT_EQ(packet.find("&#"), std::string::npos);
  Parsed parsed(packet);
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.Text("//dc:title/rdf:Alt/rdf:li"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c\td\xEF\xBF\xBD");
}

TEST(XmpPacket, SavedPacketLoadsBackUnchanged) {
  TVellumXMP xmp;
  xmp.SetTitle(u"Round");
  xmp.SetAuthor(u"Ann");
  const std::string packet = xmp.SavePacket();
  TVellumXMP again;
  again.LoadPacket(packet);
  EXPECT_EQ(again.SavePacket(), packet);  // padding does not pile up
  again.SetAuthor(u"Ann");                // the loaded first author counts as set
  EXPECT_EQ(again.SavePacket(), packet);
  again.SetTitle(u"Round");  // only the author is cached from the packet: the title is written again
  const std::string rewritten = again.SavePacket();
  EXPECT_GT(rewritten.find("<dc:title>"), rewritten.find("<dc:creator>"));
}

TEST(XmpPacket, LoadingOddTexts) {
  const std::string fresh = TVellumXMP().SavePacket();
  struct Case {
    const char* name;
    std::string text;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"empty", "", fresh},
      {"not well-formed", "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><a></x:xmpmeta>", ""},
      {"two roots", "<a/><b/>", ""},
      {"not xml at all", "just text", ""},
      {"other root", "<?xml version=\"1.0\"?><foo/>", fresh},
      {"x prefix of another namespace", "<x:xmpmeta xmlns:x=\"urn:other\"/>", fresh},
  };
  for (const Case& c : cases) {
    TVellumXMP xmp;
    xmp.LoadPacket(c.text);
    EXPECT_EQ(xmp.SavePacket(), c.expected) << c.name;
    xmp.SetTitle(u"T");  // an empty packet stays empty
    if (c.expected.empty()) {
      EXPECT_EQ(xmp.SavePacket(), "") << c.name;
    }
  }
}

TEST(XmpPacket, ForeignPacketsAreCompletedInTheirNamespaces) {
  TVellumXMP xmp;
  // A byte-order mark, a declaration, no xpacket wrapper, no rdf:RDF, an invalid byte.
  xmp.LoadPacket("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<m:xmpmeta xmlns:m=\"adobe:ns:meta/\"><!-- kept -->"
                 "<m:other>bad \xFF byte</m:other></m:xmpmeta>");
  xmp.SetTitle(u"T");
  const std::string packet = xmp.SavePacket();
  EXPECT_EQ(packet.rfind("<m:xmpmeta", 0), 0u) << packet;  // only the declaration went
  EXPECT_NE(packet.find("<!-- kept -->"), std::string::npos);
  EXPECT_NE(packet.find("bad \xEF\xBF\xBD byte"), std::string::npos);
  Parsed parsed(packet);
  ASSERT_TRUE(parsed.ok) << packet;
  const pugi::xml_node rdf = parsed.document.document_element().child("rdf:RDF");
  EXPECT_STREQ(rdf.attribute("xmlns:rdf").value(), "http://www.w3.org/1999/02/22-rdf-syntax-ns#");
  EXPECT_STREQ(rdf.child("rdf:Description").attribute("xmlns:dc").value(), "http://purl.org/dc/elements/1.1/");

  // A description that binds the Dublin Core namespace to another prefix is found and used;
  // the new element declares its own prefix. The first author, under that prefix, is cached.
  TVellumXMP foreign;
  foreign.LoadPacket(
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
      "<rdf:Description rdf:about=\"\" xmlns:purl=\"http://purl.org/dc/elements/1.1/\">"
      "<purl:creator><rdf:Bag><rdf:li>Old</rdf:li></rdf:Bag></purl:creator><purl:title>x</purl:title>"
      "</rdf:Description></rdf:RDF></x:xmpmeta>");
  const std::string unchanged = foreign.SavePacket();
  foreign.SetAuthor(u"Old");
  EXPECT_EQ(foreign.SavePacket(), unchanged);
  foreign.SetTitle(u"New");
  Parsed updated(foreign.SavePacket());
  ASSERT_TRUE(updated.ok);
  EXPECT_EQ(updated.document.select_nodes("//rdf:Description").size(), 1u);
  EXPECT_EQ(updated.document.select_nodes("//purl:title").size(), 0u);  // the old title went
  const pugi::xml_node title = updated.document.select_node("//dc:title").node();
  EXPECT_STREQ(title.attribute("xmlns:dc").value(), "http://purl.org/dc/elements/1.1/");
  EXPECT_EQ(updated.Text("//dc:title/rdf:Alt/rdf:li"), "New");
}

std::string PacketWithAuthors(const std::string& bagContent) {
  return "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
         "<rdf:Description xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:creator><rdf:Bag>" +
         bagContent + "</rdf:Bag></dc:creator></rdf:Description></rdf:RDF></x:xmpmeta>";
}

TEST(XmpPacket, FirstAuthorIsTheTextOfTheFirstChildOfTheFirstItem) {
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"<rdf:li>Ann</rdf:li><rdf:li>Bob</rdf:li>", u"Ann"},
      {"<rdf:li><b>An<i>n</i></b> tail</rdf:li>", u"Ann"},
      {"<rdf:li><![CDATA[A<n>]]></rdf:li>", u"A<n>"},
  };
  for (const auto& [bag, author] : cases) {
    TVellumXMP xmp;
    xmp.LoadPacket(PacketWithAuthors(bag));
    const std::string before = xmp.SavePacket();
    xmp.SetAuthor(author);  // equal to the cached first author: nothing changes
    EXPECT_EQ(xmp.SavePacket(), before) << bag;
  }
}

TEST(XmpPacket, DeeplyNestedAuthorDoesNotExhaustTheStack) {
  const int depth = 500000;
  std::string bag = "<rdf:li>";
  for (int i = 0; i < depth; ++i) bag += "<d>";
  for (int i = 0; i < depth; ++i) bag += "</d>";
  bag += "</rdf:li>";
  TVellumXMP xmp;
  xmp.LoadPacket(PacketWithAuthors(bag));
  xmp.SetAuthor(u"Bob");
  EXPECT_NE(xmp.SavePacket().find("<rdf:li>Bob</rdf:li>"), std::string::npos);

  // Deep packets that are dropped whole: another root, and one replaced by the next load.
  TVellumXMP other;
  other.LoadPacket("<foo>" + bag + "</foo>");
  EXPECT_EQ(other.SavePacket(), TVellumXMP().SavePacket());
  other.LoadPacket(PacketWithAuthors(bag));
  other.LoadPacket("");
  EXPECT_EQ(other.SavePacket(), TVellumXMP().SavePacket());
}

}  // namespace
