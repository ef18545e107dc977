#include "platform/user32/bmp_file.h"

#include "platform/kernel32/kernel32.h"

namespace platform {

namespace {

bool ReadAll(HANDLE file, std::vector<uint8_t>& bytes, DWORD& error) {
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t left = bytes.size() - done;
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!ReadFile(file, bytes.data() + done, chunk, &got, nullptr)) {
      error = GetLastError();
      return false;
    }
    if (got == 0) break;  // the file shrank under us: decode what is there
    done += got;
  }
  bytes.resize(done);
  return true;
}

}  // namespace

bool BmpReadFile(LPCSTR path, uint64_t maxBytes, std::vector<uint8_t>& bytes, DWORD& error) {
  bytes.clear();
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return false;
  }
  DWORD high = 0;
  SetLastError(ERROR_SUCCESS);
  const DWORD low = GetFileSize(file, &high);
  const uint64_t size = static_cast<uint64_t>(high) << 32 | low;
  bool ok = false;
  if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
    error = GetLastError();
  } else if (size > maxBytes) {
    error = ERROR_NOT_ENOUGH_MEMORY;
  } else {
    bytes.resize(static_cast<size_t>(size));
    ok = ReadAll(file, bytes, error);
  }
  CloseHandle(file);
  if (!ok) bytes.clear();
  return ok;
}

}  // namespace platform
