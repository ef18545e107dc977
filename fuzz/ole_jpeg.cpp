// OleLoadPicture's JPEG path: every input starts with a JPEG start-of-image marker.
#include "ole_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LoadThroughOle(data, size, "\xFF\xD8", 2);
  return 0;
}
