#include "tools/vsthost/Commands.h"

#include <cstdio>

namespace tarn {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"info", "info <plugin> [index=value ...]", runInfo},
        {"render",
         "render <plugin> <in.wav> <out.wav> [--rate HZ] [--block N] [--double] [index=value ...]", runRender},
        {"bench",
         "bench <plugin> [--rate HZ] [--block N] [--seconds S] [--passes N] [--signal noise|sine|silence|phrase|bursts|plucks] [--level DBFS] "
         "[--double] [index=value ...]",
         runBench},
        {"generate",
         "generate <out.wav> [--signal noise|sine|silence|phrase|bursts|plucks] [--level DBFS] [--frequency HZ] [--seconds S] "
         "[--rate HZ] [--channels 1|2] [--format pcm16|pcm24|pcm32|float|double]",
         runGenerate},
        {"compare", "compare <a.wav> <b.wav> [--tolerance X]", runCompare},
        {"levels", "levels <file.wav> [<file.wav> ...]", runLevels},
        {"curve",
         "curve <plugin> [--rate HZ] [--signal sine|constant] [--settle MS] [--png out.png] [--title TEXT] "
         "[index=value ...]",
         runCurve},
        {"editor",
         "editor <plugin> [--seconds S] [--screenshot out.png] [--rate HZ] [--block N] "
         "[--signal noise|sine|silence|phrase|bursts|plucks] [--scale F] [index=value ...]",
         runEditor},
        {"selftest", nullptr, runSelfTest},
    };
    return table;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "vsthost: %s\n", message.c_str());
    return 1;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "vsthost: %s\n", message.c_str());
    return 2;
}

} // namespace tarn
