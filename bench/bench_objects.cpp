// Enters many indirect objects into a document and writes it: the cost per object must not
// grow with the size of the document.
//   bench_objects [count...]     (default 25000 250000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pdf/PdfDocument.h"

namespace {
double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double BuildAndWrite(int count, size_t& bytes) {
  const auto start = std::chrono::steady_clock::now();
  pdf::TPDFDocument document;
  document.InitNewDocument();
  pdf::TPDFStructure& s = document.Structure();
  pdf::TPDFArray* list = s.NewArray();
  for (int i = 0; i < count; ++i) {
    pdf::TPDFDictionary* d = s.NewDictionary();
    d->SetValue("Type", s.SharedName("Annot"));
    d->SetValue("Rect", s.NewRealArray({0, 0, 612.5, 792.25}));
    d->SetValue("Border", s.NewIntegerArray({0, 0, 0}));
    list->Append(document.MakeIndirect(d));
    if (i % 100 == 0) document.FindObjectEntry(i / 2 + 1);
  }
  document.GetCatalog()->SetValue("Bench", document.MakeIndirect(list));
  pdf::TMemoryStream stream;
  if (!document.WriteToStream(stream)) std::abort();
  bytes = stream.Data().size();
  return Seconds(std::chrono::steady_clock::now() - start);
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {25000, 250000};
  double first = 0;
  for (int count : counts) {
    size_t bytes = 0;
    const double seconds = BuildAndWrite(count, bytes);
    if (first == 0) first = seconds;
    std::printf("%8d objects: %.3f s, %zu bytes, %.2f x the first\n", count, seconds, bytes, seconds / first);
  }
  return 0;
}
