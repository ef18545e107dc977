// Reading and writing 8-bit RGB PNG files through libpng. Pixels are COLORREF values (0x00BBGGRR),
// rows top-down, as GetPixel gives them. Header-only, shared by the tools and the tests.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00BBGGRR, width * height, rows top-down

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // The rectangle at (x, y), width x height, which must lie inside the image.
  PixelImage Crop(int x, int y, int w, int h) const {
    PixelImage out{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h)};
    for (int row = 0; row < h; ++row)
      for (int col = 0; col < w; ++col) out.pixels[static_cast<size_t>(row) * w + col] = At(x + col, y + row);
    return out;
  }
};

namespace png_file {

// libpng reports errors by longjmp: the functions that call it keep no C++ objects of their own, so
// nothing is skipped or clobbered by the jump.
inline bool WriteAll(png_structp png, png_infop info, FILE* file, const PixelImage& image, png_byte* row) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const uint32_t c = image.pixels[static_cast<size_t>(y) * image.width + x];
      row[x * 3 + 0] = static_cast<png_byte>(c & 0xFF);
      row[x * 3 + 1] = static_cast<png_byte>((c >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<png_byte>((c >> 16) & 0xFF);
    }
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  return true;
}

// Reads the header and sets the conversion to 8-bit RGB.
inline bool ReadHeader(png_structp png, png_infop info, FILE* file, int* width, int* height, size_t* rowBytes) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  png_read_update_info(png, info);
  *width = static_cast<int>(png_get_image_width(png, info));
  *height = static_cast<int>(png_get_image_height(png, info));
  *rowBytes = png_get_rowbytes(png, info);
  return true;
}

inline bool ReadRows(png_structp png, int width, int height, png_byte* row, uint32_t* pixels) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  for (int y = 0; y < height; ++y) {
    png_read_row(png, row, nullptr);
    for (int x = 0; x < width; ++x) {
      pixels[static_cast<size_t>(y) * width + x] = static_cast<uint32_t>(row[x * 3]) |
                                                   (static_cast<uint32_t>(row[x * 3 + 1]) << 8) |
                                                   (static_cast<uint32_t>(row[x * 3 + 2]) << 16);
    }
  }
  return true;
}

}  // namespace png_file

// Writes `image` as an 8-bit RGB PNG; false (with a reason) when the file cannot be written.
inline bool WritePngFile(const std::string& path, const PixelImage& image, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    if (error) *error = "cannot create " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row(static_cast<size_t>(image.width) * 3);
  const bool ok = png != nullptr && info != nullptr && png_file::WriteAll(png, info, file, image, row.data());
  png_destroy_write_struct(&png, &info);
  const bool closed = std::fclose(file) == 0;
  if ((!ok || !closed) && error) *error = "cannot write " + path;
  return ok && closed;
}

// Reads any PNG, converted to 8-bit RGB (alpha dropped); false (with a reason) when it cannot.
inline bool ReadPngFile(const std::string& path, PixelImage* image, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    if (error) *error = "cannot open " + path;
    return false;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  int width = 0;
  int height = 0;
  size_t rowBytes = 0;
  bool ok = png != nullptr && info != nullptr && png_file::ReadHeader(png, info, file, &width, &height, &rowBytes);
  // After the conversions every row holds three bytes a pixel.
  ok = ok && rowBytes >= static_cast<size_t>(width) * 3;
  if (ok) {
    std::vector<png_byte> row(rowBytes);
    image->width = width;
    image->height = height;
    image->pixels.assign(static_cast<size_t>(width) * height, 0);
    ok = png_file::ReadRows(png, width, height, row.data(), image->pixels.data());
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  if (!ok && error) *error = "cannot read " + path + " as PNG";
  return ok;
}
