#include "program/demo.h"

#include <cstdint>

#include "graphics/image_object.h"
#include "graphics/pages.h"
#include "graphics/primitives.h"
#include "platform/win32.h"

double X;
double Y;

namespace {

constexpr char kPictureFile[] = "TILE_TEST.bmp";
constexpr int32_t kTileSize = 8;
constexpr int32_t kWhite = 7;
constexpr DWORD kPauseMs = 1000;

// A white box outline around the anchor, 50 pixels wide, and its tile fill; buffered, like every
// drawing statement of the script.
void OutlineBox() {
  const COLORREF white = ColorFromIndex(kWhite);
  DrawLine(static_cast<int32_t>(X - 1), static_cast<int32_t>(Y - 1), 0, static_cast<int32_t>(X + 50),
           static_cast<int32_t>(Y + 50), white, 1, white, true);
}

void FillBox() { PaintTile(static_cast<int32_t>(X), static_cast<int32_t>(Y), kWhite, true); }

void Pause(bool sleep) {
  if (sleep) Sleep(kPauseMs);
}

}  // namespace

void DemoSetUp() {
  ImageInit(&tileImage);
  SurfaceInit(&workPage);
  SurfaceInit(&halfPage);
  SurfaceInit(&showPage);
  // The tile image is never sampled.
  ImageSetScanDelay(&tileImage, -1);
  SurfaceBind(&tileImage);
  SurfaceBind(&workPage);
  SurfaceBind(&halfPage);
  SurfaceBind(&showPage);
  // The pages take their sizes from their first captures of the (still black) back buffer.
  SurfaceCapture(&workPage, 0, 0, kPageWidth, kPageHeight);
  SurfaceCapture(&halfPage, 0, 0, kPageWidth, kHalfPageHeight);
  SurfaceCapture(&showPage, 0, 0, kPageWidth, kPageHeight);
  // A missing picture is not reported: the tile is then whatever the corner of the back buffer holds.
  ImageLoadFile(&tileImage, kPictureFile);
  SurfaceDraw(&tileImage, 0, 0, 0);
  ImageCaptureAndScan(&tileImage, 0, 0, kTileSize, kTileSize);
}

void DemoRunStep(int step, bool sleep) {
  switch (step) {
    case 1:
      X = 10;
      Y = 10;
      break;
    case 2:
    case 9:
      OutlineBox();
      break;
    case 3:
    case 10:
      FillBox();
      break;
    case 4:
      ShowWorkPage();
      break;
    case 5:
    case 7:
      Pause(sleep);
      break;
    case 6:
    case 11:
      ShowDoubledPage();
      break;
    case 8:
      X = 100;
      Y = 100;
      break;
  }
}

void DemoRunScript(int lastStep, bool sleep) {
  for (int step = 1; step <= lastStep && step <= kDemoLastStep; ++step) DemoRunStep(step, sleep);
}

void RunDemo() {
  DemoSetUp();
  DemoRunScript(kDemoLastStep, true);
}

void DemoTeardown() {
  ImageDestroy(&tileImage);
  // The pages' bitmaps go with them: nothing draws a page after its teardown.
  SurfaceDeleteBitmap(&workPage);
  SurfaceDestroy(&workPage);
  SurfaceDeleteBitmap(&halfPage);
  SurfaceDestroy(&halfPage);
  SurfaceDeleteBitmap(&showPage);
  SurfaceDestroy(&showPage);
}
