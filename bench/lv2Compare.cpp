// Prints nanoseconds per stereo frame through our LV2 plug-in and the packaged LV2 stereo
// compressors, hosted alike by lilv: one compressing setting for all (threshold -30 dB, 4:1,
// attack 10 ms, release 100 ms, knee off, no make-up) mapped onto each one's control ports by
// symbol, 48 kHz, blocks of 512, flush-to-zero and denormals-are-zero for all. Signals at
// -6 dBFS peak, four seconds each: noise bursts, plucked notes and the phrase. Each figure is
// the best of the passes (every pass runs the whole signal once); the plug-ins and signals take
// turns pass by pass, so that they all see the same other load. Each plug-in must really
// compress: its gain over the signal (output level against input level) must be at least 2 dB
// below its gain over the same signal 50 dB quieter, below the threshold, or the line says so.
// (Against its own quiet gain, since x42's make-up gain cannot be switched off.) Last, ours
// against the fastest peer on each signal.
//
// lv2Compare BUNDLE_FOLDER [--passes N]: BUNDLE_FOLDER holds tarnCompressor.lv2; the peers come
// from the system's LV2 path. Peers that are not installed are left out.
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>
#include <xmmintrin.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/vsthost/SignalGenerator.h"

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kSeconds = 4;
constexpr double kPeak = 0.5;
constexpr double kQuietPeak = kPeak * 0.00316; // 50 dB below
constexpr double kLeastReductionDb = 2.0;

struct Peer {
    const char* name;
    const char* uri;
    std::map<std::string, float> settings;
};

// The setting in each one's own units: x42's ratio is the slope above the threshold in dB per
// dB (0.75 for 4:1), its times in seconds; LSP's levels are gains. x42 has automatic make-up
// gain that cannot be switched off (unity at -10 dBFS RMS).
const std::vector<Peer> kPlugins = {
    {"tarn Compressor (ours)", "https://tarn.studio/plugins/compressor",
     {{"threshold", -30.0f}, {"ratio", 4.0f}, {"attack", 10.0f}, {"release", 100.0f}, {"knee", 0.0f},
      {"input_gain", 0.0f}, {"output_gain", 0.0f}}},
    {"x42 Dynamic Compressor Stereo", "http://gareus.org/oss/lv2/darc#stereo",
     {{"threshold", -30.0f}, {"Ratio", 0.75f}, {"attack", 0.01f}, {"release", 0.1f}, {"inputgain", 0.0f},
      {"hold", 0.0f}, {"enable", 1.0f}}},
    {"ACE Compressor stereo", "urn:ardour:a-comp#stereo",
     {{"thr", -30.0f}, {"rat", 4.0f}, {"att", 10.0f}, {"rel", 100.0f}, {"kn", 0.0f}, {"mak", 0.0f},
      {"enable", 1.0f}}},
    {"LSP Compressor Stereo", "http://lsp-plug.in/plugins/lv2/compressor_stereo",
     {{"al", 0.0316228f}, {"cr", 4.0f}, {"at", 10.0f}, {"rt", 100.0f}, {"kn", 1.0f}, {"mk", 1.0f}, {"cm", 0.0f},
      {"scm", 1.0f}, {"enabled", 1.0f}, {"g_in", 1.0f}, {"g_out", 1.0f}}},
};

const std::vector<std::pair<const char*, tarn::Signal>> kSignals = {
    {"noise bursts", tarn::Signal::Bursts}, {"plucked notes", tarn::Signal::Plucks}, {"phrase", tarn::Signal::Phrase}};

// The URID map the LSP plug-ins require: one number per URI, in order of asking.
struct UridMap {
    std::vector<std::string> uris;
    LV2_URID map(const char* uri) {
        for (std::size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }
    static LV2_URID call(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<UridMap*>(handle)->map(uri); }
};

struct Nodes {
    explicit Nodes(LilvWorld* world)
        : audio(lilv_new_uri(world, LV2_CORE__AudioPort)), control(lilv_new_uri(world, LV2_CORE__ControlPort)),
          input(lilv_new_uri(world, LV2_CORE__InputPort)), atom(lilv_new_uri(world, LV2_ATOM__AtomPort)) {}
    ~Nodes() {
        for (LilvNode* n : {audio, control, input, atom}) lilv_node_free(n);
    }
    LilvNode* audio;
    LilvNode* control;
    LilvNode* input;
    LilvNode* atom;
};

// One plug-in instance on one signal, its ports connected to buffers of its own.
class Run {
public:
    Run(const LilvPlugin* plugin, const Peer& peer, const Nodes& nodes, UridMap& urids, const LV2_Feature* const* features,
        const std::vector<double>& left, const std::vector<double>& right)
        : inL(left.begin(), left.end()), inR(right.begin(), right.end()), outL(left.size()), outR(right.size()) {
        instance = lilv_plugin_instantiate(plugin, kRate, features);
        if (!instance) return;
        const std::uint32_t ports = lilv_plugin_get_num_ports(plugin);
        controls.assign(ports, 0.0f);
        std::vector<float> defaults(ports);
        lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
        sequenceType = urids.map(LV2_ATOM__Sequence);
        int audioIn = 0;
        int audioOut = 0;
        for (std::uint32_t p = 0; p < ports; ++p) {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
            const bool isInput = lilv_port_is_a(plugin, port, nodes.input);
            const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
            if (lilv_port_is_a(plugin, port, nodes.audio)) {
                float* buffer = isInput ? (audioIn++ == 0 ? inBlock[0] : inBlock[1]) : (audioOut++ == 0 ? outBlock[0] : outBlock[1]);
                lilv_instance_connect_port(instance, p, buffer);
            } else if (lilv_port_is_a(plugin, port, nodes.control)) {
                const auto setting = peer.settings.find(symbol);
                controls[p] = isInput && setting != peer.settings.end() ? setting->second : defaults[p];
                if (std::isnan(controls[p])) controls[p] = 0.0f;
                lilv_instance_connect_port(instance, p, &controls[p]);
            } else if (lilv_port_is_a(plugin, port, nodes.atom)) {
                atoms.push_back({std::make_unique<LV2_Atom_Sequence[]>(kAtomCapacity / sizeof(LV2_Atom_Sequence)), isInput});
                lilv_instance_connect_port(instance, p, atoms.back().buffer.get());
            } else {
                lilv_instance_connect_port(instance, p, nullptr);
            }
        }
        lilv_instance_activate(instance);
    }
    ~Run() {
        if (!instance) return;
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    bool ok() const { return instance != nullptr; }

    // The whole signal once, in blocks; answers nanoseconds per frame.
    double pass() {
        const std::size_t frames = inL.size();
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t done = 0; done < frames; done += kBlock) {
            const std::size_t count = std::min<std::size_t>(kBlock, frames - done);
            std::copy_n(&inL[done], count, inBlock[0]);
            std::copy_n(&inR[done], count, inBlock[1]);
            for (Atom& a : atoms) {
                a.buffer[0].atom.type = a.input ? sequenceType : 0;
                a.buffer[0].atom.size = a.input ? sizeof(LV2_Atom_Sequence_Body) : kAtomCapacity - sizeof(LV2_Atom);
                a.buffer[0].body = {0, 0};
            }
            lilv_instance_run(instance, static_cast<std::uint32_t>(count));
            std::copy_n(outBlock[0], count, &outL[done]);
            std::copy_n(outBlock[1], count, &outR[done]);
        }
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        return took.count() / static_cast<double>(frames);
    }

    // Output level against input level over the whole signal of the latest pass, in dB.
    double gainDb() const { return 10.0 * std::log10(std::max(power(outL, outR), 1e-30) / power(inL, inR)); }

private:
    static constexpr std::size_t kAtomCapacity = 8192;
    struct Atom {
        std::unique_ptr<LV2_Atom_Sequence[]> buffer;
        bool input;
    };
    static double power(const std::vector<float>& l, const std::vector<float>& r) {
        double sum = 0.0;
        for (std::size_t i = 0; i < l.size(); ++i) sum += double{l[i]} * l[i] + double{r[i]} * r[i];
        return sum / static_cast<double>(2 * l.size());
    }

    LilvInstance* instance = nullptr;
    std::vector<float> inL, inR, outL, outR;
    float inBlock[2][kBlock] = {};
    float outBlock[2][kBlock] = {};
    std::vector<float> controls;
    std::vector<Atom> atoms;
    LV2_URID sequenceType = 0;
};

// Measures and prints; answers the exit status. Everything made from the world goes before it.
int compare(LilvWorld* world, int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: lv2Compare BUNDLE_FOLDER [--passes N]\n");
        return 2;
    }
    int passes = 30;
    for (int i = 2; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--passes") == 0) passes = std::max(1, std::atoi(argv[i + 1]));
    // Flush-to-zero and denormals-are-zero, as hosts set them for their audio threads.
    _mm_setcsr(_mm_getcsr() | 0x8040);

    lilv_world_load_all(world);
    const std::string bundle = "file://" + std::string(argv[1]) + "/tarnCompressor.lv2/";
    LilvNode* bundleNode = lilv_new_uri(world, bundle.c_str());
    lilv_world_load_bundle(world, bundleNode);
    lilv_node_free(bundleNode);
    const LilvPlugins* all = lilv_world_get_all_plugins(world);

    UridMap urids;
    LV2_URID_Map map{&urids, &UridMap::call};
    const LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    const Nodes nodes(world);

    // Each signal at its level, then 50 dB quieter.
    std::vector<std::vector<double>> left;
    std::vector<std::vector<double>> right;
    const auto frames = static_cast<std::size_t>(kSeconds * kRate);
    for (const double peak : {kPeak, kQuietPeak}) {
        for (const auto& [name, signal] : kSignals) {
            const double frequency = signal == tarn::Signal::Bursts ? 1000.0 : 110.0;
            left.push_back(tarn::generateSignal(signal, peak, frequency, kRate, 0, frames));
            right.push_back(tarn::generateSignal(signal, peak, frequency, kRate, 1, frames));
        }
    }

    // runs[plug-in][signal]; plug-ins that are not installed have none. quietGainDb[plug-in][signal].
    std::vector<std::vector<std::unique_ptr<Run>>> runs(kPlugins.size());
    std::vector<std::vector<double>> quietGainDb(kPlugins.size());
    for (std::size_t p = 0; p < kPlugins.size(); ++p) {
        LilvNode* uri = lilv_new_uri(world, kPlugins[p].uri);
        const LilvPlugin* plugin = lilv_plugins_get_by_uri(all, uri);
        lilv_node_free(uri);
        if (!plugin) continue;
        for (std::size_t s = 0; s < kSignals.size(); ++s) {
            auto run = std::make_unique<Run>(plugin, kPlugins[p], nodes, urids, features, left[s], right[s]);
            const std::size_t q = s + kSignals.size();
            Run quiet(plugin, kPlugins[p], nodes, urids, features, left[q], right[q]);
            if (!run->ok() || !quiet.ok()) continue;
            quiet.pass();
            quietGainDb[p].push_back(quiet.gainDb());
            runs[p].push_back(std::move(run));
        }
        if (runs[p].size() != kSignals.size()) runs[p].clear();
    }

    std::vector<std::vector<double>> best(kPlugins.size(), std::vector<double>(kSignals.size(), 1e30));
    for (int pass = 0; pass <= passes; ++pass) {
        for (std::size_t p = 0; p < kPlugins.size(); ++p) {
            for (std::size_t s = 0; s < runs[p].size(); ++s) {
                const double ns = runs[p][s]->pass();
                // The first pass only warms up.
                if (pass > 0) best[p][s] = std::min(best[p][s], ns);
            }
        }
    }

    std::printf("LV2 under lilv: 48 kHz, blocks of 512, threshold -30 dB, 4:1, attack 10 ms, release 100 ms, knee off, "
                "no make-up; best of %d passes of %d s; ns per stereo frame (gain below the quiet signal's, dB)\n",
                passes, kSeconds);
    std::printf("%-32s", "");
    for (const auto& signal : kSignals) std::printf(" %22s", signal.first);
    std::printf("\n");
    bool allCompressed = true;
    for (std::size_t p = 0; p < kPlugins.size(); ++p) {
        std::printf("%-32s", kPlugins[p].name);
        if (runs[p].empty()) {
            std::printf(" not installed\n");
            continue;
        }
        for (std::size_t s = 0; s < kSignals.size(); ++s) {
            const double reduction = quietGainDb[p][s] - runs[p][s]->gainDb();
            const bool compressed = reduction >= kLeastReductionDb;
            allCompressed = allCompressed && compressed;
            std::printf(" %8.2f (%5.1f dB)%s", best[p][s], reduction, compressed ? "   " : " ! ");
        }
        std::printf("\n");
    }
    if (!runs[0].empty()) {
        std::printf("%-32s", "ours / fastest peer");
        for (std::size_t s = 0; s < kSignals.size(); ++s) {
            double fastest = 1e30;
            for (std::size_t p = 1; p < kPlugins.size(); ++p)
                if (!runs[p].empty()) fastest = std::min(fastest, best[p][s]);
            if (fastest < 1e30) std::printf(" %22.2f", best[0][s] / fastest);
            else std::printf(" %22s", "-");
        }
        std::printf("\n");
    }
    if (!allCompressed) std::printf("! marks a signal that a plug-in compressed by less than %.0f dB\n", kLeastReductionDb);
    return allCompressed ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    LilvWorld* world = lilv_world_new();
    const int status = compare(world, argc, argv);
    lilv_world_free(world);
    return status;
}
