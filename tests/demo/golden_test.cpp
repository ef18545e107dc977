// The demonstration with the default picture, pixel for pixel against the checked-in golden images.
// They are made by tools/regenerate_goldens.sh, never by this test.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/common/image_compare.h"
#include "tests/demo/demo_runner.h"

namespace {

class GoldenTest : public ::testing::TestWithParam<int> {};

TEST_P(GoldenTest, TheSnapshotMatchesTheGoldenImage) {
  const int step = GetParam();
  char name[32];
  std::snprintf(name, sizeof name, "after-step-%02d", step);
  const PixelImage expected = LoadPngOrFail(SourcePath(std::string("tests/golden/") + name + ".png"));
  ASSERT_GT(expected.width, 0);
  DemoDirectory directory(true);
  const PixelImage actual = SnapshotAfterStep(directory, step);
  // Written beside the test's working directory, as NAME.actual.png, when they differ.
  EXPECT_TRUE(ImagesMatch(expected, actual, std::filesystem::absolute(std::string(name) + ".actual.png").string()));
}

INSTANTIATE_TEST_SUITE_P(Demo, GoldenTest, ::testing::Values(4, 6, 11),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "AfterStep" + std::to_string(info.param);
                         });

}  // namespace
