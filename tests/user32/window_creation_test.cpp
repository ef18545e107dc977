// Creating, showing and destroying windows.
#include "window_harness.h"

using namespace harness;

namespace {

class WindowCreation : public ::testing::Test {
 protected:
  void SetUp() override { PrepareWindows(); }
};

std::vector<UINT> MessagesOf(HWND hwnd) {
  std::vector<UINT> out;
  for (auto& s : Log())
    if (s.hwnd == hwnd) out.push_back(s.message);
  return out;
}

TEST_F(WindowCreation, CreateSendsNcCreateCreateSizeMoveInsideTheCallWithTheCreateStruct) {
  WindowThread ui;
  int marker = 0;
  std::string className, caption;
  void* params = nullptr;
  bool createdBeforeReturn = false;
  HWND made = nullptr;
  SetHook([&](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT*) {
    if (msg == WM_CREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      className = cs->lpszClass;
      caption = cs->lpszName;
      params = cs->lpCreateParams;
      createdBeforeReturn = made == nullptr;
    }
    return false;
  });
  ui.Call([&] {
    made = CreateWindowExA(WS_EX_CLIENTEDGE, kRedrawClass, "caption", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, &marker);
  });
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(createdBeforeReturn);
  EXPECT_EQ(className, kRedrawClass);
  EXPECT_EQ(caption, "caption");
  EXPECT_EQ(params, &marker);
  std::vector<UINT> expected = {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE};
  EXPECT_EQ(MessagesOf(made), expected);
  // Nothing is painted before the window is shown.
  ASSERT_TRUE(SupportWaitIdle(made));
  EXPECT_TRUE(LogOf(made, WM_PAINT).empty());
  ui.Call([&] { DestroyWindow(made); });
}

TEST_F(WindowCreation, DefaultSizeGivesAClientOf800By600OnA1024By768Screen) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  WindowThread ui;
  HWND w = ui.Create();
  RECT client{};
  ASSERT_TRUE(GetClientRect(w, &client));
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
  auto sizes = LogOf(w, WM_SIZE);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(LOWORD(sizes[0].lParam), 800);
  EXPECT_EQ(HIWORD(sizes[0].lParam), 600);
}

TEST_F(WindowCreation, AnExplicitSizeIsTheWholeWindowAndAdjustWindowRectExGivesItsFrame) {
  WindowThread ui;
  RECT want{0, 0, 300, 200};
  ASSERT_TRUE(AdjustWindowRectEx(&want, WS_OVERLAPPEDWINDOW, FALSE, 0));
  HWND w = ui.Create(kRedrawClass, want.right - want.left, want.bottom - want.top);
  RECT client{}, outer{};
  GetClientRect(w, &client);
  GetWindowRect(w, &outer);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  EXPECT_EQ(outer.right - outer.left, want.right - want.left);
  EXPECT_EQ(outer.bottom - outer.top, want.bottom - want.top);
}

TEST_F(WindowCreation, CreateFailsWhenWmCreateReturnsMinusOneAndTheWindowIsDestroyed) {
  WindowThread ui;
  HWND seen = nullptr;
  SetHook([&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_CREATE) return false;
    seen = hwnd;
    *result = -1;
    return true;
  });
  HWND w = ui.Create();
  EXPECT_EQ(w, nullptr);
  ASSERT_NE(seen, nullptr);
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_EQ(LogOf(seen, WM_DESTROY).size(), 1u);
  EXPECT_EQ(LogOf(seen, WM_NCDESTROY).size(), 1u);
}

TEST_F(WindowCreation, AnUnknownClassOrABadRegistrationFails) {
  HWND w = CreateWindowExA(0, "NoSuchClass", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(w, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = kRedrawClass;  // already registered (names compare without case)
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
  wc.lpszClassName = "harnessredraw";
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  wc.lpszClassName = "Fresh";
  wc.cbSize = 12;
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(WindowCreation, ADestroyedWindowsHandleIsStaleEverywhereAndNotReused) {
  WindowThread ui;
  HWND first = ui.Create();
  ASSERT_NE(first, nullptr);
  EXPECT_LT(reinterpret_cast<uintptr_t>(first), 0x100000000ull);
  ui.Call([&] { EXPECT_TRUE(DestroyWindow(first)); });
  EXPECT_FALSE(IsWindow(first));
  RECT r;
  EXPECT_FALSE(GetClientRect(first, &r));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(SendMessageA(first, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessageA(first, WM_USER, 0, 0));
  EXPECT_EQ(GetDC(first), nullptr);
  EXPECT_FALSE(InvalidateRect(first, nullptr, TRUE));
  HWND second = ui.Create();
  EXPECT_NE(second, first);
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(0x12345)));
}

TEST_F(WindowCreation, OnlyTheOwnerThreadMayDestroyAWindow) {
  WindowThread ui;
  HWND w = ui.Create();
  EXPECT_FALSE(DestroyWindow(w));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(IsWindow(w));
}

TEST_F(WindowCreation, CloseThroughDefWindowProcDestroysTheWindow) {
  WindowThread ui;
  HWND w = ui.Create();
  SupportCloseWindow(w);
  ASSERT_TRUE(SupportWaitIdle(ui.Courier()));
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(LogOf(w, WM_CLOSE).size(), 1u);
  EXPECT_EQ(LogOf(w, WM_DESTROY).size(), 1u);
}

TEST_F(WindowCreation, ShowingAWindowGivesItTheFocusAndAPaint) {
  WindowThread ui;
  HWND w = ui.Create(kRedrawClass, CW_USEDEFAULT, CW_USEDEFAULT, false);
  EXPECT_TRUE(LogOf(w, WM_SETFOCUS).empty());
  ui.Call([&] {
    EXPECT_FALSE(ShowWindow(w, SW_SHOW));  // it was hidden
    EXPECT_EQ(GetFocus(), w);
  });
  EXPECT_EQ(LogOf(w, WM_SHOWWINDOW).size(), 1u);
  EXPECT_EQ(LogOf(w, WM_SETFOCUS).size(), 1u);
  ASSERT_TRUE(SupportWaitIdle(w));
  EXPECT_EQ(LogOf(w, WM_PAINT).size(), 1u);
  EXPECT_EQ(GetFocus(), nullptr);  // the focus belongs to the window's thread, not this one
}

TEST_F(WindowCreation, PredefinedIconsAndCursorsLoad) {
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
  EXPECT_NE(LoadIconA(nullptr, IDI_WINLOGO), nullptr);
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(7)), nullptr);
}

}  // namespace
