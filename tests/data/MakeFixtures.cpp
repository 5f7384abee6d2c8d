// Writes the image fixtures of this folder. Build and run by hand when they must change:
//   g++ -std=c++20 MakeFixtures.cpp -o /tmp/make-fixtures -lfreeimage -ljpeg && /tmp/make-fixtures .
// Every picture is 64 by 48 pixels: four quadrants, red top-left, green top-right, blue
// bottom-left and white bottom-right, so a rendering shows misplaced or flipped pixels.
#include <FreeImage.h>
#include <jpeglib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct BitmapDeleter {
  void operator()(FIBITMAP* b) const { FreeImage_Unload(b); }
};
using BitmapPtr = std::unique_ptr<FIBITMAP, BitmapDeleter>;
struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

constexpr int kW = 64, kH = 48;
std::string dir;

struct Rgb {
  uint8_t r, g, b;
};

// Top row is y = 0.
Rgb QuadrantColour(int x, int y) {
  const bool left = x < kW / 2, top = y < kH / 2;
  if (top) return left ? Rgb{255, 0, 0} : Rgb{0, 255, 0};
  return left ? Rgb{0, 0, 255} : Rgb{255, 255, 255};
}

void SetPixel(FIBITMAP* b, int x, int y, Rgb c, uint8_t alpha = 255) {
  BYTE* p = FreeImage_GetScanLine(b, kH - 1 - y) + x * (FreeImage_GetBPP(b) / 8);
  p[FI_RGBA_RED] = c.r;
  p[FI_RGBA_GREEN] = c.g;
  p[FI_RGBA_BLUE] = c.b;
  if (FreeImage_GetBPP(b) == 32) p[FI_RGBA_ALPHA] = alpha;
}

BitmapPtr Quadrants(int bpp) {
  BitmapPtr b(FreeImage_Allocate(kW, kH, bpp));
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) SetPixel(b.get(), x, y, QuadrantColour(x, y));
  return b;
}

// Palette 0 red, 1 green, 2 blue, 3 white, 4 black.
BitmapPtr Paletted(int frame) {
  BitmapPtr b(FreeImage_Allocate(kW, kH, 8));
  RGBQUAD* pal = FreeImage_GetPalette(b.get());
  const Rgb colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}};
  for (int i = 0; i < 5; ++i) pal[i] = RGBQUAD{colours[i].b, colours[i].g, colours[i].r, 0};
  for (int y = 0; y < kH; ++y) {
    BYTE* row = FreeImage_GetScanLine(b.get(), kH - 1 - y);
    for (int x = 0; x < kW; ++x) {
      const int q = (y < kH / 2 ? 0 : 2) + (x < kW / 2 ? 0 : 1);
      row[x] = frame == 0 ? static_cast<BYTE>(q) : 4;  // later frames are all black
    }
  }
  return b;
}

void Save(FREE_IMAGE_FORMAT fif, FIBITMAP* b, const std::string& name, int flags = 0) {
  if (!FreeImage_Save(fif, b, (dir + "/" + name).c_str(), flags)) std::printf("FAILED %s\n", name.c_str());
}

void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  FilePtr f(fopen((dir + "/" + name).c_str(), "wb"));
  fwrite(bytes.data(), 1, bytes.size(), f.get());
}

void MakeCmykJpeg() {
  FilePtr f(fopen((dir + "/jpeg_cmyk.jpg").c_str(), "wb"));
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f.get());
  c.image_width = kW;
  c.image_height = kH;
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(kW * 4);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const Rgb rgb = QuadrantColour(x, y);
      // Adobe-style inverted CMYK, which is what the Adobe marker libjpeg writes announces.
      row[x * 4 + 0] = rgb.r;
      row[x * 4 + 1] = rgb.g;
      row[x * 4 + 2] = rgb.b;
      row[x * 4 + 3] = 255;
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
}

// 24-bit PCX: three planes per row, each byte written as a run of one.
void MakePcx() {
  std::vector<uint8_t> out(128, 0);
  out[0] = 10;
  out[1] = 5;
  out[2] = 1;
  out[3] = 8;
  auto put16 = [&out](int at, int v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  put16(8, kW - 1);
  put16(10, kH - 1);
  put16(12, 72);
  put16(14, 72);
  out[65] = 3;
  put16(66, kW);
  put16(68, 1);
  for (int y = 0; y < kH; ++y) {
    for (int plane = 0; plane < 3; ++plane) {
      for (int x = 0; x < kW; ++x) {
        const Rgb c = QuadrantColour(x, y);
        const uint8_t v = plane == 0 ? c.r : plane == 1 ? c.g : c.b;
        out.push_back(0xC1);
        out.push_back(v);
      }
    }
  }
  WriteBytes("pcx24.pcx", out);
}

void MakeAnimatedGif() {
  const std::string path = dir + "/gif_animated.gif";
  std::remove(path.c_str());
  FIMULTIBITMAP* multi = FreeImage_OpenMultiBitmap(FIF_GIF, path.c_str(), TRUE, FALSE, TRUE, 0);
  for (int frame = 0; frame < 3; ++frame) {
    BitmapPtr b = Paletted(frame);
    FreeImage_AppendPage(multi, b.get());
  }
  FreeImage_CloseMultiBitmap(multi, 0);
}

void MakePngs() {
  BitmapPtr p8 = Paletted(0);
  BYTE table[5] = {255, 255, 255, 0, 255};  // white (index 3) transparent
  FreeImage_SetTransparencyTable(p8.get(), table, 5);
  Save(FIF_PNG, p8.get(), "png8_transparent.png");
  Save(FIF_PNG, Quadrants(24).get(), "png24.png");

  // 32-bit: the white quadrant fully transparent over black, the blue one half transparent.
  BitmapPtr p32(FreeImage_Allocate(kW, kH, 32));
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      Rgb c = QuadrantColour(x, y);
      uint8_t alpha = 255;
      if (c.r == 255 && c.g == 255) c = {0, 0, 0}, alpha = 0;
      else if (c.b == 255) alpha = 128;
      SetPixel(p32.get(), x, y, c, alpha);
    }
  Save(FIF_PNG, p32.get(), "png32_alpha.png");

  BitmapPtr p16(FreeImage_AllocateT(FIT_RGB16, kW, kH));
  for (int y = 0; y < kH; ++y) {
    FIRGB16* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(p16.get(), kH - 1 - y));
    for (int x = 0; x < kW; ++x) {
      const Rgb c = QuadrantColour(x, y);
      row[x] = FIRGB16{static_cast<WORD>(c.r * 257), static_cast<WORD>(c.g * 257), static_cast<WORD>(c.b * 257)};
    }
  }
  Save(FIF_PNG, p16.get(), "png16.png");
}

// Headers that claim 60000 by 60000 pixels over a few bytes of data.
void MakeHugeClaims() {
  std::vector<uint8_t> bmp(150, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  auto put32 = [&bmp](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(2, 150);
  put32(10, 54);
  put32(14, 40);
  put32(18, 60000);
  put32(22, 60000);
  bmp[26] = 1;
  bmp[28] = 24;
  WriteBytes("huge_claim_60000.bmp", bmp);

  std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0x60, 0xEA, 0x60, 0xEA, 0x80, 0, 0,
                              0, 0, 0, 255, 255, 255,  // two-colour global table
                              0x2C, 0, 0, 0, 0, 0x60, 0xEA, 0x60, 0xEA, 0, 2, 2, 0x44, 0x01, 0};
  gif.resize(149, 0);
  gif.push_back(0x3B);
  WriteBytes("huge_claim_60000.gif", gif);
}

}  // namespace

int main(int argc, char** argv) {
  dir = argc > 1 ? argv[1] : ".";
  BitmapPtr bmp = Quadrants(24);
  FreeImage_SetDotsPerMeterX(bmp.get(), 11811);  // 300 DPI: the page still measures 64 by 48
  FreeImage_SetDotsPerMeterY(bmp.get(), 11811);
  Save(FIF_BMP, bmp.get(), "bmp24_300dpi.bmp");

  BitmapPtr grey(FreeImage_ConvertToGreyscale(Quadrants(24).get()));
  Save(FIF_JPEG, grey.get(), "jpeg_grey.jpg", JPEG_QUALITYSUPERB);
  Save(FIF_JPEG, Quadrants(24).get(), "jpeg_rgb.jpg", JPEG_QUALITYSUPERB);
  MakeCmykJpeg();
  Save(FIF_JP2, Quadrants(24).get(), "jp2_rgb.jp2");
  Save(FIF_PSD, Quadrants(24).get(), "psd_rgb.psd");
  MakePcx();
  MakeAnimatedGif();
  MakePngs();
  Save(FIF_PNG, Quadrants(24).get(), "png_named.jpg");
  Save(FIF_TIFF, Quadrants(24).get(), "tiff_named.png");
  MakeHugeClaims();
  return 0;
}
