# Cross build for 64-bit Windows with the MinGW-w64 compilers of the posix thread model
# (std::thread and std::mutex need it). Used by the `windows` preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALVIK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALVIK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALVIK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TALVIK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALVIK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Fully static: otherwise every .exe needs libwinpthread-1.dll and the compiler's runtime DLLs
# beside it and does not start on a plain Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and other programs built here run under Wine.
find_program(TALVIK_WINE wine)
if(TALVIK_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TALVIK_WINE})
endif()
