// The demonstration drawn by both stacks: tilepaint-snapshot natively (our platform layer, headless)
// and tilepaint-snapshot.exe under Wine (the real Win32 interfaces), on the same TILE_TEST.bmp, must
// give the same pixels over the 640 x 400 that the pages cover. scripts/windows-test.sh runs this once
// for each Windows build, with TILEPAINT_WINDOWS_BIN naming its bin/, TILEPAINT_WINE the Wine loader that
// runs it, and an X server and Wine prefix ready.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/common/image_compare.h"
#include "tools/png_file.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPageWidth = 640;
constexpr int kPageHeight = 400;
constexpr const char* kConvert = "/usr/bin/convert";

class SnapshotsOfBothStacks : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* windowsBin = std::getenv("TILEPAINT_WINDOWS_BIN");
    if (windowsBin == nullptr || *windowsBin == '\0') GTEST_SKIP() << "TILEPAINT_WINDOWS_BIN is not set (scripts/windows-test.sh sets it)";
    windowsTool_ = fs::path(windowsBin) / "tilepaint-snapshot.exe";
    ASSERT_TRUE(fs::exists(windowsTool_)) << windowsTool_;
    nativeTool_ = fs::path(TILEPAINT_BIN_DIR) / "tilepaint-snapshot";
    ASSERT_TRUE(fs::exists(nativeTool_)) << nativeTool_;
    const char* wine = std::getenv("TILEPAINT_WINE");
    wine_ = wine != nullptr && *wine != '\0' ? wine : "wine";
    dir_ = fs::temp_directory_path() / ("tilepaint-stacks-" + std::to_string(getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty() && !HasFailure()) fs::remove_all(dir_, ignored);
  }

  // Runs `command` in the working directory; true when it exits with 0.
  bool Run(const std::string& command) const {
    const std::string line = "cd '" + dir_.string() + "' && " + command + " >>'" + (dir_ / "tools.log").string() + "' 2>&1";
    return std::system(line.c_str()) == 0;
  }

  PixelImage Snapshot(bool underWine, const std::string& name) {
    const std::string tool = underWine ? wine_ + " '" + windowsTool_.string() + "'" : "'" + nativeTool_.string() + "'";
    EXPECT_TRUE(Run(tool + " " + name)) << "the snapshot tool failed; see " << (dir_ / "tools.log");
    PixelImage image;
    std::string error;
    // Wine's exit status is not to be trusted: the picture itself is the result.
    EXPECT_TRUE(ReadPngFile((dir_ / name).string(), &image, &error)) << error;
    return image;
  }

  void UsePicture(const fs::path& source) { fs::copy_file(source, dir_ / "TILE_TEST.bmp", fs::copy_options::overwrite_existing); }

  // The shipped picture converted by ImageMagick (with `options`) into `format`, under the name the
  // demonstration opens: the loader goes by the file's first bytes, not by its name.
  void UseShippedPictureAs(const std::string& format, const std::string& options = "") {
    const fs::path shipped = fs::path(TILEPAINT_SOURCE_DIR) / "assets" / "TILE_TEST.bmp";
    ASSERT_TRUE(Run(std::string(kConvert) + " '" + shipped.string() + "' " + options + " " + format + ":TILE_TEST.bmp"))
        << "convert to " << format << " failed; see " << (dir_ / "tools.log");
  }

  // Both stacks draw the demonstration from the picture in the working directory, and the pages match;
  // so that a blank pair cannot pass, the picture must have put something other than black inside the
  // first box.
  void ExpectSameDemonstrationWithAPicture() {
    const PixelImage native = Snapshot(false, "native.png");
    const PixelImage wine = Snapshot(true, "wine.png");
    ExpectSamePages(native, wine);
    ASSERT_GE(native.width, kPageWidth);
    ASSERT_GE(native.height, kPageHeight);
    EXPECT_EQ(native.At(9, 36), 0xFFFFFFu) << "the twice-doubled first box's top-left corner";
    bool drawn = false;
    for (int y = 40; y < 200 && !drawn; y++)
      for (int x = 12; x < 100 && !drawn; x++) drawn = native.At(x, y) != 0;
    EXPECT_TRUE(drawn) << "the first box holds nothing but black";
  }

  void ExpectSamePages(const PixelImage& native, const PixelImage& wine) {
    ASSERT_GE(native.width, kPageWidth);
    ASSERT_GE(native.height, kPageHeight);
    ASSERT_GE(wine.width, kPageWidth);
    ASSERT_GE(wine.height, kPageHeight);
    EXPECT_TRUE(ImagesMatch(native.Crop(0, 0, kPageWidth, kPageHeight), wine.Crop(0, 0, kPageWidth, kPageHeight),
                            (dir_ / "wine-page.png").string()));
  }

  fs::path windowsTool_, nativeTool_, dir_;
  std::string wine_;
};

TEST_F(SnapshotsOfBothStacks, TheDemonstrationWithTheShippedPictureIsTheSameOnBothStacks) {
  UsePicture(fs::path(TILEPAINT_SOURCE_DIR) / "assets" / "TILE_TEST.bmp");
  ExpectSameDemonstrationWithAPicture();
}

// The Windows side decodes these through OLE picture loading, ours through its own decoders.
TEST_F(SnapshotsOfBothStacks, TheDemonstrationWithAGifPictureIsTheSameOnBothStacks) {
  if (!fs::exists(kConvert)) GTEST_SKIP() << "ImageMagick's convert is not installed";
  UseShippedPictureAs("gif");
  ExpectSameDemonstrationWithAPicture();
}

// JPEG decoders may differ in the last bit: Wine's and ours round the inverse DCT of fine detail and
// smooth subsampled chroma differently (one level in a few pixels of the shipped picture, and many more
// with 4:2:0 chroma). A picture of flat 8 x 8 blocks at full chroma resolution leaves them no such room,
// so there every pixel must agree.
TEST_F(SnapshotsOfBothStacks, TheDemonstrationWithAJpegPictureIsTheSameOnBothStacks) {
  if (!fs::exists(kConvert)) GTEST_SKIP() << "ImageMagick's convert is not installed";
  UseShippedPictureAs("jpeg", "-scale 12.5% -scale 800% -sampling-factor 1x1");
  ExpectSameDemonstrationWithAPicture();
}

TEST_F(SnapshotsOfBothStacks, WithoutAPictureBothStacksFillWithTheBlackCornerTile) {
  const PixelImage native = Snapshot(false, "native.png");
  const PixelImage wine = Snapshot(true, "wine.png");
  ExpectSamePages(native, wine);
}

}  // namespace
