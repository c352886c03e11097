#pragma once

// The one way the simulated host's server includes the Windows headers: lean, without the
// min/max macros, and without the GDI macro GetObject, which is also the name of a host
// operation.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif

#include <ole2.h>
#include <oleauto.h>
#include <windows.h>

#undef GetObject
