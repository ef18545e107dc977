#include "graphics/image_object.h"

#include "runtime/strings.h"

ImageObject tileImage;

namespace {

// The message texts are CP932.
// "前回のピクセル情報の取得スレッドの停止（破棄）に失敗。"
constexpr char kStopFailedText[] =
    "\x91\x4f\x89\xf1\x82\xcc\x83\x73\x83\x4e\x83\x5a\x83\x8b\x8f\xee\x95\xf1\x82\xcc\x8e\xe6\x93\xbe\x83\x58"
    "\x83\x8c\x83\x62\x83\x68\x82\xcc\x92\xe2\x8e\x7e\x81\x69\x94\x6a\x8a\xfc\x81\x6a\x82\xc9\x8e\xb8\x94\x73"
    "\x81\x42";
// "ピクセル情報の取得に失敗。与えられたHBITMAPが新規DCに結合できない。"
constexpr char kSelectFailedText[] =
    "\x83\x73\x83\x4e\x83\x5a\x83\x8b\x8f\xee\x95\xf1\x82\xcc\x8e\xe6\x93\xbe\x82\xc9\x8e\xb8\x94\x73\x81\x42"
    "\x97\x5e\x82\xa6\x82\xe7\x82\xea\x82\xbd\x48\x42\x49\x54\x4d\x41\x50\x82\xaa\x90\x56\x8b\x4b\x44\x43\x82"
    "\xc9\x8c\x8b\x8d\x87\x82\xc5\x82\xab\x82\xc8\x82\xa2\x81\x42";
// "エラー"
constexpr char kErrorCaption[] = "\x83\x47\x83\x89\x81\x5b";

// Attempts at stopping a running worker before ImageStartSampling gives up and says so.
constexpr int kStopAttempts = 4;

// The largest pixel array a scan allocates (a 16384 x 16384 bitmap); the size is formed in 64 bits,
// so no product of a bitmap's sides can wrap around to a small array.
constexpr uint64_t kMaxPixelArrayBytes = 16384ull * 16384ull * sizeof(COLORREF);

int32_t BitmapWidth(HBITMAP bitmap) {
  BITMAP info = {};
  if (bitmap == nullptr) return 0;
  GetObjectA(bitmap, sizeof info, &info);
  return info.bmWidth;
}

int32_t BitmapHeight(HBITMAP bitmap) {
  BITMAP info = {};
  if (bitmap == nullptr) return 0;
  GetObjectA(bitmap, sizeof info, &info);
  return info.bmHeight;
}

// A new bitmap compatible with the window, width x height, holding a copy of `source`. `selected`
// tells whether the source could be selected into a DC to be copied.
HBITMAP CopyBitmap(ImageObject* image, HBITMAP source, int32_t width, int32_t height, bool* selected) {
  HDC windowDC = GetDC(image->window);
  HDC sourceDC = CreateCompatibleDC(windowDC);
  HDC copyDC = CreateCompatibleDC(windowDC);
  HBITMAP copy = CreateCompatibleBitmap(windowDC, width, height);
  *selected = SelectObject(sourceDC, source) != nullptr;
  SelectObject(copyDC, copy);
  BitBlt(copyDC, 0, 0, width, height, sourceDC, 0, 0, SRCCOPY);
  DeleteDC(sourceDC);
  DeleteDC(copyDC);
  ReleaseDC(image->window, windowDC);
  return copy;
}

// The pixel array of a width x height scan in the private heap, zero-filled; null when it cannot be had.
COLORREF* AllocPixelArray(HANDLE heap, int32_t width, int32_t height) {
  if (width < 0 || height < 0) return nullptr;
  const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * sizeof(COLORREF);
  if (bytes > kMaxPixelArrayBytes || bytes > SIZE_MAX) return nullptr;
  // An empty scan still gets an array, so that it counts as done.
  const SIZE_T request = bytes == 0 ? sizeof(COLORREF) : static_cast<SIZE_T>(bytes);
  return static_cast<COLORREF*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, request));
}

// The row delay. True when a stop was requested, before or during it.
bool RowPauseStopped(ImageObject* image) {
  const int32_t delay = image->scanDelay;
  if (image->stopEvent == nullptr) {
    Sleep(static_cast<DWORD>(delay));
    return false;
  }
  return WaitForSingleObject(image->stopEvent, static_cast<DWORD>(delay)) == WAIT_OBJECT_0;
}

// Asks the running worker to stop at its next row boundary and waits until it has ended. True when it has.
bool EndWorker(ImageObject* image) {
  if (image->stopEvent != nullptr) SetEvent(image->stopEvent);
  return WaitForSingleObject(image->worker, INFINITE) == WAIT_OBJECT_0;
}

DWORD WINAPI ScanWorkerEntry(LPVOID parameter) { ScanWorker(static_cast<ImageObject*>(parameter)); }

}  // namespace

int32_t ImageInit(ImageObject* image) {
  SurfaceInit(image);
  image->loader = static_cast<PictureLoader*>(MemAlloc(sizeof(PictureLoader)));
  if (image->loader != nullptr) PictureInit(image->loader);
  InitializeCriticalSection(&image->lock);
  image->worker = nullptr;
  image->pixels = nullptr;
  image->pixelsReady = 0;
  image->scanDelay = 0;
  image->workerBitmap = nullptr;
  // Manual reset: once set, it stays set until the next scan starts.
  image->stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  return 0;
}

int32_t ImageSetScanDelay(ImageObject* image, int32_t delay) {
  // With no worker the wait fails instead of timing out, and the delay is set.
  if (WaitForSingleObject(image->worker, 0) == WAIT_TIMEOUT) return 0;
  image->scanDelay = delay;
  return 1;
}

int32_t ImageLoadFile(ImageObject* image, LPCSTR path) {
  if (image->loader == nullptr) return 0;
  int32_t result = PictureLoadFile(image->loader, path);
  HBITMAP lent = PictureGetBitmap(image->loader);
  if (result == 1) {
    // The loader keeps its bitmap until its next reset, which comes with the next load even when that
    // load fails; the image object shows a copy of its own, so every bitmap has one owner.
    bool selected = false;
    HBITMAP own = CopyBitmap(image, lent, BitmapWidth(lent), BitmapHeight(lent), &selected);
    if (own == nullptr || !selected) {
      if (own != nullptr) DeleteObject(own);
      return 0;
    }
    ImageAdoptBitmap(image, own);
  }
  return result;
}

void ImageAdoptBitmap(ImageObject* image, HBITMAP bitmap) {
  ImageStopSampling(image);
  SurfaceSetBitmap(image, bitmap);
  ImageStartSampling(image, SurfaceGetBitmap(image));
}

int32_t ImageCaptureAndScan(ImageObject* image, int32_t x, int32_t y, int32_t width, int32_t height) {
  int32_t result = SurfaceCapture(image, x, y, width, height);
  ImageStartSampling(image, SurfaceGetBitmap(image));
  return result;
}

void ImageStartSampling(ImageObject* image, HBITMAP source) {
  if (image->worker != nullptr) {
    bool ended = WaitForSingleObject(image->worker, 0) != WAIT_TIMEOUT;
    for (int attempt = 0; !ended && attempt < kStopAttempts; ++attempt) ended = EndWorker(image);
    if (!ended) {
      MessageBoxA(image->window, kStopFailedText, kErrorCaption, MB_ICONERROR);
      // The old worker may still use the pixel array: keep its handle, so that the next stop waits for
      // it again, and start no second worker beside it.
      return;
    }
    CloseHandle(image->worker);
    image->worker = nullptr;
  }
  if (image->scanDelay < 0) return;

  const int32_t width = ImageGetWidth(image);
  const int32_t height = ImageGetHeight(image);
  bool selected = false;
  HBITMAP copy = CopyBitmap(image, source, width, height, &selected);
  if (!selected) MessageBoxA(image->window, kSelectFailedText, kErrorCaption, MB_ICONERROR);

  image->workerBitmap = copy;
  image->scanWidth = width;
  image->scanHeight = height;
  if (image->stopEvent != nullptr) ResetEvent(image->stopEvent);
  image->worker = CreateThread(nullptr, 0, ScanWorkerEntry, image, 0, &image->workerId);
  if (image->worker == nullptr) {
    // No worker will ever delete the copy it was to be handed.
    if (copy != nullptr) DeleteObject(copy);
    image->workerBitmap = nullptr;
  }
}

void ScanWorker(ImageObject* image) {
  HBITMAP copy = image->workerBitmap;
  if (image->pixels != nullptr) {
    HeapFree(image->heap, 0, image->pixels);
    image->pixels = nullptr;
  }
  const int32_t width = image->scanWidth;
  const int32_t height = image->scanHeight;
  COLORREF* pixels = AllocPixelArray(image->heap, width, height);
  image->pixels = pixels;

  HDC windowDC = GetDC(image->window);
  HDC memoryDC = CreateCompatibleDC(windowDC);
  SelectObject(memoryDC, copy);
  bool stopped = false;
  // Without an array there is nothing to fill, and the scan does not count as done.
  if (pixels != nullptr) {
    for (int32_t y = 0; y < height && !stopped; ++y) {
      COLORREF* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
      for (int32_t x = 0; x < width; ++x) row[x] = GetPixel(memoryDC, x, y);
      stopped = RowPauseStopped(image);
    }
  }
  DeleteDC(memoryDC);
  ReleaseDC(image->window, windowDC);
  DeleteObject(copy);

  if (pixels != nullptr && !stopped) ImageSetPixelsReady(image, 1);
  ExitThread(stopped ? 1 : 0);
}

void ImageStopSampling(ImageObject* image) {
  if (image->worker != nullptr) {
    EndWorker(image);
    CloseHandle(image->worker);
    image->worker = nullptr;
  }
  // Cleared once the worker has ended: a scan finishing meanwhile must not leave it 1 without an array.
  ImageSetPixelsReady(image, 0);
  if (image->pixels != nullptr) HeapFree(image->heap, 0, image->pixels);
  image->pixels = nullptr;
  SurfaceDeleteBitmap(image);
}

void ImageSetPixelsReady(ImageObject* image, int32_t value) {
  EnterCriticalSection(&image->lock);
  image->pixelsReady = value;
  LeaveCriticalSection(&image->lock);
}

int32_t ImageGetWidth(ImageObject* image) { return BitmapWidth(SurfaceGetBitmap(image)); }

int32_t ImageGetHeight(ImageObject* image) { return BitmapHeight(SurfaceGetBitmap(image)); }

void ImageDestroy(ImageObject* image) {
  // ImageStopSampling ends the worker before the lock is deleted and the heap that holds the array is
  // destroyed.
  ImageStopSampling(image);
  DeleteCriticalSection(&image->lock);
  if (image->loader != nullptr) {
    PictureDestroy(image->loader);
    MemFree(image->loader);
    image->loader = nullptr;
  }
  if (image->stopEvent != nullptr) CloseHandle(image->stopEvent);
  image->stopEvent = nullptr;
  SurfaceDestroy(image);
}
