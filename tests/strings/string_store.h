// The string store is initialised once per process, as start-up does; tests measure the registry
// relative to what it held before them.
#pragma once

#include <mutex>
#include <string>

#include "runtime/strings.h"

inline void EnsureStringStore() {
  static std::once_flag once;
  std::call_once(once, [] { StrInit(); });
}

inline int32_t RegistryCount() {
  EnterCriticalSection(&stringRegistry.lock);
  int32_t count = stringRegistry.count;
  LeaveCriticalSection(&stringRegistry.lock);
  return count;
}

inline bool Registered(TrackedString s) {
  EnterCriticalSection(&stringRegistry.lock);
  bool found = false;
  for (int32_t i = 0; i < stringRegistry.count; i++) found = found || stringRegistry.items[i] == s;
  LeaveCriticalSection(&stringRegistry.lock);
  return found;
}

// A new tracked string holding `bytes` (zeros included).
inline TrackedString MakeString(const std::string& bytes) {
  TrackedString s = StrNew(static_cast<int32_t>(bytes.size()));
  for (size_t i = 0; i < bytes.size(); i++) s[i] = bytes[i];
  return s;
}

inline std::string Contents(TrackedString s) { return std::string(s, static_cast<size_t>(StrLength(s))); }
