// GIF through giflib: the records up to the first image, then that image composed over the logical
// screen. Later frames are never read.
#include <algorithm>
#include <cstring>

#include <gif_lib.h>

#include "platform/imaging/picture_decoders.h"

namespace platform {

namespace {

struct MemorySource {
  const uint8_t* data;
  size_t size;
  size_t position;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int wanted) {
  auto* source = static_cast<MemorySource*>(gif->UserData);
  const size_t left = source->size - source->position;
  const size_t count = wanted < 0 ? 0 : std::min(left, static_cast<size_t>(wanted));
  std::memcpy(buffer, source->data + source->position, count);
  source->position += count;
  return static_cast<int>(count);
}

uint32_t MapColor(const ColorMapObject* map, int index) {
  if (map == nullptr || index < 0 || index >= map->ColorCount) return 0;  // black beyond the table
  const GifColorType& c = map->Colors[index];
  return static_cast<uint32_t>(c.Red) | static_cast<uint32_t>(c.Green) << 8 | static_cast<uint32_t>(c.Blue) << 16;
}

// Extensions before the first image: only a graphic control block matters, for its transparent
// index. Returns false on a damaged record.
bool ReadExtension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
    GraphicsControlBlock control;
    if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) transparent = control.TransparentColor;
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

// The rows of the image in the order the file stores them: interlaced images in four passes.
int StoredRowToImageRow(int stored, int height, bool interlaced) {
  if (!interlaced) return stored;
  static const int kStart[4] = {0, 4, 2, 1};
  static const int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    const int rows = kStart[pass] < height ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
    if (stored < rows) return kStart[pass] + stored * kStep[pass];
    stored -= rows;
  }
  return -1;
}

// The first image's rows, top-down, as far as they reach into the logical screen. They are read
// before the screen is made, so a file whose data ends early costs no more than it holds.
bool ReadFirstImage(GifFileType* gif, int screenHeight, std::vector<GifPixelType>& rows) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return false;
  const GifImageDesc& desc = gif->Image;
  // The frame is held to the same cap as the screen: it bounds the work a small file can ask for.
  if (!ImageSizeAllowed(static_cast<uint64_t>(desc.Width), static_cast<uint64_t>(desc.Height))) return false;
  const size_t width = static_cast<size_t>(desc.Width);
  for (int stored = 0; stored < desc.Height; ++stored) {
    const int y = StoredRowToImageRow(stored, desc.Height, desc.Interlace);
    if (!desc.Interlace && desc.Top + y >= screenHeight) break;  // the rest lies below the screen
    if (rows.size() < (static_cast<size_t>(y) + 1) * width) rows.resize((static_cast<size_t>(y) + 1) * width);
    if (DGifGetLine(gif, rows.data() + static_cast<size_t>(y) * width, desc.Width) == GIF_ERROR) return false;
  }
  return true;
}

// The screen in its background colour with the image's opaque pixels on it, clipped to the screen.
void Compose(const GifFileType* gif, const std::vector<GifPixelType>& rows, int transparent, DecodedImage& out) {
  const GifImageDesc& desc = gif->Image;
  const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
  const uint32_t background = gif->SColorMap != nullptr ? MapColor(gif->SColorMap, gif->SBackGroundColor) : 0u;
  out.pixels.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height), background);
  const size_t width = static_cast<size_t>(desc.Width);
  const size_t rowCount = rows.size() / width;
  for (size_t y = 0; y < rowCount; ++y) {
    const int64_t screenY = static_cast<int64_t>(desc.Top) + static_cast<int64_t>(y);
    if (screenY >= out.height) break;
    for (size_t x = 0; x < width; ++x) {
      const int64_t screenX = static_cast<int64_t>(desc.Left) + static_cast<int64_t>(x);
      const GifPixelType index = rows[y * width + x];
      if (screenX >= out.width || index == transparent) continue;
      out.pixels[static_cast<size_t>(screenY * out.width + screenX)] = MapColor(map, index);
    }
  }
}

bool DecodeRecords(GifFileType* gif, DecodedImage& out) {
  if (!ImageSizeAllowed(static_cast<uint64_t>(gif->SWidth), static_cast<uint64_t>(gif->SHeight))) return false;
  out.width = gif->SWidth;
  out.height = gif->SHeight;
  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) return false;
    switch (record) {
      case IMAGE_DESC_RECORD_TYPE: {
        std::vector<GifPixelType> rows;
        if (!ReadFirstImage(gif, out.height, rows)) return false;
        if (gif->Image.ColorMap == nullptr && gif->SColorMap == nullptr) return false;  // no colours at all
        Compose(gif, rows, transparent, out);
        return true;
      }
      case EXTENSION_RECORD_TYPE:
        if (!ReadExtension(gif, transparent)) return false;
        break;
      default:
        return false;  // the trailer before any image, or a record giflib does not know
    }
  }
}

}  // namespace

bool GifDecode(const uint8_t* data, size_t size, DecodedImage& out) {
  out = DecodedImage{};
  if (data == nullptr || size == 0 || size > kMaxPictureFileBytes) return false;
  MemorySource source{data, size, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, ReadFromMemory, &error);
  if (gif == nullptr) return false;
  const bool ok = DecodeRecords(gif, out);
  DGifCloseFile(gif, &error);
  if (!ok) out = DecodedImage{};
  return ok;
}

}  // namespace platform
