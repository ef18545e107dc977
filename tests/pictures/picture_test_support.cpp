#include "picture_test_support.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

PixelImage ReadBitmap(HBITMAP bitmap) {
  PixelImage image;
  BITMAP info{};
  if (GetObjectA(bitmap, sizeof info, &info) != sizeof info) return image;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  image = MakeImage(info.bmWidth, info.bmHeight, [&](int x, int y) { return GetPixel(dc, x, y); });
  SelectObject(dc, previous);
  DeleteDC(dc);
  return image;
}

Bytes PackRows(int width, int height, int bitCount, bool topDown, const std::function<uint32_t(int, int)>& value) {
  const size_t stride = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
  Bytes out(stride * height, 0);
  for (int r = 0; r < height; ++r) {
    const int y = topDown ? r : height - 1 - r;
    uint8_t* row = out.data() + stride * r;
    for (int x = 0; x < width; ++x) {
      const uint32_t v = value(x, y);
      if (bitCount <= 8) {
        const int perByte = 8 / bitCount;
        row[x / perByte] |= static_cast<uint8_t>(v << (8 - bitCount * (x % perByte + 1)));
      } else {
        const int bytes = bitCount / 8;
        // A COLORREF is red first; a 24-bit pixel is stored blue first.
        const uint32_t stored = bitCount == 24 ? ((v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF)) : v;
        for (int b = 0; b < bytes; ++b) row[x * bytes + b] = static_cast<uint8_t>(stored >> (8 * b));
      }
    }
  }
  return out;
}

BmpLayout RleLayout(int width, int height, uint16_t bitCount, std::vector<uint32_t> palette, uint32_t colorsUsed,
                    Bytes stream) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bitCount = bitCount;
  layout.compression = bitCount == 8 ? BI_RLE8 : BI_RLE4;
  layout.palette = std::move(palette);
  layout.colorsUsed = colorsUsed;
  layout.pixels = std::move(stream);
  return layout;
}

Bytes BuildBmp(const BmpLayout& layout) {
  const bool core = layout.headerSize == 12;
  Bytes dib;
  Put32(dib, layout.headerSize);
  if (core) {
    Put16(dib, static_cast<uint32_t>(layout.width));
    Put16(dib, static_cast<uint32_t>(layout.height));
    Put16(dib, 1);
    Put16(dib, layout.bitCount);
  } else {
    Put32(dib, static_cast<uint32_t>(layout.width));
    Put32(dib, static_cast<uint32_t>(layout.height));
    Put16(dib, 1);
    Put16(dib, layout.bitCount);
    Put32(dib, layout.compression);
    Put32(dib, static_cast<uint32_t>(layout.pixels.size()));
    Put32(dib, 2835);  // 72 DPI
    Put32(dib, 2835);
    Put32(dib, layout.colorsUsed);
    Put32(dib, 0);
    if (layout.headerSize >= 52 || layout.compression == 3) {
      for (uint32_t m : layout.masks) Put32(dib, m);
    }
    if (layout.headerSize >= 56) Put32(dib, 0);  // alpha mask
    if (layout.headerSize >= 108) Put32(dib, 0x73524742);  // colour space 'sRGB'
    if (layout.headerSize > 40) dib.resize(layout.headerSize);  // the rest of a V4 or V5 header: zero
  }
  for (uint32_t color : layout.palette) {
    dib.push_back(static_cast<uint8_t>(color >> 16));
    dib.push_back(static_cast<uint8_t>(color >> 8));
    dib.push_back(static_cast<uint8_t>(color));
    if (!core) dib.push_back(0);
  }
  dib.insert(dib.end(), layout.gapBeforePixels, 0xEE);
  const uint32_t offset = layout.pixelOffset >= 0 ? static_cast<uint32_t>(layout.pixelOffset) : 14u + static_cast<uint32_t>(dib.size());
  Bytes file;
  file.push_back('B');
  file.push_back('M');
  Put32(file, static_cast<uint32_t>(14 + dib.size() + layout.pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  file.insert(file.end(), dib.begin(), dib.end());
  file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
  return file;
}

ScratchDir::ScratchDir() {
  static std::atomic<int> counter{0};
  const auto base = std::filesystem::temp_directory_path();
  dir_ = (base / ("pictures-test-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" + std::to_string(counter++))).string();
  std::filesystem::create_directories(dir_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string ScratchDir::Write(const std::string& name, const Bytes& bytes) const {
  const std::string path = Path(name);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
