// Input contexts as a program sees them over many windows: each window's context works whatever its
// handle's value, goes with the window, and takes any value a caller hands in without overflowing.
#include <climits>

#include "platform/imm32/input_context.h"
#include "window_harness.h"

using namespace harness;

namespace {

constexpr const char* kBareClass = "InputContextBare";

class InputContexts : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareWindows();
    static const bool registered = [] {
      WNDCLASSEXA wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = DefWindowProcA;
      wc.lpszClassName = kBareClass;
      return RegisterClassExA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
  }
  static HWND Create() { return CreateWindowExA(0, kBareClass, "", 0, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr); }
};

// One window slot taken and given back thousands of times: its generation grows through every bit a
// window handle has, and the context of each tenant must still be told apart from everything else.
TEST_F(InputContexts, EveryWindowsContextWorksAndGoesWithItAcrossThousandsOfWindows) {
  const size_t before = platform::imm32::ContextCount();
  LOGFONTA font{};
  font.lfHeight = -16;
  COMPOSITIONFORM form{};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = POINT{4, 4};
  int failed = 0, firstFailure = -1;
  for (int i = 0; i < 4200; ++i) {
    HWND w = Create();
    ASSERT_NE(w, nullptr) << "window " << i;
    HIMC imc = ImmGetContext(w);
    const bool ok = imc != nullptr && ImmSetCompositionFontA(imc, &font) && ImmSetCompositionWindow(imc, &form) &&
                    ImmReleaseContext(w, imc);
    if (!ok && failed++ == 0) {
      firstFailure = i;
    }
    ASSERT_TRUE(DestroyWindow(w));
    if (imc) {
      EXPECT_FALSE(ImmSetCompositionWindow(imc, &form)) << "a context outlived its window " << i;
    }
  }
  EXPECT_EQ(failed, 0) << "the first at window " << firstFailure;
  EXPECT_EQ(platform::imm32::ContextCount(), before) << "contexts of destroyed windows were kept";
}

TEST_F(InputContexts, AContextIsNeitherAWindowNorUsableForAnotherWindow) {
  HWND a = Create(), b = Create();
  HIMC ca = ImmGetContext(a);
  ASSERT_NE(ca, nullptr);
  EXPECT_EQ(ImmGetContext(a), ca) << "a window has one context";
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(ca)));
  EXPECT_FALSE(ImmReleaseContext(b, ca));
  EXPECT_FALSE(ImmSetCompositionWindow(reinterpret_cast<HIMC>(a), nullptr));
  DestroyWindow(a);
  DestroyWindow(b);
}

// A font height of INT_MIN and a point at the edge of the int range give a rectangle clamped to the
// range, where the sums would overflow.
TEST_F(InputContexts, ExtremeFontHeightsAndPointsClampTheTextInputRectangle) {
  WindowThread ui;
  HWND w = ui.Create();
  HIMC imc = ImmGetContext(w);
  LOGFONTA font{};
  font.lfHeight = INT_MIN;
  ASSERT_TRUE(ImmSetCompositionFontA(imc, &font));
  COMPOSITIONFORM form{};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = POINT{INT_MAX - 4, INT_MAX - 4};
  ASSERT_TRUE(ImmSetCompositionWindow(imc, &form));
  const RECT r = SupportGetInputMethod(w).textInputRect;
  EXPECT_EQ(r.left, INT_MAX - 4);
  EXPECT_EQ(r.right, INT_MAX);
  EXPECT_EQ(r.bottom, INT_MAX);
  ImmReleaseContext(w, imc);
}

}  // namespace
