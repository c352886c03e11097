# Cross-compiles for 64-bit Windows with the x86_64 mingw-w64 compilers (posix threads).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(curtate_mingw_triplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCommon.cmake)
