# Cross-compiles for 32-bit Windows with the i686 mingw-w64 compilers of the posix thread
# model, statically linked like the 64-bit build. The executables declare Windows XP
# (subsystem and OS version 5.01) as the oldest system they start on; the Windows headers
# are held to the same floor by CURTATE_WIN32_WINNT (see the windows-x86 preset).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

find_program(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER i686-w64-mingw32-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(CURTATE_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CURTATE_WINE})

# SSE2 arithmetic instead of the x87 unit's 80-bit intermediates, so the numbers and the
# command texts are the same as in the 64-bit and native builds (every x86 processor since
# the Pentium 4 and the Athlon 64 has SSE2).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# Statically linked, so the executables run with no extra DLL beside them; no link time
# stamp, so two builds of the same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp \
-Wl,--major-subsystem-version,5,--minor-subsystem-version,1,--major-os-version,5,--minor-os-version,1")
