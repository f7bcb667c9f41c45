#!/usr/bin/env bash
# Prints vsthost bench figures for tarn Compressor beside two packaged Linux VST 2.4 stereo
# compressors from Debian, in one run: 48 kHz, blocks of 512, white noise at -6 dBFS peak
# (-10.8 dBFS RMS), each set to reduce it by about 10 dB RMS. Run scripts/build.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
missing=()
for p in lsp-plugins-vst zam-plugins; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

host=build/linux/vsthost
common=(--rate 48000 --block 512 --seconds 30 --signal noise --level -6)
# Threshold -30 dB, ratio 4:1 (9.4 dB of reduction on this noise).
"$host" bench build/linux/tarnCompressor.so "${common[@]}" 1=0.6875 3=0.157895
"$host" bench build/linux/tarnCompressor.so "${common[@]}" --double 1=0.6875 3=0.157895
# Attack threshold -27 dB, ratio 4:1, RMS detection (9.9 dB).
"$host" bench /usr/lib/vst/lsp-plugins/compressor-stereo.so "${common[@]}" 17=0.55
# Threshold -24 dB, ratio 4:1 (10.2 dB).
"$host" bench /usr/lib/vst/ZamCompX2-vst.so "${common[@]}" 4=0.7
