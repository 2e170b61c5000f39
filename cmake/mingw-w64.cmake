# mingw-w64.cmake: cross-builds the Windows program on Debian with MinGW-w64 (64-bit, posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
# The posix flavour: std::thread and <mutex> work, through a statically linked winpthreads.
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# The wide-character API everywhere; Windows 10 for the per-monitor DPI functions. The
# programs whose entry is wWinMain link with -municode (VOREK_WIN32_ENTRY_FLAGS); the test
# programs keep GoogleTest's main.
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00")
set(VOREK_WIN32_ENTRY_FLAGS -municode)
# One executable that needs no DLL beside it: the C++ runtime and winpthreads linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs run on the build machine; libraries and headers come from the MinGW tree only, never
# from the host's /usr.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
