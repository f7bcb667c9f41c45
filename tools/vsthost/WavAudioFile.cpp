#include "tools/vsthost/AudioFile.h"
#include "tools/vsthost/WavFile.h"

namespace tarn {

bool readAudioFile(const std::string& path, AudioData& audio, std::string& error) {
    return readWavFile(path, audio, error);
}

bool writeAudioFile(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error) {
    return writeWavFile(path, audio, format, error);
}

} // namespace tarn
