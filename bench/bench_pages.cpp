// Builds documents page by page as the conversion does, through the page tree alone: one
// insertion of all pages, then per page selection, sizing, an image resource, the drawing
// and a link; then the whole file is written. The cost per page must not grow with the page
// count.
//   bench_pages [pages...]     (default 1000 10000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pdf/PdfDocument.h"
#include "pdf/PdfImage.h"

namespace {
double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The smallest file the JPEG reader accepts as an image: SOI, SOF0 of 8 by 8, grey, EOI.
std::string TinyJpeg() {
  const unsigned char bytes[] = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x08, 0x00,
                                 0x08, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

double BuildAndWrite(int pages, size_t& bytes) {
  const auto start = std::chrono::steady_clock::now();
  pdf::TPDFDocument document;
  document.InitNewDocument();
  pdf::TPDFPageTree& tree = document.PageTree();
  tree.InsertPages(tree.PageCount() + 1, pages - 1, tree.PageWidth(), tree.PageHeight());
  const std::string jpeg = TinyJpeg();
  for (int n = 1; n <= pages; ++n) {
    tree.SelectPage(n);
    const double w = 100 + n % 7, h = 200 + n % 5;
    tree.SetPageWidth(w);
    tree.SetPageHeight(h);
    pdf::TMemoryStream stream;
    stream.Write(jpeg.data(), jpeg.size());
    pdf::TPDFImage* image = document.LoadImage(stream, 0, 1);
    if (image == nullptr) std::abort();
    tree.AddXObjectResource(*image);
    tree.Painter().DrawImage(*image, 0, h, w, h);
    tree.AddLinkAnnotation("https://example.com/", 0, 0, h, w, h);
  }
  pdf::TMemoryStream out;
  if (!document.WriteToStream(out)) std::abort();
  bytes = out.Data().size();
  return Seconds(std::chrono::steady_clock::now() - start);
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1000, 10000};
  double first = 0;
  int firstPages = 0;
  for (int pages : counts) {
    size_t bytes = 0;
    const double seconds = BuildAndWrite(pages, bytes);
    if (first == 0) first = seconds, firstPages = pages;
    std::printf("%7d pages: %.3f s, %zu bytes, %.2f x the first for %.1f x the pages\n", pages, seconds, bytes,
                seconds / first, static_cast<double>(pages) / firstPages);
  }
  return 0;
}
