// The image object: loading pictures, capturing, and sampling every pixel on a worker thread.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "console/console_state.h"
#include "graphics/image_object.h"
#include "support/display.h"
#include "tests/common/bmp_writer.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

// Six distinct colours for the pixels of a 3 x 2 picture, in scan order.
const std::vector<uint32_t> kSixColors = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};

class ImageObjectTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    ASSERT_EQ(ImageInit(&image), 0);
    SurfaceBind(&image);
  }
  void TearDown() override {
    ImageDestroy(&image);
    GraphicsTest::TearDown();
  }

  std::string WritePicture(const std::string& name, int width, int height, const std::vector<uint32_t>& pixels) {
    const std::string path = TempPath(name);
    EXPECT_TRUE(WriteBmp24(path, width, height, pixels));
    return path;
  }
  std::string ThreeByTwo() { return WritePicture("three.bmp", 3, 2, kSixColors); }

  // Waits for the current worker to end; its exit code.
  DWORD WaitForWorker() {
    EXPECT_NE(image.worker, nullptr);
    EXPECT_EQ(WaitForSingleObject(image.worker, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(image.worker, &code);
    return code;
  }
  int32_t PixelsReady() {
    EnterCriticalSection(&image.lock);
    const int32_t ready = image.pixelsReady;
    LeaveCriticalSection(&image.lock);
    return ready;
  }
  std::vector<uint32_t> Samples(size_t count) {
    return image.pixels == nullptr ? std::vector<uint32_t>{} : std::vector<uint32_t>(image.pixels, image.pixels + count);
  }

  ImageObject image = {};
};

TEST_F(ImageObjectTest, AScanFillsEveryPixelInOrderAndSleepsAfterEachRow) {
  ASSERT_EQ(ImageSetScanDelay(&image, 100), 1);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  EXPECT_EQ(WaitForWorker(), 0u);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(200)) << "two rows, a 100 ms sleep after each";
  EXPECT_EQ(PixelsReady(), 1);
  EXPECT_EQ(Samples(6), kSixColors);
  EXPECT_EQ(ImageSetScanDelay(&image, 0), 1);
}

TEST_F(ImageObjectTest, TheDefaultDelayScansAtOnce) {
  EXPECT_EQ(image.scanDelay, 0);
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  EXPECT_EQ(WaitForWorker(), 0u);
  EXPECT_EQ(Samples(6), kSixColors);
  EXPECT_EQ(PixelsReady(), 1);
}

TEST_F(ImageObjectTest, TheDelayCannotChangeDuringAScan) {
  ASSERT_EQ(ImageSetScanDelay(&image, 300), 1);
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  EXPECT_EQ(ImageSetScanDelay(&image, 0), 0);
  EXPECT_EQ(image.scanDelay, 300);
  EXPECT_EQ(WaitForWorker(), 0u);
  EXPECT_EQ(ImageSetScanDelay(&image, 0), 1);
}

// Runs on our stack only: Wine's GetGuiResources is a stub that answers 0.
TEST_F(ImageObjectTest, WithANegativeDelayNothingIsSampledOrCopied) {
  ASSERT_EQ(ImageSetScanDelay(&image, -1), 1);
  const DWORD objects = GdiObjects();
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  EXPECT_EQ(image.worker, nullptr);
  EXPECT_EQ(GdiObjects(), objects + 2) << "the loader's bitmap and the image object's own, nothing more";
  EXPECT_EQ(ImageCaptureAndScan(&image, 0, 0, 8, 8), 1);
  EXPECT_EQ(image.worker, nullptr);
  EXPECT_EQ(ImageGetWidth(&image), 8);
  EXPECT_EQ(ImageGetHeight(&image), 8);
}

TEST_F(ImageObjectTest, ACaptureWithSamplingOffKeepsTheLastScan) {
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  WaitForWorker();
  ASSERT_EQ(ImageSetScanDelay(&image, -1), 1);
  EXPECT_EQ(ImageCaptureAndScan(&image, 0, 0, 8, 8), 1);
  EXPECT_EQ(ImageGetWidth(&image), 8);
  EXPECT_EQ(PixelsReady(), 1);
  EXPECT_EQ(Samples(6), kSixColors);
}

TEST_F(ImageObjectTest, TheImageObjectShowsItsOwnCopyOfTheLoadedPicture) {
  ASSERT_EQ(ImageSetScanDelay(&image, -1), 1);
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  EXPECT_NE(SurfaceGetBitmap(&image), PictureGetBitmap(image.loader));
  const PixelImage shown = BitmapPixels(SurfaceGetBitmap(&image));
  ASSERT_EQ(shown.width, 3);
  EXPECT_EQ(shown.pixels, kSixColors);
}

TEST_F(ImageObjectTest, AMissingFileLeavesTheBitmapPixelsAndFlag) {
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  WaitForWorker();
  HBITMAP bitmap = SurfaceGetBitmap(&image);
  EXPECT_EQ(ImageLoadFile(&image, TempPath("missing.bmp").c_str()), 0);
  EXPECT_EQ(SurfaceGetBitmap(&image), bitmap);
  EXPECT_EQ(PixelsReady(), 1);
  EXPECT_EQ(Samples(6), kSixColors);
}

TEST_F(ImageObjectTest, AFailedLoadStillShowsThePreviousPicture) {
  ASSERT_EQ(ImageSetScanDelay(&image, -1), 1);
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  // The loader releases its own bitmap as soon as the next file opens, also when that load then fails.
  const std::string broken = TempPath("broken.bmp");
  ASSERT_TRUE(WriteBytes(broken, {0x42, 0x4D, 0, 0}));
  EXPECT_EQ(ImageLoadFile(&image, broken.c_str()), 0);
  EXPECT_EQ(image.loader->fileBitmap, nullptr);
  EXPECT_EQ(BitmapPixels(SurfaceGetBitmap(&image)).pixels, kSixColors);
  FillBack(0, 0, 3, 2, 0);
  EXPECT_NE(SurfaceDraw(&image, 0, 0, 0), 0);
  EXPECT_EQ(BackPixels(0, 0, 3, 2).pixels, kSixColors);
}

// Runs on our stack only: Wine's GetGuiResources is a stub that answers 0.
TEST_F(ImageObjectTest, ANewScanEndsTheRunningOneFirst) {
  const DWORD objects = GdiObjects();
  std::vector<uint32_t> tall(3 * 40, 0x123456);
  ASSERT_EQ(ImageSetScanDelay(&image, 100), 1);
  ASSERT_EQ(ImageLoadFile(&image, WritePicture("tall.bmp", 3, 40, tall).c_str()), 1);
  ASSERT_EQ(WaitForSingleObject(image.worker, 0), WAIT_TIMEOUT);
  FillBack(0, 0, 2, 2, 0x0000FF);
  EXPECT_EQ(ImageCaptureAndScan(&image, 0, 0, 2, 2), 1);
  EXPECT_EQ(WaitForWorker(), 0u);
  EXPECT_EQ(PixelsReady(), 1);
  EXPECT_EQ(Samples(4), std::vector<uint32_t>(4, 0x0000FF));
  // Both workers have deleted their copies: what remains is the loader's bitmap and the capture.
  EXPECT_EQ(GdiObjects(), objects + 2);
}

TEST_F(ImageObjectTest, DestroyWithARunningWorkerReturnsAfterItEnded) {
  const DWORD objects = GdiObjects();
  ASSERT_EQ(ImageSetScanDelay(&image, 10000), 1);
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  ASSERT_EQ(WaitForSingleObject(image.worker, 0), WAIT_TIMEOUT);
  ImageDestroy(&image);
  // The worker's copy is gone with it; ImageDestroy did not leave it running.
  EXPECT_EQ(GdiObjects(), objects);
  EXPECT_EQ(image.worker, nullptr);
  ASSERT_EQ(ImageInit(&image), 0);  // for TearDown
}

TEST_F(ImageObjectTest, StopSamplingLeavesTheImageBlank) {
  ASSERT_EQ(ImageSetScanDelay(&image, 10000), 1);
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  ImageStopSampling(&image);
  EXPECT_EQ(image.worker, nullptr);
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(PixelsReady(), 0);
  EXPECT_EQ(SurfaceGetBitmap(&image), nullptr);
  EXPECT_EQ(ImageSetScanDelay(&image, 0), 1);
}

TEST_F(ImageObjectTest, SamplingWithoutABitmapSaysSoAndScansNothing) {
  SupportTakeMessageBoxes();
  ImageStartSampling(&image, SurfaceGetBitmap(&image));
  EXPECT_EQ(WaitForWorker(), 0u);
  EXPECT_EQ(PixelsReady(), 1);
  const std::vector<SupportMessageBox> boxes = SupportTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, console.consoleWindow);
  EXPECT_EQ(boxes[0].caption, "\x83\x47\x83\x89\x81\x5b");
  EXPECT_EQ(boxes[0].text,
            "\x83\x73\x83\x4e\x83\x5a\x83\x8b\x8f\xee\x95\xf1\x82\xcc\x8e\xe6\x93\xbe\x82\xc9\x8e\xb8\x94\x73\x81\x42"
            "\x97\x5e\x82\xa6\x82\xe7\x82\xea\x82\xbd\x48\x42\x49\x54\x4d\x41\x50\x82\xaa\x90\x56\x8b\x4b\x44\x43\x82"
            "\xc9\x8c\x8b\x8d\x87\x82\xc5\x82\xab\x82\xc8\x82\xa2\x81\x42");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(ImageObjectTest, AnUnrecognisedFileChangesNothingInTheImageObject) {
  ASSERT_EQ(ImageSetScanDelay(&image, -1), 1);
  ASSERT_EQ(ImageLoadFile(&image, ThreeByTwo().c_str()), 1);
  HBITMAP bitmap = SurfaceGetBitmap(&image);
  const std::string text = TempPath("notes.txt");
  ASSERT_TRUE(WriteBytes(text, {'n', 'o', 't', 'e', 's'}));
  EXPECT_EQ(ImageLoadFile(&image, text.c_str()), 0);
  EXPECT_EQ(image.loader->kind, kPictureNone);
  EXPECT_EQ(SurfaceGetBitmap(&image), bitmap);
  EXPECT_EQ(ImageGetWidth(&image), 3);
}

}  // namespace
