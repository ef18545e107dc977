// PNG through stb_image and stb_image_write: header-only libraries whose implementation is compiled
// here, once, for the tools and the tests of both stacks.
#include "tools/png_file.h"

#include <cstdint>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

bool WritePngFile(const std::string& path, const PixelImage& image, std::string* error) {
  std::vector<unsigned char> rgb(static_cast<size_t>(image.width) * image.height * 3);
  for (size_t i = 0; i < image.pixels.size() && i * 3 < rgb.size(); ++i) {
    const uint32_t c = image.pixels[i];
    rgb[i * 3 + 0] = static_cast<unsigned char>(c & 0xFF);
    rgb[i * 3 + 1] = static_cast<unsigned char>((c >> 8) & 0xFF);
    rgb[i * 3 + 2] = static_cast<unsigned char>((c >> 16) & 0xFF);
  }
  const bool ok = image.width > 0 && image.height > 0 &&
                  stbi_write_png(path.c_str(), image.width, image.height, 3, rgb.data(), image.width * 3) != 0;
  if (!ok && error) *error = "cannot write " + path;
  return ok;
}

bool ReadPngFile(const std::string& path, PixelImage* image, std::string* error) {
  int width = 0;
  int height = 0;
  int channels = 0;
  // Three channels asked for: grey becomes RGB, a palette is expanded, 16 bits keep their high byte and
  // alpha is dropped.
  unsigned char* rgb = stbi_load(path.c_str(), &width, &height, &channels, 3);
  if (rgb == nullptr) {
    if (error) *error = "cannot read " + path + " as PNG (" + stbi_failure_reason() + ")";
    return false;
  }
  image->width = width;
  image->height = height;
  image->pixels.assign(static_cast<size_t>(width) * height, 0);
  for (size_t i = 0; i < image->pixels.size(); ++i) {
    image->pixels[i] = static_cast<uint32_t>(rgb[i * 3]) | static_cast<uint32_t>(rgb[i * 3 + 1]) << 8 |
                       static_cast<uint32_t>(rgb[i * 3 + 2]) << 16;
  }
  stbi_image_free(rgb);
  return true;
}
