// The BMP decoder behind LoadImageA, on any bytes.
#include "platform/imaging/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::DecodedImage image;
  platform::BmpDecode(data, size, image);
  return 0;
}
