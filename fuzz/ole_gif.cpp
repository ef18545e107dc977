// OleLoadPicture's GIF path: every input starts with a GIF signature.
#include "ole_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LoadThroughOle(data, size, "GIF8", 4);
  return 0;
}
