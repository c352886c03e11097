# The part both mingw-w64 toolchain files share; they set CMAKE_SYSTEM_PROCESSOR and
# curtate_mingw_triplet first. The compilers are those of the posix thread model: the
# win32-thread ones lack std::mutex and cannot build GoogleTest.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER ${curtate_mingw_triplet}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER ${curtate_mingw_triplet}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER ${curtate_mingw_triplet}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${curtate_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(CURTATE_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CURTATE_WINE})

# Statically linked, so the executables run with no extra DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
