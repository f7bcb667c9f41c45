#pragma once
#include <cstdint>

namespace tarn {

// A number that tells the calling thread from every other running thread. Safe on any thread,
// the audio thread included: it neither allocates nor blocks, even on threads the plug-in did
// not create.
std::uint64_t currentThreadId();

// Processor time the calling thread has used so far, in seconds.
double threadCpuSeconds();

} // namespace tarn
