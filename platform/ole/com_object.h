// Inside OLE only: what every object of ours shares as a COM object: its reference count, deletion on
// the last Release, and QueryInterface over the interfaces it answers to.
#pragma once

#include <atomic>
#include <initializer_list>

#include "platform/ole/ole.h"

namespace platform::ole {

template <typename Interface>
class ComObject : public Interface {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;

  // QueryInterface for an object that answers to each interface in `ids` with its one pointer.
  HRESULT Query(REFIID riid, void** ppvObject, std::initializer_list<const IID*> ids) {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    for (const IID* id : ids) {
      if (riid == *id) {
        *ppvObject = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
      }
    }
    return E_NOINTERFACE;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

// Writes `value` to an out-parameter of a property getter: E_POINTER without one.
template <typename T, typename V>
HRESULT GiveOut(T* out, V value) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<T>(value);
  return S_OK;
}

}  // namespace platform::ole
