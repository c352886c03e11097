# Cross-compiles for 32-bit Windows with the i686 mingw-w64 compilers (posix threads),
# statically linked like the 64-bit build. The executables declare Windows XP (subsystem and
# OS version 5.01) as the oldest system they start on; the Win32 layer's headers are held to
# the same floor by CURTATE_WIN32_WINNT (see the windows-x86 preset).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(curtate_mingw_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCommon.cmake)

# SSE2 arithmetic instead of the x87 unit's 80-bit intermediates, so the numbers and the
# command texts are the same as in the 64-bit and native builds (every x86 processor since
# the Pentium 4 and the Athlon 64 has SSE2).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
  " -Wl,--major-subsystem-version,5,--minor-subsystem-version,1,--major-os-version,5,--minor-os-version,1")
