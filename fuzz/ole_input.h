// Fuzz inputs handed to OleLoadPicture the way a program hands it a file: in global memory, through
// a stream that frees the memory on release, with a signature forced so each target stays on one
// decoder's path.
#pragma once

#include <cstring>
#include <vector>

#include "platform/win32.h"

inline void LoadThroughOle(const uint8_t* data, size_t size, const char* signature, size_t signatureLength) {
  std::vector<uint8_t> bytes(data, data + size);
  if (bytes.size() < signatureLength) bytes.resize(signatureLength);
  std::memcpy(bytes.data(), signature, signatureLength);
  HGLOBAL memory = GlobalAlloc(GMEM_FIXED, bytes.size());
  if (memory == nullptr) return;
  std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) return;
  IPicture* picture = nullptr;
  OleLoadPicture(stream, static_cast<LONG>(bytes.size()), TRUE, IID_IPicture, reinterpret_cast<void**>(&picture));
  stream->Release();
  if (picture != nullptr) picture->Release();
}
