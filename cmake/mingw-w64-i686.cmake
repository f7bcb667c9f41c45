# Cross-compiles for 32-bit x86 Windows with Debian's mingw-w64 compilers (posix thread model).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TARN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
