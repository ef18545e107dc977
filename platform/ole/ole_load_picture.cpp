// OleLoadPicture: reads a picture file from a stream and makes a bitmap picture of it. JPEG and GIF
// go through their libraries, BMP through the decoder that LoadImageA uses.
#include <vector>

#include "platform/gdi32/pixel_bitmap.h"
#include "platform/imaging/bmp_decoder.h"
#include "platform/imaging/picture_decoders.h"
#include "platform/ole/ole.h"
#include "platform/ole/picture_object.h"

namespace {

using platform::DecodedImage;

// Reads `wanted` bytes, or the whole rest of the stream when `wanted` is 0, up to the cap.
HRESULT ReadStream(IStream* stream, LONG wanted, std::vector<uint8_t>& bytes) {
  uint64_t limit = static_cast<uint64_t>(wanted);
  if (wanted == 0) {
    STATSTG stat{};
    ULARGE_INTEGER here{};
    LARGE_INTEGER zero{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &here))) {
      return CTL_E_INVALIDPICTURE;
    }
    limit = stat.cbSize.QuadPart > here.QuadPart ? stat.cbSize.QuadPart - here.QuadPart : 0;
  }
  if (limit > platform::kMaxPictureFileBytes) return E_OUTOFMEMORY;
  bytes.resize(static_cast<size_t>(limit));
  size_t done = 0;
  while (done < bytes.size()) {
    ULONG got = 0;
    const HRESULT hr = stream->Read(bytes.data() + done, static_cast<ULONG>(bytes.size() - done), &got);
    if (FAILED(hr)) return hr;
    if (got == 0) break;  // a stream shorter than promised: the decoder judges what arrived
    done += got;
  }
  bytes.resize(done);
  return S_OK;
}

bool DecodeAnyFormat(const std::vector<uint8_t>& bytes, DecodedImage& picture) {
  const size_t n = bytes.size();
  if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return platform::JpegDecode(bytes.data(), n, picture);
  if (n >= 3 && bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F') {
    return platform::GifDecode(bytes.data(), n, picture);
  }
  if (n >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    return platform::BmpDecode(bytes.data(), n, picture) == platform::BmpStatus::kOk;
  }
  return false;
}

}  // namespace

HRESULT OleLoadPicture(LPSTREAM lpstream, LONG lSize, BOOL fRunmode, REFIID riid, LPVOID* lplpvObj) {
  (void)fRunmode;  // there is no embedding container to tell apart from run mode
  if (lplpvObj == nullptr) return E_POINTER;
  *lplpvObj = nullptr;
  if (lpstream == nullptr) return E_POINTER;
  if (lSize < 0) return E_INVALIDARG;
  if (!(riid == IID_IPicture) && !(riid == IID_IUnknown)) return E_NOINTERFACE;

  std::vector<uint8_t> bytes;
  const HRESULT read = ReadStream(lpstream, lSize, bytes);
  if (FAILED(read)) return read;
  DecodedImage decoded;
  if (!DecodeAnyFormat(bytes, decoded)) return CTL_E_INVALIDPICTURE;
  bytes = std::vector<uint8_t>();  // the file is no longer needed while the bitmap is made

  HBITMAP bitmap = platform::GdiCreateBitmapFromPixels(decoded.width, decoded.height, decoded.pixels);
  if (bitmap == nullptr) return E_OUTOFMEMORY;
  IPicture* picture = platform::ole::CreateBitmapPicture(bitmap, decoded.width, decoded.height);
  *lplpvObj = picture;  // IUnknown and IPicture share one pointer
  return S_OK;
}
