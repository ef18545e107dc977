// The graphics suite runs in one console: the headless display and the program's start-up, once per
// process. Every test starts from a black window and back buffer, with the three pages set up as the
// demonstration sets them up, and must give back every GDI object it made.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/common/gdi_leak_test.h"
#include "tools/png_file.h"

class GraphicsTest : public GdiLeakTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The window's client pixels and the back buffer's pixels at (x, y), width x height.
  static PixelImage WindowPixels(int x, int y, int width, int height);
  static PixelImage BackPixels(int x, int y, int width, int height);
  static PixelImage BitmapPixels(HBITMAP bitmap);
  // Paints a rectangle of the back buffer (and, with `window`, of the window) in one colour.
  static void FillBack(int x, int y, int width, int height, COLORREF color, bool window = false);
  // A fresh path in this test's own temporary directory.
  std::string TempPath(const std::string& name);

 private:
  std::string tempDir_;
};

// The number of live GDI objects of this process.
DWORD GdiObjects();
