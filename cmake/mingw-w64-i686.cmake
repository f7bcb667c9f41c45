# Cross-compiles for 32-bit x86 Windows with Debian's mingw-w64 compilers (posix thread model).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TARN_MINGW_TRIPLE i686-w64-mingw32)
# Floating point in SSE2 registers, as on x86-64, instead of the x87 unit's 80-bit ones: the
# 32-bit build then computes exactly what the others do, and faster. Every CPU that runs a
# current 32-bit host has SSE2. Callers on 32-bit Windows keep the stack only 4-byte aligned;
# with SSE this target realigns it where needed (-mstackrealign is its default).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
