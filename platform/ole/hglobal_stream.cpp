// CreateStreamOnHGlobal: an IStream over a block of global memory. The stream's size starts as the
// block's size; every access locks the block for just that access, as the block may be moveable.
#include <algorithm>
#include <cstring>

#include "platform/kernel32/kernel32.h"
#include "platform/ole/com_object.h"

namespace {

class HGlobalStream final : public platform::ole::ComObject<IStream> {
 public:
  HGlobalStream(HGLOBAL memory, bool deleteOnRelease, bool ownAllocation)
      : memory_(memory), deleteOnRelease_(deleteOnRelease), ownAllocation_(ownAllocation),
        size_(ownAllocation ? 0 : GlobalSize(memory)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    return Query(riid, ppvObject, {&IID_IUnknown, &IID_ISequentialStream, &IID_IStream});
  }

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pcbRead != nullptr) *pcbRead = 0;
    if (pv == nullptr) return STG_E_INVALIDPOINTER;
    ULONG count = 0;
    if (position_ < size_) count = static_cast<ULONG>(std::min<ULONGLONG>(cb, size_ - position_));
    if (count > 0) {
      const BYTE* block = static_cast<const BYTE*>(GlobalLock(memory_));
      if (block == nullptr) return E_OUTOFMEMORY;
      std::memcpy(pv, block + position_, count);
      GlobalUnlock(memory_);
      position_ += count;
    }
    if (pcbRead != nullptr) *pcbRead = count;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (pcbWritten != nullptr) *pcbWritten = 0;
    if (pv == nullptr) return STG_E_INVALIDPOINTER;
    if (cb == 0) return S_OK;
    const HRESULT grown = Reserve(position_ + cb);
    if (FAILED(grown)) return grown;
    BYTE* block = static_cast<BYTE*>(GlobalLock(memory_));
    if (block == nullptr) return E_OUTOFMEMORY;
    std::memcpy(block + position_, pv, cb);
    GlobalUnlock(memory_);
    position_ += cb;
    if (position_ > size_) size_ = position_;
    if (pcbWritten != nullptr) *pcbWritten = cb;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override {
    LONGLONG base = 0;
    switch (dwOrigin) {
      case STREAM_SEEK_SET: base = 0; break;
      case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(position_); break;
      case STREAM_SEEK_END: base = static_cast<LONGLONG>(size_); break;
      default: return STG_E_INVALIDFUNCTION;
    }
    LONGLONG target = 0;
    if (__builtin_add_overflow(base, dlibMove.QuadPart, &target) || target < 0) return STG_E_SEEKERROR;
    position_ = static_cast<ULONGLONG>(target);
    if (plibNewPosition != nullptr) plibNewPosition->QuadPart = position_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER libNewSize) override {
    const HRESULT grown = Reserve(libNewSize.QuadPart);
    if (FAILED(grown)) return grown;
    size_ = libNewSize.QuadPart;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                   ULARGE_INTEGER* pcbWritten) override {
    if (pcbRead != nullptr) pcbRead->QuadPart = 0;
    if (pcbWritten != nullptr) pcbWritten->QuadPart = 0;
    if (pstm == nullptr) return STG_E_INVALIDPOINTER;
    BYTE chunk[4096];
    ULONGLONG left = cb.QuadPart;
    while (left > 0) {
      ULONG got = 0, put = 0;
      HRESULT hr = Read(chunk, static_cast<ULONG>(std::min<ULONGLONG>(left, sizeof chunk)), &got);
      if (FAILED(hr)) return hr;
      if (got == 0) break;
      if (pcbRead != nullptr) pcbRead->QuadPart += got;
      hr = pstm->Write(chunk, got, &put);
      if (pcbWritten != nullptr) pcbWritten->QuadPart += put;
      if (FAILED(hr)) return hr;
      left -= got;
    }
    return S_OK;
  }

  // Global memory has nothing to commit to and keeps no older state.
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD grfStatFlag) override {
    if (pstatstg == nullptr) return STG_E_INVALIDPOINTER;
    if (grfStatFlag != STATFLAG_DEFAULT && grfStatFlag != STATFLAG_NONAME) return STG_E_INVALIDFUNCTION;
    std::memset(pstatstg, 0, sizeof *pstatstg);
    pstatstg->type = STGTY_STREAM;  // a stream on memory has no name
    pstatstg->cbSize.QuadPart = size_;
    pstatstg->grfMode = STGM_READWRITE;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override {
    if (ppstm != nullptr) *ppstm = nullptr;
    return E_NOTIMPL;
  }

 private:
  ~HGlobalStream() {
    if (deleteOnRelease_) GlobalFree(memory_);
  }

  // Makes the block hold at least `bytes`. A block the caller handed in keeps its handle, so it
  // cannot move and the stream cannot grow past it; a block the stream made itself is replaced by
  // a larger one.
  HRESULT Reserve(ULONGLONG bytes) {
    const SIZE_T capacity = GlobalSize(memory_);
    if (bytes <= capacity) return S_OK;
    if (!ownAllocation_) return STG_E_MEDIUMFULL;
    if (bytes > kMaxOwnBytes) return E_OUTOFMEMORY;
    const SIZE_T grown = static_cast<SIZE_T>(std::max<ULONGLONG>(bytes, static_cast<ULONGLONG>(capacity) * 2));
    HGLOBAL larger = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, grown);
    if (larger == nullptr) return E_OUTOFMEMORY;
    void* to = GlobalLock(larger);
    const void* from = GlobalLock(memory_);
    if (to != nullptr && from != nullptr && size_ > 0) std::memcpy(to, from, static_cast<size_t>(size_));
    GlobalUnlock(memory_);
    GlobalUnlock(larger);
    if (to == nullptr || (from == nullptr && size_ > 0)) {
      GlobalFree(larger);
      return E_OUTOFMEMORY;
    }
    GlobalFree(memory_);
    memory_ = larger;
    return S_OK;
  }

  // A stream that grows its own block stops at 1 GiB.
  static constexpr ULONGLONG kMaxOwnBytes = 1ull << 30;

  HGLOBAL memory_;
  bool deleteOnRelease_;
  bool ownAllocation_;
  ULONGLONG size_;
  ULONGLONG position_ = 0;
};

constexpr SIZE_T kInitialOwnBytes = 4096;

}  // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm) {
  if (ppstm == nullptr) return E_INVALIDARG;
  *ppstm = nullptr;
  bool own = false;
  if (hGlobal == nullptr) {
    // A stream of our own starts empty, with some room to write into.
    hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kInitialOwnBytes);
    if (hGlobal == nullptr) return E_OUTOFMEMORY;
    own = true;
  }
  *ppstm = new HGlobalStream(hGlobal, own || fDeleteOnRelease, own);
  return S_OK;
}
