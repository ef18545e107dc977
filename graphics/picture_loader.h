// The picture loader: turns a picture file into a bitmap handle and a size in pixels. The format is
// decided by the file's first eight bytes: BMP through the system image loader, JPEG and GIF through
// the OLE picture loader, PNG only measured from its header. Nothing is ever shown or logged.
#pragma once

#include <cstdint>

#include "platform/win32.h"

enum PictureKind : int32_t {
  kPictureNone = 0,
  kPictureBmp = 1,
  kPictureJpeg = 2,
  kPictureGif = 3,
  kPicturePng = 4,
};

struct PictureLoader {
  int32_t width;      // pixels; 0 when empty
  int32_t height;
  int32_t kind;       // a PictureKind: the format of the file last opened
  IPicture* picture;  // JPEG or GIF (kinds 2 and 3); one reference held
  HBITMAP fileBitmap; // BMP (kind 1); owned
};

void PictureInit(PictureLoader* loader);
// 1 when a bitmap picture was loaded (kinds 1, 2, 3). A file that cannot be opened leaves the loader
// as it was; any other failure leaves it empty or in the failed state of the file's kind.
int32_t PictureLoadFile(PictureLoader* loader, LPCSTR path);
// Lends the current picture's bitmap (null for kinds 0 and 4): valid until the next PictureReset.
HBITMAP PictureGetBitmap(PictureLoader* loader);
int32_t PictureReset(PictureLoader* loader);
void PictureDestroy(PictureLoader* loader);

// The steps of PictureLoadFile.
int32_t SniffFormat(PictureLoader* loader, HANDLE file);
int32_t PictureLoadBmp(PictureLoader* loader, LPCSTR path);
int32_t PictureReadPngSize(PictureLoader* loader, HANDLE file);
int32_t PictureLoadOle(PictureLoader* loader, HANDLE file);
