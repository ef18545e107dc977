#include "graphics/picture_loader.h"

#include "graphics/himetric.h"

namespace {

// A JPEG or GIF is read into memory whole before it is decoded; larger files are not pictures we
// take (the decoder caps its output far below what such a file could describe).
constexpr DWORD kMaxOleFileBytes = 64u * 1024u * 1024u;

constexpr BYTE kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
// The IHDR chunk's data: after the signature, the chunk length and the chunk type.
constexpr LONG kPngIhdrDataOffset = 16;

int32_t FromBigEndian(const BYTE bytes[4]) {
  return static_cast<int32_t>((static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
                              (static_cast<uint32_t>(bytes[2]) << 8) | static_cast<uint32_t>(bytes[3]));
}

// Reads the whole file into fixed global memory; null when it is empty, too large or unreadable.
HGLOBAL ReadWholeFile(HANDLE file, DWORD size) {
  if (size == 0 || size == INVALID_FILE_SIZE || size > kMaxOleFileBytes) return nullptr;
  HGLOBAL memory = GlobalAlloc(GMEM_ZEROINIT, size);
  if (memory == nullptr) return nullptr;
  void* bytes = GlobalLock(memory);
  DWORD read = 0;
  const bool complete = bytes != nullptr && ReadFile(file, bytes, size, &read, nullptr) && read == size;
  GlobalUnlock(memory);
  if (!complete) {
    GlobalFree(memory);
    return nullptr;
  }
  return memory;
}

}  // namespace

void PictureInit(PictureLoader* loader) {
  loader->kind = kPictureNone;
  loader->fileBitmap = nullptr;
}

int32_t PictureLoadFile(PictureLoader* loader, LPCSTR path) {
  // Share mode 0: nobody else may have the file open while we read it.
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;

  PictureReset(loader);
  loader->kind = SniffFormat(loader, file);

  int32_t result = 0;
  switch (loader->kind) {
    case kPictureBmp:
      // The system image loader opens the file again by name.
      CloseHandle(file);
      return PictureLoadBmp(loader, path);
    case kPictureNone:
      result = 0;
      break;
    case kPicturePng:
      result = PictureReadPngSize(loader, file);
      break;
    default:
      result = PictureLoadOle(loader, file);
      break;
  }
  CloseHandle(file);
  return result;
}

HBITMAP PictureGetBitmap(PictureLoader* loader) {
  switch (loader->kind) {
    case kPictureBmp:
      return loader->fileBitmap;
    case kPictureNone:
    case kPicturePng:
      return nullptr;
    default: {
      if (loader->picture == nullptr) return nullptr;
      OLE_HANDLE handle = 0;
      loader->picture->get_Handle(&handle);
      return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    }
  }
}

int32_t PictureReset(PictureLoader* loader) {
  if (loader->fileBitmap != nullptr) DeleteObject(loader->fileBitmap);
  loader->fileBitmap = nullptr;
  if (loader->picture != nullptr && (loader->kind == kPictureJpeg || loader->kind == kPictureGif)) {
    loader->picture->Release();
    loader->picture = nullptr;
  }
  loader->kind = kPictureNone;
  loader->width = 0;
  loader->height = 0;
  return 0;
}

void PictureDestroy(PictureLoader* loader) { PictureReset(loader); }

int32_t SniffFormat(PictureLoader*, HANDLE file) {
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  // A file shorter than eight bytes compares as if padded with zero bytes.
  BYTE head[8] = {};
  DWORD read = 0;
  ReadFile(file, head, sizeof head, &read, nullptr);

  int32_t kind = kPictureNone;
  if (head[0] == 0x42 && head[1] == 0x4D) {
    kind = kPictureBmp;
  } else if (head[0] == 0x47 && head[1] == 0x49 && head[2] == 0x46) {
    kind = kPictureGif;
  } else if (head[0] == 0xFF && head[1] == 0xD8) {
    kind = kPictureJpeg;
  } else {
    bool png = true;
    for (int i = 0; i < 8; ++i) png = png && head[i] == kPngSignature[i];
    if (png) kind = kPicturePng;
  }
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  return kind;
}

int32_t PictureLoadBmp(PictureLoader* loader, LPCSTR path) {
  // Desired size 0 x 0 and no flag but LR_LOADFROMFILE: the file's own size, a display-compatible bitmap.
  loader->fileBitmap = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (loader->fileBitmap == nullptr) return 0;
  BITMAP info = {};
  GetObjectA(loader->fileBitmap, sizeof info, &info);
  loader->width = info.bmWidth;
  loader->height = info.bmHeight;
  return 1;
}

int32_t PictureReadPngSize(PictureLoader* loader, HANDLE file) {
  SetFilePointer(file, kPngIhdrDataOffset, nullptr, FILE_BEGIN);
  BYTE width[4] = {};
  BYTE height[4] = {};
  DWORD read = 0;
  ReadFile(file, width, sizeof width, &read, nullptr);
  ReadFile(file, height, sizeof height, &read, nullptr);
  loader->width = FromBigEndian(width);
  loader->height = FromBigEndian(height);
  // Measured, never decoded: there is no bitmap to hand out.
  return 0;
}

int32_t PictureLoadOle(PictureLoader* loader, HANDLE file) {
  const DWORD size = GetFileSize(file, nullptr);
  HGLOBAL memory = ReadWholeFile(file, size);
  if (memory == nullptr) return 0;

  IStream* stream = nullptr;
  // On success the stream owns the memory and frees it when released.
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream)) || stream == nullptr) {
    GlobalFree(memory);
    return 0;
  }
  OleLoadPicture(stream, static_cast<LONG>(size), TRUE, IID_IPicture, reinterpret_cast<LPVOID*>(&loader->picture));
  stream->Release();

  int32_t result = 0;
  if (loader->picture != nullptr) {
    SHORT type = 0;
    loader->picture->get_Type(&type);
    // A picture of another type stays held until the next reset.
    if (type == PICTYPE_BITMAP) {
      OLE_XSIZE_HIMETRIC himetricWidth = 0;
      OLE_YSIZE_HIMETRIC himetricHeight = 0;
      loader->picture->get_Width(&himetricWidth);
      loader->picture->get_Height(&himetricHeight);
      const SIZE himetric = {himetricWidth, himetricHeight};
      SIZE pixels = {};
      HiMetricToPixel(&himetric, &pixels);
      loader->width = pixels.cx;
      loader->height = pixels.cy;
      result = 1;
    }
  }
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  return result;
}
