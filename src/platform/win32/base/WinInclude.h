#pragma once
// The one way the Win32 layer includes the Windows headers: every file of
// src/platform/win32 includes this instead of <windows.h>, so the target version
// and the trimmed header set are the same everywhere and the macros that collide
// with our own names are gone.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // Windows 7
#endif
#ifndef WINVER
#define WINVER _WIN32_WINNT
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>

// COM and OLE Automation (IDispatch, BSTR, VARIANT, SAFEARRAY).
#include <ole2.h>
#include <oleauto.h>

// Macros of the Windows headers that collide with names of our own: GetObject
// (GDI's GetObjectW) with member functions, GetCurrentTime and Yield with
// anything so named, rpcndr's `small` with ordinary variables. Call the W
// function by its full name where it is wanted (GetObjectW).
#undef GetObject
#undef GetCurrentTime
#undef Yield
#undef small
