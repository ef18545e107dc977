// GetGuiResources: the count of GDI objects comes from GDI's own table; USER objects are not counted.
#include "platform/gdi32/display_dc.h"
#include "platform/user32/user32.h"

DWORD GetGuiResources(HANDLE hProcess, DWORD uiFlags) {
  (void)hProcess;  // only the calling process exists here
  if (uiFlags == GR_GDIOBJECTS) return platform::GdiLiveObjectCount();
  return 0;
}
