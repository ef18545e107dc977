// Shared pieces of the GDI tests: a fixture that proves every test leaves no GDI object behind, a
// memory DC holding a fresh 32-bpp bitmap; pictures are compared with tests/common/image_compare.h.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/common/gdi_leak_test.h"
#include "tests/common/image_compare.h"

using GdiTest = GdiLeakTest;

// A memory DC with its own width x height bitmap selected, all black; both go away with it.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void Fill(COLORREF color);

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

// A pen or brush selected into a DC for the lifetime of this object, then deselected and deleted.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object);
  ~Selected();
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_;
  HGDIOBJ previous_;
};

// The pixels of a w x h area as rows of characters, '#' where the pixel is `ink` and '.' elsewhere:
// small pictures that tests compare with their expected drawing.
std::string Picture(HDC dc, int width, int height, COLORREF ink);
