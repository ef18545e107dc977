// The display's scale on a HiDPI desktop: the demonstration enlarged by whole pixels, from the
// desktop's Xft.dpi or from TILEPAINT_SCALE, and a bad TILEPAINT_SCALE refused.
#include "tests/process/process_fixture.h"

namespace {

using namespace process_test;

class ScaleTest : public ProcessTest {
 protected:
  void SetUp() override {}  // each test starts the screen it needs

  // Runs tilepaint on a `width` x `height` screen with the resources and environment given, and
  // checks that the window shows the snapshot enlarged `scale` times, then closes it.
  void ShowsTheDemonstrationAt(int scale, int width, int height, const std::string& resources,
                               const std::vector<std::string>& environment) {
    if (!session_.Start(width, height)) GTEST_SKIP() << "No X server for process tests: " << session_.error();
    if (!resources.empty()) session_.SetResources(resources);
    const std::string dir = ScratchDir("scale-" + std::to_string(scale), true);
    Child child = Spawn({Program("tilepaint")}, session_.name(), dir, environment);
    ChildGuard guard{child};
    const Window window = ShownWindow();
    ASSERT_NE(window, 0u) << ReadAvailable(child.err, 100);
    EXPECT_TRUE(ShowsTheSnapshot(window, dir, scale));
    const PixelImage shown = session_.Capture(window);
    EXPECT_EQ(shown.width % scale, 0) << shown.width;  // the window is a whole number of blocks
    EXPECT_EQ(shown.height % scale, 0) << shown.height;
    EXPECT_EQ(EndAndTime(child, "tilepaint, scaled, close button", [&] { session_.RequestClose(window); }), 0);
  }
};

TEST_F(ScaleTest, A192DpiDesktopShowsEveryPixelAsATwoByTwoBlock) {
  ShowsTheDemonstrationAt(2, 2560, 1600, "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n", {});
}

TEST_F(ScaleTest, TilepaintScaleChoosesTheFactor) {
  ShowsTheDemonstrationAt(3, 3840, 2400, "", {"TILEPAINT_SCALE=3"});
}

TEST_F(ScaleTest, TilepaintScaleOneOverridesTheDesktopsDpi) {
  ShowsTheDemonstrationAt(1, 2560, 1600, "Xft.dpi:\t192\n", {"TILEPAINT_SCALE=1"});
}

TEST_F(ScaleTest, ABadTilepaintScaleIsRefusedWithAMessage) {
  if (!session_.Start()) GTEST_SKIP() << "No X server for process tests: " << session_.error();
  for (const char* bad : {"0", "9", "2x", "1.5", "two"}) {
    Child child = Spawn({Program("tilepaint")}, session_.name(), ScratchDir("bad-scale"),
                        {std::string("TILEPAINT_SCALE=") + bad});
    ChildGuard guard{child};
    EXPECT_GT(WaitExit(child, kEndMs), 0) << bad;
    const std::string message = ReadAvailable(child.err, 100);
    EXPECT_NE(message.find(std::string("tilepaint: TILEPAINT_SCALE must be a whole number from 1 to 8, not \"") + bad +
                           "\""),
              std::string::npos)
        << message;
  }
}

}  // namespace
