// Stream filters: zlib compression for streams the writer makes, and the decoders
// DecodedData applies to streams it reads back.
#pragma once

#include <string>

namespace pdf {

using Bytes = std::string;

// Whole-buffer zlib deflate (header and checksum, default level); empty on failure.
Bytes Deflate(const Bytes& data);
// Whole-buffer zlib inflate; empty on any failure.
Bytes Inflate(const Bytes& data);

struct PredictorParams {
  int predictor = 1;
  int colors = 1;
  int bitsPerComponent = 8;
  int columns = 1;
};
// Undoes a TIFF (2) or PNG (10 and above) predictor; other values leave the data as it is.
Bytes UndoPredictor(const Bytes& data, const PredictorParams& params);

Bytes DecodeAscii85(const Bytes& data);
Bytes DecodeAsciiHex(const Bytes& data);
// LZW with 9-bit initial codes; earlyChange 1 widens the code one code early, as PDF's default.
Bytes DecodeLzw(const Bytes& data, int earlyChange);

}  // namespace pdf
