// Inside OLE only: the picture object that owns a bitmap made from a decoded file.
#pragma once

#include "platform/win32_types.h"

struct IPicture;

namespace platform::ole {

// A new picture (one reference) that owns `bitmap` and deletes it on its final Release; its size
// is given in pixels and reported in HIMETRIC at 96 DPI.
IPicture* CreateBitmapPicture(HBITMAP bitmap, int widthPixels, int heightPixels);

}  // namespace platform::ole
