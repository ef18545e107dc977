// Window and screen DCs, erasing with the class brush, and resizing with its invalidation.
#include "window_harness.h"

using namespace harness;

namespace {

class Painting : public ::testing::Test {
 protected:
  void SetUp() override { PrepareWindows(); }
};

RECT UpdateOf(HWND w) {
  RECT r{};
  GetUpdateRect(w, &r, FALSE);
  return r;
}

TEST_F(Painting, PixelsDrawnOnAWindowDcStayInTheWindowFromAnyThread) {
  WindowThread ui;
  HWND w = ui.Create();
  ASSERT_TRUE(SupportWaitIdle(w));  // painted (and erased) once shown
  // Drawn here, on a thread that does not own the window.
  HDC dc = GetDC(w);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(SetPixel(dc, 5, 6, RGB(10, 20, 30)), RGB(10, 20, 30));
  EXPECT_EQ(ReleaseDC(w, dc), 1);
  EXPECT_EQ(ReleaseDC(w, dc), 0);  // already released
  COLORREF seen = 0;
  ui.Call([&] {
    HDC own = GetDC(w);
    seen = GetPixel(own, 5, 6);
    ReleaseDC(w, own);
  });
  EXPECT_EQ(seen, RGB(10, 20, 30));
  // Drawing is clipped to the client area.
  dc = GetDC(w);
  EXPECT_EQ(GetPixel(dc, 800, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 799, 599), 0u);
  ReleaseDC(w, dc);
}

TEST_F(Painting, TheScreenDcCoversTheVirtualScreen) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(SetPixel(screen, 1023, 767, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(screen, 1023, 767), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(screen, 1024, 0), CLR_INVALID);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST_F(Painting, BeginPaintErasesWithTheClassBrush) {
  WindowThread ui;
  HWND w = ui.Create(kPlainClass, 300, 300);  // white background
  ASSERT_TRUE(SupportWaitIdle(w));            // the first paint erased everything
  COLORREF corner = 0, middle = 0;
  BOOL fErase = TRUE;
  ui.Call([&] {
    HDC dc = GetDC(w);
    corner = GetPixel(dc, 0, 0);
    SetPixel(dc, 50, 50, RGB(255, 0, 0));
    ReleaseDC(w, dc);
    InvalidateRect(w, nullptr, TRUE);
    PAINTSTRUCT ps;
    BeginPaint(w, &ps);
    middle = GetPixel(ps.hdc, 50, 50);
    fErase = ps.fErase;
    EndPaint(w, &ps);
  });
  EXPECT_EQ(corner, RGB(255, 255, 255));
  EXPECT_EQ(middle, RGB(255, 255, 255));
  EXPECT_FALSE(fErase);  // the default procedure erased it
  EXPECT_FALSE(LogOf(w, WM_ERASEBKGND).empty());
}

TEST_F(Painting, ResizingWithRedrawStylesInvalidatesAllAndSendsTheNewSize) {
  WindowThread ui;
  HWND w = ui.Create();
  ASSERT_TRUE(SupportWaitIdle(w));
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  int extraW = frame.right - frame.left, extraH = frame.bottom - frame.top;
  RECT update{};
  ui.Call([&] {
    ASSERT_TRUE(SetWindowPos(w, nullptr, 0, 0, 500 + extraW, 400 + extraH, SWP_NOMOVE | SWP_NOZORDER));
    update = UpdateOf(w);
  });
  RECT client{};
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 500);
  EXPECT_EQ(client.bottom, 400);
  auto sizes = LogOf(w, WM_SIZE);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back().lParam, MAKELPARAM(500, 400));
  EXPECT_EQ(update.right, 500);
  EXPECT_EQ(update.bottom, 400);
  EXPECT_EQ(update.left, 0);
  EXPECT_EQ(update.top, 0);
  // The pixels inside the new size are kept; those it gains are black. (Erasing is turned off, so
  // the repaint that the resizing causes leaves the pixels as the resizing made them.)
  ASSERT_TRUE(SupportWaitIdle(w));
  SetHook([](HWND, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    *result = 1;
    return msg == WM_ERASEBKGND;
  });
  HDC dc = GetDC(w);
  SetPixel(dc, 100, 100, RGB(9, 9, 9));
  SetPixel(dc, 499, 399, RGB(7, 7, 7));
  ReleaseDC(w, dc);
  ui.Call([&] { MoveWindow(w, 0, 0, 900 + extraW, 700 + extraH, TRUE); });
  ASSERT_TRUE(SupportWaitIdle(w));
  dc = GetDC(w);
  EXPECT_EQ(GetPixel(dc, 100, 100), RGB(9, 9, 9));
  EXPECT_EQ(GetPixel(dc, 499, 399), RGB(7, 7, 7));
  EXPECT_EQ(GetPixel(dc, 850, 650), 0u);
  ReleaseDC(w, dc);
}

TEST_F(Painting, ResizingWithoutRedrawStylesInvalidatesOnlyWhatTheWindowGains) {
  WindowThread ui;
  HWND w = ui.Create(kPlainClass);
  ASSERT_TRUE(SupportWaitIdle(w));
  RECT update{};
  ui.Call([&] {
    ValidateRect(w, nullptr);
    SupportResizeClient(w, 900, 600);  // as the user drags the right edge
    update = UpdateOf(w);
  });
  EXPECT_EQ(update.left, 800);
  EXPECT_EQ(update.right, 900);
  EXPECT_EQ(update.top, 0);
  EXPECT_EQ(update.bottom, 600);
  ui.Call([&] {
    ValidateRect(w, nullptr);
    SupportResizeClient(w, 700, 600);  // shrinking shows nothing new
    update = UpdateOf(w);
  });
  EXPECT_EQ(update.right, 0);
  ASSERT_TRUE(SupportWaitIdle(w));
  auto sizes = LogOf(w, WM_SIZE);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back().lParam, MAKELPARAM(700, 600));
  EXPECT_EQ(sizes.back().thread, ui.Id());
}

TEST_F(Painting, TheUserResizingARedrawWindowRepaintsItWhole) {
  WindowThread ui;
  HWND w = ui.Create();
  ASSERT_TRUE(SupportWaitIdle(w));
  SetHook([&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
    if (hwnd == w && msg == WM_PAINT) {
      RECT r = UpdateOf(w);
      EXPECT_EQ(r.right, 1000);
      EXPECT_EQ(r.bottom, 700);
    }
    return false;
  });
  size_t before = LogOf(w, WM_PAINT).size();
  SupportResizeClient(w, 1000, 700);
  ASSERT_TRUE(SupportWaitIdle(w));
  EXPECT_EQ(LogOf(w, WM_PAINT).size(), before + 1);
}

TEST_F(Painting, ADcOutlivingItsWindowDrawsOnNothing) {
  WindowThread ui;
  HWND w = ui.Create();
  HDC dc = GetDC(w);
  ui.Call([&] { DestroyWindow(w); });
  EXPECT_EQ(GetPixel(dc, 1, 1), CLR_INVALID);
  SetPixel(dc, 1, 1, RGB(1, 1, 1));  // must not touch freed pixels
  EXPECT_EQ(ReleaseDC(w, dc), 1);
}

}  // namespace
