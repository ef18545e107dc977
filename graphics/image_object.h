// The image object: a surface that takes its bitmap from a picture file or a capture, and samples
// every pixel of that bitmap into an array of colours on a worker thread (the scan). The runtime has
// one, tileImage, whose bitmap is the pattern of PaintTile.
#pragma once

#include <cstdint>

#include "graphics/picture_loader.h"
#include "graphics/surface.h"
#include "platform/win32.h"

// Begins with the fields of a Surface, and is used wherever a Surface is expected.
struct ImageObject : Surface {
  PictureLoader* loader;  // own; from the runtime heap
  COLORREF* pixels;       // the last scan, row by row; in the private heap; null when none
  int32_t pixelsReady;    // 1 once a scan has run to its end; written only under `lock`
  CRITICAL_SECTION lock;
  HANDLE worker;          // the current or last scan thread; null when none
  DWORD workerId;
  HBITMAP workerBitmap;   // the scan's private copy, handed to the worker, which deletes it
  int32_t scanDelay;      // milliseconds of sleep after each row; negative: no sampling
  // The scan's size, measured when the copy was made and handed to the worker with it.
  int32_t scanWidth;
  int32_t scanHeight;
  // Set to ask the worker to stop after its current row; it also cuts the sleep after a row short.
  HANDLE stopEvent;
};

extern ImageObject tileImage;

int32_t ImageInit(ImageObject* image);
// 0 (refused, delay unchanged) while a scan runs; 1 otherwise. The delay applies from the next scan.
int32_t ImageSetScanDelay(ImageObject* image, int32_t delay);
// The loader's result; on 1 the image object shows its own copy of the loaded picture. On 0 it keeps
// its bitmap, pixels, flag and worker.
int32_t ImageLoadFile(ImageObject* image, LPCSTR path);
int32_t ImageCaptureAndScan(ImageObject* image, int32_t x, int32_t y, int32_t width, int32_t height);
void ImageAdoptBitmap(ImageObject* image, HBITMAP bitmap);
void ImageStartSampling(ImageObject* image, HBITMAP source);
void ImageStopSampling(ImageObject* image);
void ImageSetPixelsReady(ImageObject* image, int32_t value);
int32_t ImageGetWidth(ImageObject* image);
int32_t ImageGetHeight(ImageObject* image);
// The scan thread's body; ends the thread with exit code 0 after a complete scan, 1 when stopped.
[[noreturn]] void ScanWorker(ImageObject* image);
void ImageDestroy(ImageObject* image);
