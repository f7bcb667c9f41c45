#include <sndfile.h>

#include "tools/vsthost/AudioFile.h"

namespace tarn {

namespace {

int subtypeOf(SampleFormat format) {
    switch (format) {
    case SampleFormat::Pcm16: return SF_FORMAT_PCM_16;
    case SampleFormat::Pcm24: return SF_FORMAT_PCM_24;
    case SampleFormat::Pcm32: return SF_FORMAT_PCM_32;
    case SampleFormat::Float32: return SF_FORMAT_FLOAT;
    case SampleFormat::Float64: return SF_FORMAT_DOUBLE;
    }
    return SF_FORMAT_FLOAT;
}

} // namespace

bool readAudioFile(const std::string& path, AudioData& audio, std::string& error) {
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate <= 0 || info.frames < 0) {
        sf_close(file);
        error = "invalid channel count or sample rate";
        return false;
    }
    audio.sampleRate = info.samplerate;
    audio.channels = info.channels;
    audio.samples.assign(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels), 0.0);
    const sf_count_t got = sf_readf_double(file, audio.samples.data(), info.frames);
    audio.samples.resize(static_cast<std::size_t>(got) * static_cast<std::size_t>(info.channels));
    sf_close(file);
    return true;
}

bool writeAudioFile(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error) {
    SF_INFO info = {};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = SF_FORMAT_WAV | subtypeOf(format);
    if (audio.channels < 1 || audio.sampleRate <= 0 || !sf_format_check(&info)) {
        error = "invalid channel count or sample rate";
        return false;
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = sf_strerror(nullptr);
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    const auto frames = static_cast<sf_count_t>(audio.frames());
    const sf_count_t written = sf_writef_double(file, audio.samples.data(), frames);
    if (written != frames) error = sf_strerror(file);
    const int closed = sf_close(file);
    if (written != frames) return false;
    if (closed != 0) {
        error = "write error";
        return false;
    }
    return true;
}

} // namespace tarn
