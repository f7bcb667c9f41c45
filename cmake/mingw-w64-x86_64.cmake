# Cross-compiles for 64-bit x86 Windows with Debian's mingw-w64 compilers (posix thread model).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
