#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "tools/vsthost/AudioFile.h"

// vsthost run as a program, the way people and scripts use it, with the built plug-in.
namespace tarn {
namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string tempPath(const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "vsthost_" + test->test_suite_name() + "_" + test->name() + "_" + name;
}

std::string readText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

Result vsthost(const std::string& args) {
    const std::string out = tempPath("stdout");
    const std::string err = tempPath("stderr");
    const std::string command = std::string("'") + VSTHOST_PATH + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readText(out);
    result.err = readText(err);
    return result;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }
const std::string kPlugin = quoted(PLUGIN_PATH);

// A failure is one line on stderr and a non-zero exit; only compare reports on stdout as well.
void expectOneLineError(const Result& r, const std::string& part, bool quiet = true) {
    EXPECT_NE(r.status, 0);
    if (quiet) {
        EXPECT_EQ(r.out, "");
    }
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_EQ(r.err.rfind("vsthost: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
}

AudioData stereoNoise(int sampleRate, double seconds, int channels = 2) {
    AudioData audio;
    audio.sampleRate = sampleRate;
    audio.channels = channels;
    unsigned state = 1;
    const auto frames = static_cast<std::size_t>(sampleRate * seconds);
    for (std::size_t i = 0; i < frames * static_cast<std::size_t>(channels); ++i) {
        state = state * 1664525u + 1013904223u;
        audio.samples.push_back(0.5 * (static_cast<double>(state >> 8) / 8388608.0 - 1.0));
    }
    return audio;
}

std::string writeInput(const std::string& name, const AudioData& audio) {
    const std::string path = tempPath(name);
    std::string error;
    EXPECT_TRUE(writeAudioFile(path, audio, SampleFormat::Float32, error)) << error;
    return path;
}

AudioData readOutput(const std::string& path) {
    AudioData audio;
    std::string error;
    EXPECT_TRUE(readAudioFile(path, audio, error)) << error;
    return audio;
}

double rms(const AudioData& audio) {
    double sum = 0.0;
    for (double s : audio.samples) sum += s * s;
    return std::sqrt(sum / static_cast<double>(audio.samples.size()));
}

TEST(VsthostInfo, PrintsTheIdentityAndShape) {
    const Result r = vsthost("info " + kPlugin);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    for (const char* line : {"effect name:    tarn Compressor\n", "vendor:         tarn studio\n",
                             "product:        tarn Compressor\n", "vendor version: 1240\n", "VST version:    2400\n",
                             "category:       1 (effect)\n", "unique ID:      wy62 (2004432434)\n", "inputs:         2\n",
                             "outputs:        2\n", "programs:       1\n", "parameters:     9\n",
                             "initial delay:  0\n", "program:        0 \"Default\"\n", "parameter 0: 0.5  ",
                             "parameter 4: 0.326666594  ", "parameter 8: 0  "})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
    EXPECT_NE(r.out.find("flags:          0x1011 (hasEditor canReplacing canDoubleReplacing)\n"), std::string::npos)
        << r.out;
}

TEST(VsthostInfo, ShowsParameterValuesSetOnTheCommandLine) {
    const Result r = vsthost("info " + kPlugin + " 3=0.25 7=1.5 0=-2 8=nan");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* line : {"parameter 3: 0.25  ", "parameter 7: 1.5  ", "parameter 0: -2  ", "parameter 8: nan  "})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
    expectOneLineError(vsthost("info " + kPlugin + " 9=0.5"), "parameter index 9 out of range");
}

TEST(VsthostRender, CompressesAStereoFileInBothPrecisions) {
    const AudioData input = stereoNoise(44100, 1.0);
    const std::string in = writeInput("in.wav", input);
    for (const char* precision : {"", " --double"}) {
        const std::string out = tempPath("out.wav");
        const Result r = vsthost("render " + kPlugin + " " + quoted(in) + " " + quoted(out) + precision +
                                 " --block 300 1=0.75 3=0.5 4=0");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out + r.err, "");
        const AudioData output = readOutput(out);
        EXPECT_EQ(output.sampleRate, 44100);
        EXPECT_EQ(output.channels, 2);
        EXPECT_EQ(output.frames(), input.frames());
        EXPECT_LT(20.0 * std::log10(rms(output) / rms(input)), -6.0) << precision;
    }
}

TEST(VsthostRender, DefaultParametersLeaveTheSignalAsItIs) {
    const AudioData input = stereoNoise(48000, 0.5);
    const std::string in = writeInput("in.wav", input);
    const std::string out = tempPath("out.wav");
    ASSERT_EQ(vsthost("render " + kPlugin + " " + quoted(in) + " " + quoted(out) + " --double").status, 0);
    const AudioData output = readOutput(out);
    ASSERT_EQ(output.samples.size(), input.samples.size());
    for (std::size_t i = 0; i < input.samples.size(); ++i)
        ASSERT_NEAR(output.samples[i], static_cast<float>(input.samples[i]), 1e-9) << i;
}

TEST(VsthostRender, MonoInputFeedsBothChannels) {
    const std::string in = writeInput("mono.wav", stereoNoise(22050, 0.5, 1));
    const std::string out = tempPath("out.wav");
    ASSERT_EQ(vsthost("render " + kPlugin + " " + quoted(in) + " " + quoted(out) + " 1=0.75 3=0.5").status, 0);
    const AudioData output = readOutput(out);
    ASSERT_EQ(output.channels, 2);
    EXPECT_EQ(output.sampleRate, 22050);
    for (std::size_t i = 0; i < output.frames(); ++i) ASSERT_EQ(output.samples[2 * i], output.samples[2 * i + 1]);
}

TEST(VsthostRender, RateOptionReachesThePluginButNotTheFile) {
    const std::string in = writeInput("in.wav", stereoNoise(44100, 0.5));
    const std::string atFileRate = tempPath("a.wav");
    const std::string atOtherRate = tempPath("b.wav");
    // Attack 100 ms: its length in samples depends on the rate the plug-in was given.
    const std::string settings = " 1=0.75 3=0.5 4=0.66";
    ASSERT_EQ(vsthost("render " + kPlugin + " " + quoted(in) + " " + quoted(atFileRate) + settings).status, 0);
    ASSERT_EQ(vsthost("render " + kPlugin + " " + quoted(in) + " " + quoted(atOtherRate) + " --rate 96000" + settings).status, 0);
    const AudioData a = readOutput(atFileRate);
    const AudioData b = readOutput(atOtherRate);
    EXPECT_EQ(b.sampleRate, 44100);
    EXPECT_NE(a.samples, b.samples);
    const Result same = vsthost("compare " + quoted(atFileRate) + " " + quoted(atFileRate));
    EXPECT_EQ(same.status, 0);
    const Result differ = vsthost("compare " + quoted(atFileRate) + " " + quoted(atOtherRate) + " --tolerance 1e-9");
    EXPECT_NE(differ.out.find("largest difference"), std::string::npos);
    expectOneLineError(differ, "differ by more than 1e-09", false);
}

TEST(VsthostSelfTest, BoundaryChecksPassOnThePlugin) {
    const Result r = vsthost("selftest " + kPlugin);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out.find("FAIL"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("selftest: 19 checks, 0 failed"), std::string::npos) << r.out;
}

// One start for several commands: each runs in turn, and the first failure ends the run with its status.
TEST(VsthostThen, RunsCommandsInTurnUpToTheFirstFailure) {
    const Result both = vsthost("info " + kPlugin + " then selftest " + kPlugin);
    EXPECT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(both.out, vsthost("info " + kPlugin).out + vsthost("selftest " + kPlugin).out);

    const Result stopped = vsthost("info " + kPlugin + " then frobnicate then selftest " + kPlugin);
    EXPECT_EQ(stopped.status, 2);
    EXPECT_EQ(stopped.out, vsthost("info " + kPlugin).out);
    EXPECT_NE(stopped.err.find("unknown command 'frobnicate'"), std::string::npos) << stopped.err;
}

TEST(VsthostBench, PrintsTimePerFrameAndRealTimeFactor) {
    const Result r = vsthost("bench " + kPlugin + " --seconds 0.2 --block 64 --signal sine --level -3 1=0.75 3=0.5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("blocks of 64, sine at -3 dBFS peak, processReplacing"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ns per frame: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("real-time factor: "), std::string::npos) << r.out;
    EXPECT_EQ(vsthost("bench " + kPlugin + " --seconds 0.1 --double --signal silence").status, 0);
    const Result passes = vsthost("bench " + kPlugin + " --seconds 0.1 --passes 3 --signal bursts");
    ASSERT_EQ(passes.status, 0) << passes.err;
    EXPECT_NE(passes.out.find("(median of 3 passes; best "), std::string::npos) << passes.out;
    EXPECT_NE(vsthost("bench " + kPlugin + " --passes 0").status, 0);
}

TEST(VsthostGenerate, WritesTheRequestedSignalAndFormat) {
    const std::string path = tempPath("sine.wav");
    ASSERT_EQ(vsthost("generate " + quoted(path) + " --signal sine --level -6.0206 --frequency 1000 --seconds 0.5 "
                      "--rate 32000 --channels 1 --format pcm24").status, 0);
    const AudioData audio = readOutput(path);
    EXPECT_EQ(audio.sampleRate, 32000);
    EXPECT_EQ(audio.channels, 1);
    EXPECT_EQ(audio.frames(), 16000u);
    EXPECT_NEAR(rms(audio), 0.5 / std::sqrt(2.0), 1e-4);
}

struct CurveRow {
    double in;
    double out;
};

// The rows of curve's table: input and output level, and the gain.
std::vector<CurveRow> curveRows(const std::string& report) {
    std::vector<CurveRow> rows;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        double in = 0;
        double out = 0;
        double gain = 0;
        char more = 0;
        if (std::sscanf(line.c_str(), "%lf %lf %lf %c", &in, &out, &gain, &more) == 3) rows.push_back({in, out});
    }
    return rows;
}

double halfWayMs(const std::string& report, const std::string& step) {
    const std::size_t at = report.find(step + ": ");
    const std::size_t half = report.find("half-way after ", at);
    return at == std::string::npos || half == std::string::npos ? -1.0 : std::atof(report.c_str() + half + 15);
}

TEST(VsthostCurve, MeasuresTheStaticCurveAndTheStepsAndPlotsThem) {
    const std::string png = tempPath("curve.png");
    // Threshold -30 dB, knee off, 4:1, attack 10 ms, release 100 ms.
    const Result r =
        vsthost("curve " + kPlugin + " --png " + quoted(png) + " 1=0.6875 2=1 3=0.15789474 4=0.0604027 5=0.0495248");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<CurveRow> rows = curveRows(r.out);
    ASSERT_EQ(rows.size(), 193u) << r.out;
    EXPECT_DOUBLE_EQ(rows.front().in, -96.0);
    EXPECT_DOUBLE_EQ(rows.back().in, 0.0);
    EXPECT_NE(r.out.find("threshold: -30.0 dB"), std::string::npos) << r.out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(rows[i].out, rows[i - 1].out) << rows[i].in;
        }
        if (rows[i].in <= -30.0) {
            EXPECT_NEAR(rows[i].out, rows[i].in, 0.01) << rows[i].in;
        } else if (rows[i].in > -29.0) {
            EXPECT_LT(rows[i].out, rows[i].in - 0.5) << rows[i].in;
        }
    }
    const double attack = halfWayMs(r.out, "attack");
    const double release = halfWayMs(r.out, "release");
    EXPECT_GT(attack, 0.0) << r.out;
    EXPECT_GT(release, attack) << r.out;

    std::ifstream file(png, std::ios::binary);
    unsigned char header[24] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    ASSERT_TRUE(file) << png;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(header) + 1, 3), "PNG");
    const auto bigEndian = [&](int at) {
        return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3];
    };
    EXPECT_EQ(bigEndian(16), 1200);
    EXPECT_EQ(bigEndian(20), 620);

    // At 1:1 nothing changes, whatever the threshold.
    const Result flat = vsthost("curve " + kPlugin + " 1=0.6875 3=0");
    ASSERT_EQ(flat.status, 0) << flat.err;
    const std::vector<CurveRow> flatRows = curveRows(flat.out);
    ASSERT_EQ(flatRows.size(), 193u);
    for (const CurveRow& row : flatRows) EXPECT_NEAR(row.out, row.in, 0.01) << row.in;
    EXPECT_NE(flat.out.find("threshold: none"), std::string::npos) << flat.out;
    EXPECT_NE(flat.out.find("half-way after none"), std::string::npos) << flat.out;
}

TEST(VsthostErrors, EachFailureIsOneLineAndANonZeroExit) {
    const std::string notALibrary = tempPath("text.so");
    std::ofstream(notALibrary) << "not a library\n";
    const std::string garbageWav = tempPath("garbage.wav");
    std::ofstream(garbageWav) << "RIFF....WAVEjunk";
    const std::string in = writeInput("in.wav", stereoNoise(8000, 0.1));
    const std::string out = quoted(tempPath("out.wav"));

    expectOneLineError(vsthost("info " + quoted(tempPath("missing.so"))), "no such file");
    expectOneLineError(vsthost("info " + quoted(notALibrary)), "cannot load plug-in");
    expectOneLineError(vsthost("info " + quoted(NO_ENTRY_PATH)), "no VST entry point");
    expectOneLineError(vsthost("info " + quoted(NULL_ENTRY_PATH)), "returned no effect");
    expectOneLineError(vsthost("render " + quoted(NULL_ENTRY_PATH) + " " + quoted(in) + " " + out), "returned no effect");
    expectOneLineError(vsthost("render " + kPlugin + " " + quoted(tempPath("missing.wav")) + " " + out), "cannot read");
    expectOneLineError(vsthost("render " + kPlugin + " " + quoted(garbageWav) + " " + out), "cannot read");
    expectOneLineError(vsthost("render " + kPlugin + " " + quoted(in) + " " + quoted(tempPath("no/such/dir.wav"))),
                       "cannot write");
    expectOneLineError(vsthost("bench " + quoted(NO_ENTRY_PATH)), "no VST entry point");
    expectOneLineError(vsthost("frobnicate"), "unknown command");
    expectOneLineError(vsthost("render " + kPlugin + " " + quoted(in) + " " + out + " --block 0"), "--block");
    expectOneLineError(vsthost("render " + kPlugin + " " + quoted(in) + " " + out + " --speed 2"), "unknown option");
    expectOneLineError(vsthost("info " + kPlugin + " 3=abc"), "bad parameter setting");
    expectOneLineError(vsthost("info"), "usage");
}

} // namespace
} // namespace tarn
