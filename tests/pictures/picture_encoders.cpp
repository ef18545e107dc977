#include "picture_encoders.h"

#include <cstdio>
#include <cstring>

#include <gif_lib.h>
#include <jpeglib.h>

Bytes EncodeJpeg(const PixelImage& image, const JpegOptions& options) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = options.grey ? 1 : 3;
  cinfo.in_color_space = options.grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, options.quality, TRUE);
  if (!options.grey) {
    for (int c = 0; c < 3; ++c) cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;  // no subsampling
  }
  if (options.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(image.width) * cinfo.input_components);
  while (cinfo.next_scanline < cinfo.image_height) {
    for (int x = 0; x < image.width; ++x) {
      const uint32_t p = image.At(x, static_cast<int>(cinfo.next_scanline));
      if (options.grey) {
        row[x] = static_cast<JSAMPLE>(p & 0xFF);
      } else {
        row[3 * x] = static_cast<JSAMPLE>(p & 0xFF);
        row[3 * x + 1] = static_cast<JSAMPLE>(p >> 8 & 0xFF);
        row[3 * x + 2] = static_cast<JSAMPLE>(p >> 16 & 0xFF);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

std::vector<int> InterlacedRowOrder(int height) {
  std::vector<int> order;
  const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = starts[pass]; y < height; y += steps[pass]) order.push_back(y);
  }
  return order;
}

namespace {

int WriteToBytes(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

ColorMapObject* MakeMap(const std::vector<uint32_t>& colors) {
  if (colors.empty()) return nullptr;
  int size = 2;
  while (size < static_cast<int>(colors.size())) size *= 2;
  std::vector<GifColorType> entries(static_cast<size_t>(size), GifColorType{0, 0, 0});
  for (size_t i = 0; i < colors.size(); ++i) {
    entries[i] = GifColorType{static_cast<GifByteType>(colors[i] & 0xFF), static_cast<GifByteType>(colors[i] >> 8 & 0xFF),
                              static_cast<GifByteType>(colors[i] >> 16 & 0xFF)};
  }
  return GifMakeMapObject(size, entries.data());
}

}  // namespace

Bytes EncodeGif(const GifSpec& layout) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToBytes, &error);
  EGifSetGifVersion(gif, true);
  ColorMapObject* global = MakeMap(layout.globalColors);
  EGifPutScreenDesc(gif, layout.width, layout.height, 8, layout.background, global);
  for (const GifFrame& frame : layout.frames) {
    if (frame.transparent >= 0) {
      GraphicsControlBlock control{};
      control.TransparentColor = frame.transparent;
      GifByteType extension[4];
      const size_t length = EGifGCBToExtension(&control, extension);
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
    }
    ColorMapObject* local = MakeMap(frame.localColors);
    EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced, local);
    std::vector<int> order;
    if (frame.interlaced) {
      order = InterlacedRowOrder(frame.height);
    } else {
      for (int y = 0; y < frame.height; ++y) order.push_back(y);
    }
    for (int y : order) {
      std::vector<GifPixelType> line(frame.indexes.begin() + static_cast<ptrdiff_t>(y) * frame.width,
                                     frame.indexes.begin() + static_cast<ptrdiff_t>(y + 1) * frame.width);
      EGifPutLine(gif, line.data(), frame.width);
    }
    GifFreeMapObject(local);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(global);
  return out;
}
