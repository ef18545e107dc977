#include "tests/demo/demo_runner.h"

#include <cstdlib>
#include <filesystem>

#include "platform/win32.h"

namespace {

int counter = 0;

}  // namespace

std::string SourcePath(const std::string& relative) { return std::string(TILEPAINT_SOURCE_DIR) + "/" + relative; }

std::string BinaryPath(const std::string& name) { return std::string(TILEPAINT_BIN_DIR) + "/" + name; }

DemoDirectory::DemoDirectory(bool withPicture) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  // The process id keeps runs of the suite at the same time (two builds, say) apart.
  path_ = ::testing::TempDir() + "demo-" + std::to_string(GetCurrentProcessId()) + "-" + info->name() + "-" +
          std::to_string(counter++);
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
  if (withPicture) {
    std::filesystem::copy_file(SourcePath("assets/TILE_TEST.bmp"), path_ + "/TILE_TEST.bmp");
  }
}

DemoDirectory::~DemoDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

PixelImage SnapshotAfterStep(const DemoDirectory& directory, int step) {
  const std::string out = directory.path() + "/after-step-" + std::to_string(step) + ".png";
  const std::string command = "cd '" + directory.path() + "' && '" + BinaryPath("tilepaint-snapshot") +
                              "' --after-step " + std::to_string(step) + " '" + out + "'";
  const int status = std::system(command.c_str());
  EXPECT_EQ(status, 0) << command;
  PixelImage image;
  std::string error;
  if (status == 0) {
    EXPECT_TRUE(ReadPngFile(out, &image, &error)) << error;
  }
  return image;
}

PixelImage TileOf(const PixelImage& afterSetUp) { return afterSetUp.Crop(0, 0, 8, 8); }
