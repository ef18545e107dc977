// Writing uncompressed 24-bit BMP files from COLORREF pixels (0x00BBGGRR, rows top-down); the file
// stores its rows bottom-up at 96 DPI, as most BMP files do. Header-only, shared by the tools and the
// tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bmp_file_detail {

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace bmp_file_detail

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

inline bool WriteBmp24(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<uint8_t> out;
  bmp_file_detail::Put16(out, 0x4D42);
  bmp_file_detail::Put32(out, 54 + pixelBytes);
  bmp_file_detail::Put32(out, 0);
  bmp_file_detail::Put32(out, 54);
  bmp_file_detail::Put32(out, 40);
  bmp_file_detail::Put32(out, static_cast<uint32_t>(width));
  bmp_file_detail::Put32(out, static_cast<uint32_t>(height));
  bmp_file_detail::Put16(out, 1);
  bmp_file_detail::Put16(out, 24);
  bmp_file_detail::Put32(out, 0);
  bmp_file_detail::Put32(out, pixelBytes);
  bmp_file_detail::Put32(out, 3780);
  bmp_file_detail::Put32(out, 3780);
  bmp_file_detail::Put32(out, 0);
  bmp_file_detail::Put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t c = pixels[static_cast<size_t>(y) * width + x];
      out.push_back(static_cast<uint8_t>(c >> 16));  // blue
      out.push_back(static_cast<uint8_t>(c >> 8));   // green
      out.push_back(static_cast<uint8_t>(c));        // red
    }
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return WriteBytes(path, out);
}
