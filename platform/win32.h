// The one header through which system code reaches the Windows API.
//
// On Windows it is the real <windows.h> (with the input-method and OLE picture headers); elsewhere it
// is our own implementation of the subset that the system calls, with the same names, signatures,
// types and constant values, split by the DLL each function belongs to.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <imm.h>
#include <ole2.h>
#include <olectl.h>
#else
#include "platform/win32_types.h"
#include "platform/kernel32/kernel32.h"
#include "platform/gdi32/gdi32.h"
#include "platform/user32/user32.h"
#include "platform/imm32/imm32.h"
#include "platform/ole/ole.h"
#endif
