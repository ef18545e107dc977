// Display DCs over a USER32 surface, as USER32's GetDC and BeginPaint use them, and drawing from two
// threads into one back buffer.
#include <atomic>
#include <thread>
#include <vector>

#include "gdi_test.h"
#include "platform/gdi32/display_dc.h"

namespace {

class DisplayDcs : public GdiTest {};

struct FakeWindow {
  std::vector<uint32_t> pixels;
  platform::DisplaySurface surface;
  int changes = 0;

  FakeWindow(int width, int height) : pixels(static_cast<size_t>(width) * height, 0) {
    surface.bits = pixels.data();
    surface.width = width;
    surface.height = height;
    surface.owner = this;
    surface.changed = [](platform::DisplaySurface* s) { ++static_cast<FakeWindow*>(s->owner)->changes; };
  }
};

TEST_F(DisplayDcs, DrawingLandsInTheSurfaceAndReportsTheChange) {
  FakeWindow window(20, 10);
  HDC dc = platform::GdiCreateDisplayDC(&window.surface);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 20);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 10);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  SetPixel(dc, 3, 4, RGB(1, 2, 3));
  EXPECT_EQ(window.pixels[4 * 20 + 3], RGB(1, 2, 3)) << "surface pixels are 0x00BBGGRR";
  EXPECT_EQ(window.changes, 1);
  EXPECT_EQ(GetPixel(dc, 3, 4), RGB(1, 2, 3));
  EXPECT_EQ(window.changes, 1) << "reading changes nothing";
  PatBlt(dc, 0, 0, 100, 100, BLACKNESS);
  EXPECT_EQ(window.changes, 2);
  EXPECT_FALSE(DeleteDC(dc)) << "a display DC goes back through ReleaseDC";
  platform::GdiDeleteDisplayDC(dc);
  EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST_F(DisplayDcs, DrawingFollowsTheSurfaceWhenItIsResized) {
  FakeWindow window(20, 10);
  HDC dc = platform::GdiCreateDisplayDC(&window.surface);
  {
    platform::GdiGuard lock(platform::GdiLock());
    window.surface.width = 5;  // USER32 shrinks the drawable size under the lock
    window.surface.height = 5;
  }
  EXPECT_EQ(SetPixel(dc, 6, 1, RGB(9, 9, 9)), CLR_INVALID);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 5);
  platform::GdiDeleteDisplayDC(dc);
}

TEST_F(DisplayDcs, CompatibleDcsAndBitmapsOfADisplayDcAre32BitsAndKnowTheDevice) {
  FakeWindow window(64, 48);
  HDC screen = platform::GdiCreateDisplayDC(&window.surface);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 30, 20);
  HDC memory = CreateCompatibleDC(screen);
  EXPECT_EQ(SelectObject(screen, bitmap), nullptr) << "a display DC holds no bitmap";
  HGDIOBJ old = SelectObject(memory, bitmap);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(GetDeviceCaps(memory, HORZRES), 64);
  EXPECT_EQ(GetDeviceCaps(memory, VERTRES), 48);
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 32);
  // Objects selected into a display DC are let go when it is released.
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  SelectObject(screen, pen);
  platform::GdiDeleteDisplayDC(screen);
  EXPECT_TRUE(DeleteObject(pen));
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
}

TEST_F(DisplayDcs, TwoThreadsDrawIntoOneBackBufferWithoutRacing) {
  Canvas back(256, 128);
  FakeWindow window(256, 128);
  std::atomic<bool> go{false};
  // The main thread draws into the back buffer while the interface thread copies it to the window,
  // as the program does; every call is atomic, so each copy sees whole operations.
  std::thread painter([&] {
    HDC dc = platform::GdiCreateDisplayDC(&window.surface);
    while (!go.load()) std::this_thread::yield();
    for (int i = 0; i < 200; ++i) BitBlt(dc, 0, 0, 256, 128, back.dc(), 0, 0, SRCCOPY);
    platform::GdiDeleteDisplayDC(dc);
  });
  go = true;
  for (int i = 0; i < 200; ++i) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(i, 255 - i, 7));
    HGDIOBJ old = SelectObject(back.dc(), pen);
    MoveToEx(back.dc(), 0, i % 128, nullptr);
    LineTo(back.dc(), 256, i % 128);
    SelectObject(back.dc(), old);
    DeleteObject(pen);
  }
  painter.join();
  HDC dc = platform::GdiCreateDisplayDC(&window.surface);
  BitBlt(dc, 0, 0, 256, 128, back.dc(), 0, 0, SRCCOPY);
  platform::GdiDeleteDisplayDC(dc);
  for (int y = 0; y < 128; ++y) {
    int last = y + 128 < 200 ? y + 128 : y;
    ASSERT_EQ(window.pixels[static_cast<size_t>(y) * 256 + 100], RGB(last, 255 - last, 7)) << y;
  }
}

}  // namespace
