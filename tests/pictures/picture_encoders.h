// Reference JPEG and GIF files made by the tests themselves with libjpeg-turbo and giflib.
#pragma once

#include <vector>

#include "picture_test_support.h"

struct JpegOptions {
  bool progressive = false;
  bool grey = false;  // written from the red channel
  int quality = 100;
};
Bytes EncodeJpeg(const PixelImage& image, const JpegOptions& options);

// A GIF frame: palette indexes top-down, placed on the logical screen.
struct GifFrame {
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  int transparent = -1;              // graphic control extension before the frame when >= 0
  std::vector<uint32_t> localColors; // COLORREFs; empty: the global table
  std::vector<uint8_t> indexes;      // width x height
};
struct GifSpec {
  int width = 0, height = 0;
  int background = 0;
  std::vector<uint32_t> globalColors;  // empty: no global table
  std::vector<GifFrame> frames;
};
Bytes EncodeGif(const GifSpec& layout);

// The order in which an interlaced image of `height` rows stores its rows.
std::vector<int> InterlacedRowOrder(int height);
