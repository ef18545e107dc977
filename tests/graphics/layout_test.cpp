// The sizes that the system's own platform, 32-bit Windows, gives the structures the graphics and the
// runtime exchange with it. The 32-bit Windows build (i686) is the one place where they hold: there a
// Surface is five 32-bit fields, GetObjectA describes a bitmap in 24 bytes, the window class that
// start-up registers measures 48 bytes (its cbSize), and each registry entry is a 32-bit address. The
// wider builds check what does not depend on the width.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "graphics/surface.h"
#include "runtime/strings.h"

namespace {

constexpr bool kPointersAre32Bits = sizeof(void*) == 4;

static_assert(!kPointersAre32Bits || sizeof(Surface) == 20, "a Surface is five 32-bit fields");
static_assert(!kPointersAre32Bits || (offsetof(Surface, heap) == 0 && offsetof(Surface, bitmap) == 4 &&
                                      offsetof(Surface, window) == 8 && offsetof(Surface, bufferDC) == 12 &&
                                      offsetof(Surface, mirrorFlag) == 16),
              "a Surface's fields are heap, bitmap, window, bufferDC, mirrorFlag, in this order");
static_assert(!kPointersAre32Bits || sizeof(BITMAP) == 24, "GetObjectA describes a bitmap in 24 bytes");
static_assert(!kPointersAre32Bits || sizeof(WNDCLASSEXA) == 48, "the window class's cbSize is 48");
static_assert(!kPointersAre32Bits || sizeof(*StringRegistry{}.items) == 4, "a registry entry is a 32-bit address");

// SurfaceDraw and the image object read a bitmap's size through a BITMAP on their stack: the call must
// fill exactly that structure, on every width of the build.
TEST(Layout, GetObjectAWritesOneBitmapAndNothingPastIt) {
  HBITMAP bitmap = CreateBitmap(37, 23, 1, 32, nullptr);
  ASSERT_NE(bitmap, nullptr);
  constexpr unsigned char kUntouched = 0xA5;
  unsigned char buffer[sizeof(BITMAP) + 16];
  std::memset(buffer, kUntouched, sizeof buffer);

  EXPECT_EQ(GetObjectA(bitmap, sizeof buffer, buffer), static_cast<int>(sizeof(BITMAP)));
  for (size_t i = sizeof(BITMAP); i < sizeof buffer; i++) EXPECT_EQ(buffer[i], kUntouched) << "byte " << i;
  BITMAP info;
  std::memcpy(&info, buffer, sizeof info);
  EXPECT_EQ(info.bmWidth, 37);
  EXPECT_EQ(info.bmHeight, 23);
  EXPECT_EQ(info.bmBitsPixel, 32);

  // A buffer of exactly one BITMAP is enough, and one byte less is refused without a write.
  std::memset(buffer, kUntouched, sizeof buffer);
  EXPECT_EQ(GetObjectA(bitmap, sizeof(BITMAP), buffer), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(buffer[sizeof(BITMAP)], kUntouched);
  std::memset(buffer, kUntouched, sizeof buffer);
  EXPECT_EQ(GetObjectA(bitmap, sizeof(BITMAP) - 1, buffer), 0);
  EXPECT_EQ(buffer[0], kUntouched);
  DeleteObject(bitmap);
}

}  // namespace
