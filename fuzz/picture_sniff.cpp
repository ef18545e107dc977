// The picture loader's format sniffing and PNG measuring, on a file holding the input.
#include <cstdio>
#include <string>
#include <unistd.h>

#include "graphics/picture_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz-picture-sniff-" + std::to_string(getpid());
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return 0;
  std::fwrite(data, 1, size, out);
  std::fclose(out);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  PictureLoader loader{};
  PictureInit(&loader);
  loader.kind = SniffFormat(&loader, file);
  PictureReadPngSize(&loader, file);
  CloseHandle(file);
  PictureDestroy(&loader);
  return 0;
}
