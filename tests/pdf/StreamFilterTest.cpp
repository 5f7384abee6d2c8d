#include <gtest/gtest.h>

#include <map>

#include "pdf/PdfStructure.h"
#include "pdf/StreamFilters.h"

using namespace pdf;

namespace {
// A plain LZW encoder, to produce test input for both code-width rules.
Bytes EncodeLzw(const Bytes& data, int earlyChange) {
  std::map<Bytes, int> table;
  for (int i = 0; i < 256; ++i) table[Bytes(1, static_cast<char>(i))] = i;
  int next = 258, width = 9;
  uint32_t buffer = 0;
  int bits = 0;
  Bytes out;
  auto emit = [&](int code) {
    buffer = (buffer << width) | static_cast<uint32_t>(code);
    bits += width;
    while (bits >= 8) {
      out += static_cast<char>((buffer >> (bits - 8)) & 0xFF);
      bits -= 8;
    }
  };
  emit(256);
  Bytes w;
  for (char c : data) {
    Bytes wc = w + c;
    if (table.count(wc)) {
      w = wc;
      continue;
    }
    emit(table[w]);
    table[wc] = next++;
    if (next + earlyChange > (1 << width) && width < 12) ++width;
    w = Bytes(1, c);
  }
  if (!w.empty()) emit(table[w]);
  emit(257);
  if (bits > 0) out += static_cast<char>((buffer << (8 - bits)) & 0xFF);
  return out;
}

Bytes Decode(TPDFStructure& s, const Bytes& raw, std::string_view filter, std::string_view parms = "") {
  TPDFStream* stream = s.NewStream("", false);
  stream->SetRawData(raw);
  stream->Dictionary()->SetValue("Filter", s.ParseObject(filter).object);
  if (!parms.empty()) stream->Dictionary()->SetValue("DecodeParms", s.ParseObject(parms).object);
  return stream->DecodedData();
}
}  // namespace

TEST(StreamData, SetDataWritesLengthAndFilter) {
  TPDFStructure s;
  TPDFStream* empty = s.NewStream("", true);
  EXPECT_EQ(empty->Data(), "");
  EXPECT_EQ(empty->Dictionary()->ToText(), "<<\n/Length 0\n/Filter /FlateDecode\n>>\n");

  TPDFStream* plain = s.NewStream("BT ET", false);
  EXPECT_EQ(plain->Dictionary()->ToText(), "<<\n/Length 5\n>>\n");
  plain->SetData(Bytes(1000, 'x'), true);
  EXPECT_LT(plain->Data().size(), 100u);
  EXPECT_EQ(plain->DecodedData(), Bytes(1000, 'x'));
  plain->SetData("ab", false);
  EXPECT_EQ(plain->Dictionary()->ToText(), "<<\n/Length 2\n>>\n");

  // A Length that is a reference is replaced by the number.
  plain->Dictionary()->SetValue("Length", s.NewReference(9, 0));
  plain->SetRawData("abc");
  EXPECT_EQ(plain->Dictionary()->ToText(), "<<\n/Length 3\n>>\n");
}

TEST(StreamData, DecodesEveryFilterWithKnownVectors) {
  TPDFStructure s;
  struct Case { Bytes raw; const char* filter; const char* parms; Bytes decoded; };
  const Case cases[] = {
      {"<~87cURD_*#4DfTZ)+T~>", "/ASCII85Decode", "", "Hello, World!"},
      {"z@:E^~>", "/A85", "", Bytes("\0\0\0\0abc", 7)},
      {"48 65 6c 6C 6f>", "/ASCIIHexDecode", "", "Hello"},
      {"486>", "/ASCIIHexDecode", "", "H`"},
      {Bytes("\x80\x0B\x60\x50\x22\x0C\x0C\x85\x01", 9), "/LZWDecode", "", "-----A---B"},
      {"48656C6C6F>", "[ /ASCIIHexDecode /Unknown ]", "", "Hello"},
      {Deflate("Hello"), "/Fl", "", "Hello"},
      {"not zlib", "/FlateDecode", "", ""},
      // PNG rows: Sub, Up, Paeth, Average over three one-byte columns.
      {Deflate(Bytes("\x01\x01\x01\x01\x02\x01\x01\x01\x04\x00\x00\x00\x03\x00\x00\x00", 16)), "/FlateDecode",
       "<< /Predictor 12 /Columns 3 >>", Bytes("\x01\x02\x03\x02\x03\x04\x02\x03\x04\x01\x02\x03", 12)},
      {Deflate(Bytes("\x01\x01\x01\x01\x05\x01", 6)), "/FlateDecode", "<< /Predictor 2 /Columns 3 >>",
       Bytes("\x01\x02\x03\x01\x06\x07", 6)},
      {Deflate(Bytes("\x01\x01\x01\x01\x01\x01", 6)), "/FlateDecode",
       "<< /Predictor 2 /Colors 2 /Columns 3 >>", Bytes("\x01\x01\x02\x02\x03\x03", 6)},
  };
  for (const Case& c : cases) EXPECT_EQ(Decode(s, c.raw, c.filter, c.parms), c.decoded) << c.filter << c.parms;
}

TEST(StreamData, FilterChainUsesParametersPerPosition) {
  TPDFStructure s;
  Bytes deflated = Deflate(Bytes("\x02\x05\x05", 3));
  Bytes hex;
  for (unsigned char b : deflated) {
    static const char digits[] = "0123456789ABCDEF";
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  EXPECT_EQ(Decode(s, hex, "[ /ASCIIHexDecode /FlateDecode ]", "[ null << /Predictor 10 /Columns 2 >> ]"),
            Bytes("\x05\x05", 2));
}

TEST(StreamData, LzwRoundTripsWithBothCodeWidthRules) {
  Bytes text;
  for (int i = 0; i < 3000; ++i) text += static_cast<char>("abcdefghij"[i * 7 % 10] + (i % 13));
  for (int early : {0, 1}) {
    TPDFStructure s;
    const std::string parms = "<< /EarlyChange " + std::to_string(early) + " >>";
    EXPECT_EQ(Decode(s, EncodeLzw(text, early), "/LZWDecode", parms), text) << "EarlyChange " << early;
  }
}

TEST(StreamData, HostileParametersDoNotExplode) {
  TPDFStructure s;
  const Bytes raw = Deflate("abc");
  EXPECT_NO_THROW(Decode(s, raw, "/FlateDecode", "<< /Predictor 12 /Columns 2000000000 /Colors 2000000000 >>"));
  EXPECT_NO_THROW(Decode(s, raw, "/FlateDecode", "<< /Predictor 12 /Columns -5 >>"));
  EXPECT_NO_THROW(Decode(s, Bytes(10000, '\xff'), "/LZWDecode"));
}
