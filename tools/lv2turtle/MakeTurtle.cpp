// Writes the LV2 bundle's description, manifest.ttl and tarnCompressor.ttl, from the parameter
// table, so that the description cannot drift from the plug-in.
// Usage: make_lv2_turtle <bundle folder> <plug-in binary> <UI binary>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "lv2/Ports.h"
#include "dsp/ParameterTable.h"

namespace {

using namespace tarn;
using namespace tarn::lv2;

// A float written so that reading it back gives the same float, always as a Turtle decimal.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string result = text;
    if (result.find_first_of(".en") == std::string::npos) result += ".0";
    return result;
}

const std::string& ratioUnit() {
    static const std::string unit = std::string("<") + kPluginUri + "#ratio>";
    return unit;
}

const char* unitOf(Unit unit) {
    switch (unit) {
    case Unit::Decibels: return "units:db";
    case Unit::Milliseconds: return "units:ms";
    case Unit::Ratio: return ratioUnit().c_str();
    }
    return "";
}

void writeManifest(std::ostream& out, const std::string& binary, const std::string& uiBinary) {
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
           "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n"
        << "<" << kPluginUri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << binary
        << "> ;\n    rdfs:seeAlso <tarnCompressor.ttl> .\n\n"
        << "<" << kUiUri << ">\n    a ui:X11UI ;\n    ui:binary <" << uiBinary
        << "> ;\n    rdfs:seeAlso <tarnCompressor.ttl> .\n";
}

// The stereo groups' addresses, beside the plug-in's.
std::string groupUri(const char* symbol) { return std::string("<") + kPluginUri + "#" + symbol + ">"; }

// channel is "left" or "right" of the group.
void writeAudioPort(std::ostream& out, std::uint32_t index, const char* direction, const char* symbol,
                    const char* name, const char* group, const char* channel) {
    out << "    [\n        a lv2:" << direction << "Port , lv2:AudioPort ;\n        lv2:index " << index
        << " ;\n        lv2:symbol \"" << symbol << "\" ;\n        lv2:name \"" << name
        << "\" ;\n        pg:group " << groupUri(group) << " ;\n        lv2:designation pg:" << channel
        << "\n    ] ,\n";
}

void writeGroup(std::ostream& out, const char* direction, const char* symbol, const char* name) {
    out << groupUri(symbol) << "\n    a pg:StereoGroup , pg:" << direction << "Group ;\n    lv2:symbol \""
        << symbol << "\" ;\n    lv2:name \"" << name << "\" .\n\n";
}

void writeControlPort(std::ostream& out, int i) {
    const ParameterInfo& p = kParameters[i];
    out << "    [\n        a lv2:InputPort , lv2:ControlPort ;\n        lv2:index " << kFirstControl + i
        << " ;\n        lv2:symbol \"" << p.symbol << "\" ;\n        lv2:name \"" << p.name
        << "\" ;\n        lv2:default " << number(toNatural(i, p.defaultValue)) << " ;\n        lv2:minimum "
        << number(p.minimum) << " ;\n        lv2:maximum " << number(p.maximum) << " ;\n        units:unit "
        << unitOf(p.unit);
    if (p.topText)
        out << " ;\n        lv2:scalePoint [\n            rdfs:label \"" << p.topText
            << "\" ;\n            rdf:value " << number(p.maximum) << "\n        ]";
    out << "\n    ] ,\n";
}

void writeDescription(std::ostream& out) {
    out << "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
           "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
           "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
           "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
           "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
           "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
           "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
           "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";
    // LV2's units have none for a compression ratio; it gets an address beside the plug-in's,
    // so that it does not depend on where the bundle is installed.
    out << ratioUnit() << "\n    a units:Unit ;\n    rdfs:label \"ratio\" ;\n    units:symbol \":1\" ;\n"
           "    units:render \"%.1f:1\" .\n\n";
    writeGroup(out, "Input", "in", "Stereo in");
    writeGroup(out, "Output", "out", "Stereo out");
    out << "<" << kPluginUri << ">\n    a lv2:Plugin , lv2:CompressorPlugin , doap:Project ;\n"
        << "    doap:name \"tarn Compressor\" ;\n"
        << "    doap:shortdesc \"A stereo compressor with a soft knee and a level graph\" ;\n"
        << "    doap:homepage <https://tarn.studio> ;\n"
        << "    doap:license <https://spdx.org/licenses/ISC> ;\n"
        << "    doap:maintainer [\n        foaf:name \"tarn studio\" ;\n"
        << "        foaf:mbox <mailto:plugins@tarn.studio> ;\n        foaf:homepage <https://tarn.studio>\n    ] ;\n"
        << "    lv2:minorVersion 2 ;\n    lv2:microVersion 4 ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable ;\n"
        << "    ui:ui <" << kUiUri << "> ;\n"
        << "    pg:mainInput " << groupUri("in") << " ;\n    pg:mainOutput " << groupUri("out") << " ;\n"
        << "    lv2:port\n";
    writeAudioPort(out, kInLeft, "Input", "in_left", "Left in", "in", "left");
    writeAudioPort(out, kInRight, "Input", "in_right", "Right in", "in", "right");
    writeAudioPort(out, kOutLeft, "Output", "out_left", "Left out", "out", "left");
    writeAudioPort(out, kOutRight, "Output", "out_right", "Right out", "out", "right");
    for (int i = 0; i < kNumControls; ++i) writeControlPort(out, i);
    out << "    [\n        a lv2:OutputPort , lv2:ControlPort ;\n        lv2:index " << kGainReduction
        << " ;\n        lv2:symbol \"gain_reduction\" ;\n        lv2:name \"Gain reduction\" ;\n"
        << "        lv2:minimum 0.0 ;\n        lv2:maximum " << number(kMaxReductionDb)
        << " ;\n        units:unit units:db\n    ] .\n\n";
    // The editor lives in the host's window and is refreshed by the host's idle calls.
    out << "<" << kUiUri << ">\n    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
        // Some hosts pass their interface scaling only to UIs that say they take it.
        << "    opts:supportedOption ui:scaleFactor ;\n"
        << "    lv2:optionalFeature opts:options , <http://lv2plug.in/ns/ext/urid#map> , ui:touch , ui:noUserResize ,\n"
        << "        <http://lv2plug.in/ns/ext/instance-access> ;\n"
        << "    lv2:extensionData opts:interface ;\n"
        << "    lv2:extensionData ui:idleInterface .\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_lv2_turtle <bundle folder> <plug-in binary> <UI binary>\n";
        return 2;
    }
    const std::string folder = argv[1];
    std::ofstream manifest(folder + "/manifest.ttl");
    writeManifest(manifest, argv[2], argv[3]);
    std::ofstream description(folder + "/tarnCompressor.ttl");
    writeDescription(description);
    manifest.close();
    description.close();
    const bool written = manifest && description;
    if (!written) std::cerr << "make_lv2_turtle: cannot write into " << folder << "\n";
    return written ? 0 : 1;
}
