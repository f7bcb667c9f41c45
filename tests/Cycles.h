#pragma once
// How many rounds a soak or cycle test runs: all of them in the normal build, a fraction under
// the sanitizers and valgrind (TARN_CYCLE_DIVISOR), which check every access and find the same
// kinds of fault in fewer rounds.
#include <algorithm>
#include <cstdlib>

namespace tarn::test {

inline int cycles(int full) {
    const char* divisor = std::getenv("TARN_CYCLE_DIVISOR");
    const int by = divisor ? std::max(1, std::atoi(divisor)) : 1;
    return std::max(1, full / by);
}

} // namespace tarn::test
