#include "gdi_test.h"

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
  dc_ = CreateCompatibleDC(nullptr);
  bitmap_ = CreateBitmap(width, height, 1, 32, nullptr);
  previous_ = SelectObject(dc_, bitmap_);
}

Canvas::~Canvas() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void Canvas::Fill(COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  HGDIOBJ old = SelectObject(dc_, brush);
  PatBlt(dc_, 0, 0, width_, height_, PATCOPY);
  SelectObject(dc_, old);
  DeleteObject(brush);
}

Selected::Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object) { previous_ = SelectObject(dc, object); }

Selected::~Selected() {
  SelectObject(dc_, previous_);
  DeleteObject(object_);
}

std::string Picture(HDC dc, int width, int height, COLORREF ink) {
  std::string out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) out += GetPixel(dc, x, y) == ink ? '#' : '.';
    out += '\n';
  }
  return out;
}
