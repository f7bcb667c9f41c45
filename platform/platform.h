#pragma once
// The one place that tells which operating system we build for.
#if defined(_WIN32)
#define TARN_WINDOWS 1
#elif defined(__linux__)
#define TARN_LINUX 1
#else
#error "unsupported platform"
#endif

#if defined(TARN_WINDOWS)
#define TARN_CDECL __cdecl
#define TARN_EXPORT __declspec(dllexport)
#else
#define TARN_CDECL
#define TARN_EXPORT __attribute__((visibility("default")))
#endif
