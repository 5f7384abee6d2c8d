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

// Saves the document into a folder of its own and runs `command` with "%f" standing for the
// file and "%d" for the folder; gives the exit status, what it wrote to stderr and the folder's
// file count afterwards.
struct ToolRun {
  int status = -1;
  std::string errors;
  size_t files = 0;
};
inline ToolRun RunOnSavedFile(pdf::TPDFDocument& document, const std::string& command) {
  ToolRun run;
  char folder[] = "/tmp/lumenfold-pages-XXXXXX";
  if (mkdtemp(folder) == nullptr) return run;
  const std::filesystem::path dir = folder;
  const std::filesystem::path file = dir / "check.pdf";
  const std::filesystem::path errors = std::filesystem::path(std::string(folder) + ".stderr");
  if (document.SaveToFile(file.u16string())) {
    std::string line = command;
    for (size_t at; (at = line.find("%f")) != std::string::npos;) line.replace(at, 2, file.string());
    for (size_t at; (at = line.find("%d")) != std::string::npos;) line.replace(at, 2, dir.string());
    run.status = WEXITSTATUS(std::system((line + " >/dev/null 2>" + errors.string()).c_str()));
    std::ifstream in(errors);
    run.errors.assign(std::istreambuf_iterator<char>(in), {});
    run.files = static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
  }
  std::filesystem::remove_all(dir);
  std::filesystem::remove(errors);
  return run;
}

// `qpdf --check` finds no error and no warning and writes nothing on stderr.
inline void ExpectQpdfAccepts(pdf::TPDFDocument& document) {
  if (!HaveTool("qpdf")) return;
  const ToolRun run = RunOnSavedFile(document, "qpdf --check %f");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.errors, "");
}

// pdftoppm renders every page without a complaint.
inline void ExpectRenders(pdf::TPDFDocument& document, size_t pages) {
  if (!HaveTool("pdftoppm")) return;
  const ToolRun run = RunOnSavedFile(document, "pdftoppm -r 72 -png %f %d/page");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.files, pages + 1);  // the pages and the file itself
}

}  // namespace pagetest
