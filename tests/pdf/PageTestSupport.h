// Helpers for the page tree and painter tests: documents in memory, fixtures parsed from PDF
// text, and the qpdf check every written file must pass.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "pdf/ByteStream.h"
#include "pdf/PdfDocument.h"

namespace pagetest {

inline std::string Written(pdf::TPDFDocument& document) {
  pdf::TMemoryStream stream;
  EXPECT_TRUE(document.WriteToStream(stream));
  return stream.Data();
}

// Parses `text`, enters it as the document's next indirect object and checks that it got
// the number the fixture's references expect.
inline pdf::TPDFObject* Enter(pdf::TPDFDocument& document, int32_t expectedNumber, std::string_view text) {
  pdf::TPDFObject* object = document.Structure().ParseObject(text).object;
  EXPECT_EQ(document.MakeIndirect(object)->ObjectNumber(), expectedNumber) << text;
  return object;
}

inline pdf::TPDFObject* Parse(pdf::TPDFDocument& document, std::string_view text) {
  return document.Structure().ParseObject(text).object;
}

inline std::string TextOf(const pdf::TPDFObject* object) { return object != nullptr ? object->ToText() : "(none)"; }

inline bool HaveTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Saves the document and runs `qpdf --check` on it: no error, no warning, nothing on stderr.
inline void ExpectQpdfAccepts(pdf::TPDFDocument& document) {
  if (!HaveTool("qpdf")) return;
  char folder[] = "/tmp/lumenfold-pages-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::filesystem::path dir = folder;
  const std::filesystem::path file = dir / "check.pdf";
  ASSERT_TRUE(document.SaveToFile(file.u16string()));
  const std::filesystem::path errors = dir / "stderr.txt";
  const int status = std::system(("qpdf --check " + file.string() + " >/dev/null 2>" + errors.string()).c_str());
  std::ifstream in(errors);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(WEXITSTATUS(status), 0) << text;
  EXPECT_EQ(text, "");
  std::filesystem::remove_all(dir);
}

}  // namespace pagetest
