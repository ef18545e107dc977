// JPEG through libjpeg-turbo. libjpeg reports fatal errors by calling error_exit, which must not
// return: it jumps back to the setjmp in RunDecompress, whose frame holds no C++ objects.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/imaging/picture_decoders.h"

namespace platform {

namespace {

struct ErrorManager {
  jpeg_error_mgr base;  // first, so libjpeg's pointer to it is a pointer to us
  std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings stay silent, except the end of the data (or of a scan's data, at the next marker)
// before the end of the picture: that file is truncated, and we refuse it rather than show the
// grey or flat blocks libjpeg would make up for the missing part.
void EmitMessage(j_common_ptr cinfo, int level) {
  const int code = cinfo->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) ErrorExit(cinfo);
}

void LimitScans(j_common_ptr cinfo) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (decompress->input_scan_number > kMaxJpegScans) ErrorExit(cinfo);
}

// CMYK as Adobe writes it (inverted: 255 is no ink) or as the standard has it.
uint32_t CmykToColor(const JSAMPLE* p, bool inverted) {
  unsigned c = p[0], m = p[1], y = p[2], k = p[3];
  if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
  return (c * k / 255) | (m * k / 255) << 8 | (y * k / 255) << 16;
}

struct Buffers {
  DecodedImage* out;
  std::vector<JSAMPLE>* cmykRow;
  jpeg_progress_mgr* progress;
};

// The decode itself. Returns false on any error; libjpeg's state is cleaned up by the caller.
bool RunDecompress(jpeg_decompress_struct& cinfo, ErrorManager& err, const uint8_t* data, size_t size,
                   Buffers buffers) {
  if (setjmp(err.jump)) return false;
  jpeg_create_decompress(&cinfo);  // clears every field but the error manager
  cinfo.progress = buffers.progress;
  cinfo.mem->max_memory_to_use = kMaxJpegWorkBytes;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
  if (!ImageSizeAllowed(cinfo.image_width, cinfo.image_height)) return false;
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
  jpeg_start_decompress(&cinfo);

  DecodedImage& out = *buffers.out;
  out.width = static_cast<int32_t>(cinfo.output_width);
  out.height = static_cast<int32_t>(cinfo.output_height);
  // The rows are added as they arrive, so a file whose data ends early costs no more than it holds.
  out.pixels.reserve(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
  if (cmyk) buffers.cmykRow->resize(static_cast<size_t>(out.width) * 4u);
  while (cinfo.output_scanline < cinfo.output_height) {
    out.pixels.resize(out.pixels.size() + static_cast<size_t>(out.width));
    uint32_t* target = out.pixels.data() + static_cast<size_t>(cinfo.output_scanline) * out.width;
    JSAMPROW row = cmyk ? buffers.cmykRow->data() : reinterpret_cast<JSAMPROW>(target);
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
    for (int32_t x = 0; x < out.width; ++x) {
      // RGBX lands in memory as 0xXXBBGGRR: only the filler byte has to go.
      target[x] = cmyk ? CmykToColor(row + 4 * x, cinfo.saw_Adobe_marker) : target[x] & 0x00FFFFFFu;
    }
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

bool JpegDecode(const uint8_t* data, size_t size, DecodedImage& out) {
  out = DecodedImage{};
  if (data == nullptr || size == 0 || size > kMaxPictureFileBytes) return false;
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  jpeg_progress_mgr progress{};
  std::vector<JSAMPLE> cmykRow;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = ErrorExit;
  err.base.emit_message = EmitMessage;
  progress.progress_monitor = LimitScans;
  const bool ok = RunDecompress(cinfo, err, data, size, Buffers{&out, &cmykRow, &progress});
  jpeg_destroy_decompress(&cinfo);
  if (!ok) out = DecodedImage{};
  return ok;
}

}  // namespace platform
