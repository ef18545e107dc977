// A BeginPaint that cannot make its DC returns NULL and leaves a PAINTSTRUCT that EndPaint can be
// given safely: a DC that the caller's structure happened to hold before stays open.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "platform/win32.h"
#include "support/allocation_faults.h"
#include "support/display.h"

namespace {

// A death test, so that its display is opened in a process of its own: the walks' processes, forked
// from this one, open theirs.
TEST(PaintWithoutADc, EndPaintAfterAFailedBeginPaintGivesBackNothing) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SupportUseHeadlessDisplay();
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "FaultPaint";
        RegisterClassExA(&windowClass);
        HWND window = CreateWindowExA(0, "FaultPaint", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 64, 64, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
        HDC inUse = GetDC(window);
        PAINTSTRUCT paint;
        paint.hdc = inUse;  // what the caller's stack happened to hold
        InvalidateRect(window, nullptr, FALSE);
        SupportFailAllocation(SupportAllocation::kGdiObject, 1);
        HDC painting = BeginPaint(window, &paint);
        SupportStopAllocationFaults();
        EndPaint(window, &paint);
        const bool stillOpen = ReleaseDC(window, inUse) == 1;
        std::fprintf(stderr, "BeginPaint gave %p; the DC in use was %s\n", static_cast<void*>(painting),
                     stillOpen ? "still open" : "given back");
        std::_Exit(window != nullptr && inUse != nullptr && painting == nullptr && stillOpen ? 0 : 1);
      },
      testing::ExitedWithCode(0), "still open");
}

}  // namespace
