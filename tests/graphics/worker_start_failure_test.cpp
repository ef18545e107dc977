// A sampling worker that cannot be started: the copy of the bitmap that it was to be handed is not
// left behind. The process's address space is limited so that no thread stack fits: a death test,
// native only (the limit is a POSIX one), and not under a sanitizer, whose shadow memory needs more.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "graphics/image_object.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Leaves the process 2 MiB of address space beyond what it uses: less than one thread stack.
void LimitAddressSpace() {
  std::ifstream statm("/proc/self/statm");
  unsigned long pages = 0;
  statm >> pages;
  const rlim_t limit = static_cast<rlim_t>(pages) * 4096 + 2 * 1024 * 1024;
  const rlimit r = {limit, limit};
  setrlimit(RLIMIT_AS, &r);
}

class WorkerStartFailure : public GraphicsTest {};

TEST_F(WorkerStartFailure, LeavesNoCopyOfTheBitmapBehind) {
  if (kSanitized) GTEST_SKIP() << "a sanitizer needs more address space than the limit leaves";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ImageObject image = {};
        ImageInit(&image);
        SurfaceBind(&image);
        ImageSetScanDelay(&image, -1);
        ImageCaptureAndScan(&image, 0, 0, 8, 8);  // the image's own bitmap, no worker
        const DWORD objects = GdiObjects();
        ImageSetScanDelay(&image, 0);
        LimitAddressSpace();
        ImageCaptureAndScan(&image, 0, 0, 8, 8);  // a new bitmap in place of the old, and no worker
        const DWORD after = GdiObjects();
        std::fprintf(stderr, "worker %p, copy %p, GDI objects %lu -> %lu\n", static_cast<void*>(image.worker),
                     static_cast<void*>(image.workerBitmap), static_cast<unsigned long>(objects),
                     static_cast<unsigned long>(after));
        std::fflush(stderr);
        std::_Exit(image.worker == nullptr && image.workerBitmap == nullptr && after == objects ? 0 : 1);
      },
      testing::ExitedWithCode(0), "worker");
}

}  // namespace
