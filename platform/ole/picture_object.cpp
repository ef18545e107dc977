// The picture object that OleLoadPicture hands out: a bitmap it owns, with its size in HIMETRIC.
#include "platform/gdi32/gdi32.h"
#include "platform/kernel32/kernel32.h"
#include "platform/ole/com_object.h"
#include "platform/ole/picture_object.h"

namespace platform::ole {

namespace {

// HIMETRIC units (0.01 mm) per inch, and the pixels per inch of our display.
constexpr int kHimetricPerInch = 2540;
constexpr int kPixelsPerInch = 96;

class BitmapPicture final : public ComObject<IPicture> {
 public:
  BitmapPicture(HBITMAP bitmap, int widthPixels, int heightPixels)
      : bitmap_(bitmap), widthPixels_(widthPixels), heightPixels_(heightPixels),
        width_(MulDiv(widthPixels, kHimetricPerInch, kPixelsPerInch)),
        height_(MulDiv(heightPixels, kHimetricPerInch, kPixelsPerInch)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return Query(riid, ppvObject, {&IID_IUnknown, &IID_IPicture});
  }

  HRESULT STDMETHODCALLTYPE get_Handle(OLE_HANDLE* pHandle) override {
    return GiveOut(pHandle, reinterpret_cast<uintptr_t>(bitmap_));
  }
  // True-colour bitmaps carry no palette.
  HRESULT STDMETHODCALLTYPE get_hPal(OLE_HANDLE* phPal) override { return GiveOut(phPal, 0); }
  HRESULT STDMETHODCALLTYPE get_Type(SHORT* pType) override { return GiveOut(pType, PICTYPE_BITMAP); }
  HRESULT STDMETHODCALLTYPE get_Width(OLE_XSIZE_HIMETRIC* pWidth) override { return GiveOut(pWidth, width_); }
  HRESULT STDMETHODCALLTYPE get_Height(OLE_YSIZE_HIMETRIC* pHeight) override { return GiveOut(pHeight, height_); }

  // Draws the HIMETRIC source rectangle (its y axis pointing up from the bottom edge, so the whole
  // picture is 0, height, width, -height) stretched over the target rectangle.
  HRESULT STDMETHODCALLTYPE Render(HDC hDC, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                                   OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc,
                                   LPCRECT) override {
    if (hDC == nullptr || cx == 0 || cy == 0 || cxSrc == 0 || cySrc == 0) return E_INVALIDARG;
    const int left = MulDiv(xSrc, widthPixels_, width_);
    const int top = MulDiv(height_ - ySrc, heightPixels_, height_);
    const int wide = MulDiv(cxSrc, widthPixels_, width_);
    const int high = -MulDiv(cySrc, heightPixels_, height_);
    HDC source = CreateCompatibleDC(hDC);
    if (source == nullptr) return E_OUTOFMEMORY;
    HGDIOBJ previous = SelectObject(source, bitmap_);
    const BOOL drawn = StretchBlt(hDC, x, y, cx, cy, source, left, top, wide, high, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    return drawn ? S_OK : E_FAIL;
  }

  HRESULT STDMETHODCALLTYPE set_hPal(OLE_HANDLE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_CurDC(HDC* phDC) override {
    if (phDC == nullptr) return E_POINTER;
    *phDC = currentDC_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SelectPicture(HDC hDCIn, HDC* phDCOut, OLE_HANDLE* phBmpOut) override {
    if (hDCIn == nullptr || SelectObject(hDCIn, bitmap_) == nullptr) return E_FAIL;
    if (phDCOut != nullptr) *phDCOut = currentDC_;
    if (phBmpOut != nullptr) get_Handle(phBmpOut);
    currentDC_ = hDCIn;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_KeepOriginalFormat(BOOL* pKeep) override {
    if (pKeep == nullptr) return E_POINTER;
    *pKeep = keepOriginalFormat_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_KeepOriginalFormat(BOOL keep) override {
    keepOriginalFormat_ = keep;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PictureChanged() override { return S_OK; }
  // The file's bytes are not kept, so there is nothing to save.
  HRESULT STDMETHODCALLTYPE SaveAsFile(LPSTREAM, BOOL, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Attributes(DWORD* pDwAttr) override {
    if (pDwAttr == nullptr) return E_POINTER;
    *pDwAttr = 0;  // neither scalable nor transparent
    return S_OK;
  }

 private:
  ~BitmapPicture() { DeleteObject(bitmap_); }

  HBITMAP bitmap_;
  int widthPixels_;
  int heightPixels_;
  OLE_XSIZE_HIMETRIC width_;
  OLE_YSIZE_HIMETRIC height_;
  HDC currentDC_ = nullptr;
  BOOL keepOriginalFormat_ = FALSE;
};

}  // namespace

IPicture* CreateBitmapPicture(HBITMAP bitmap, int widthPixels, int heightPixels) {
  return new BitmapPicture(bitmap, widthPixels, heightPixels);
}

}  // namespace platform::ole
