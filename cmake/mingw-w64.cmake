# The Windows build's toolchain: mingw-w64's 64-bit compilers with POSIX
# threads, and Wine to run what they build (CTest's cross-compiling emulator).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PELLORIN_MINGW x86_64-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${PELLORIN_MINGW}-gcc-posix ${PELLORIN_MINGW}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${PELLORIN_MINGW}-g++-posix ${PELLORIN_MINGW}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${PELLORIN_MINGW}-windres REQUIRED)
find_program(PELLORIN_WINE NAMES wine wine64)
if(PELLORIN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PELLORIN_WINE})
endif()

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${PELLORIN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
