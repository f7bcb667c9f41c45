#!/usr/bin/env bash
# One run, one table: nanoseconds per stereo frame through tarn Compressor and two packaged
# Linux VST 2.4 stereo compressors from Debian (LSP Compressor Stereo, ZamCompX2), measured with
# vsthost bench on the same signals: steady noise, noise bursts (1.5 s on, 0.5 s off) and the
# phrase, all at -6 dBFS peak, 48 kHz, blocks of 512. Ours runs with threshold -30 dB and ratio
# 4:1 at the default release (300 ms) and at 2000 ms, through both callbacks, natively and as
# the 64-bit DLL under wine (and the 32-bit DLL where 32-bit programs run); the peers are each
# set to take about 10 dB off the steady noise. Each figure is the best pass of all its
# measurements: ROUNDS rounds (default 3), each measuring every figure once in 50 passes, and
# every pass plays vsthost's whole four-second loop of the signal once, so that a pass costs
# what the whole signal costs, loud and quiet parts alike. Short passes and rounds that take
# turns keep other load on the machine out of the figures as far as possible. A second table
# comes from bench/lv2Compare: our LV2 plug-in beside the packaged LV2 stereo compressors
# (x42-comp, ACE Compressor, LSP Compressor), hosted alike by lilv at one compressing setting
# mapped onto each one's ports, on noise bursts, plucked notes and the phrase, each checked to
# compress. After the tables: the goals, each with its figure, and processBench's
# running-against-settled figures in each build. Run scripts/build.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
missing=()
for p in lsp-plugins-vst zam-plugins x42-plugins ardour-lv2-plugins lsp-plugins-lv2; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

rounds=${ROUNDS:-3}
passes=50
loopSeconds=4
signals=(noise bursts phrase)
common=(--rate 48000 --block 512 --seconds $((passes * loopSeconds)) --passes $passes --level -6)
ours="1=0.6875 3=0.157895"          # threshold -30 dB, ratio 4:1 (9.4 dB off the steady noise)
lsp=/usr/lib/vst/lsp-plugins/compressor-stereo.so
lspSettings="17=0.55"               # attack threshold -27 dB, ratio 4:1, RMS detection (9.9 dB)
zam=/usr/lib/vst/ZamCompX2-vst.so
zamSettings="4=0.7"                 # threshold -24 dB, ratio 4:1 (10.2 dB)

# Windows programs run under wine in a prefix of their own; 64-bit ones through wine64 directly,
# since Debian's wine command starts the 32-bit loader whenever wine32 is installed.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarn-bench-wine.XXXXXX")
export WINEPREFIX
wine64=wine
[ -x /usr/lib/wine/wine64 ] && wine64=/usr/lib/wine/wine64
wine32=$(command -v wine || true)
cleanup() {
  "$(command -v wineserver || echo /usr/lib/wine/wineserver)" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
WINELOADER=$wine64 "$wine64" wineboot --init >/dev/null 2>&1 || true

builds=(native)
[ -d build/linux/tarnCompressor.vst3 ] && builds+=(vst3)
[ -f build/win64/vsthost.exe ] && builds+=(wine64)
if [ -f build/win32/vsthost.exe ] && [ -n "$wine32" ] && "$wine32" build/win32/vsthost.exe --help >/dev/null 2>&1; then
  builds+=(wine32)
fi

# run BUILD PROGRAM ARGS...: one program of that build, with Windows line ends removed.
run() {
  local build=$1; shift
  case $build in
    native | vst3) "build/linux/$@" ;;
    wine64) WINELOADER=$wine64 "$wine64" "build/win64/$1.exe" "${@:2}" ;;
    wine32) "$wine32" "build/win32/$1.exe" "${@:2}" ;;
  esac | tr -d '\r'
}
# bench BUILD PLUGIN ARGS...: the best pass, in ns per frame.
bench() {
  local build=$1 plugin=$2; shift 2
  run "$build" vsthost bench "$plugin" "${common[@]}" "$@" | sed -n 's/.*; best \([0-9.]*\),.*/\1/p'
}

declare -A ns
# keep KEY VALUE: the smaller of VALUE and what KEY holds.
keep() {
  if [ -z "${ns[$1]:-}" ] || awk -v a="$2" -v b="${ns[$1]}" 'BEGIN { exit !(a < b) }'; then ns[$1]=$2; fi
}
for ((round = 1; round <= rounds; ++round)); do
  for signal in "${signals[@]}"; do
    for build in "${builds[@]}"; do
      plugin=build/linux/tarnCompressor.so
      [ "$build" = vst3 ] && plugin=build/linux/tarnCompressor.vst3
      [[ $build == wine* ]] && plugin=build/win${build#wine}/tarnCompressor.dll
      for release in 300 2000; do
        extra=""; [ $release = 2000 ] && extra="5=1"
        # shellcheck disable=SC2086
        keep "tarn,$release,32,$build,$signal" "$(bench "$build" "$plugin" --signal "$signal" $ours $extra)"
        # shellcheck disable=SC2086
        keep "tarn,$release,64,$build,$signal" "$(bench "$build" "$plugin" --signal "$signal" --double $ours $extra)"
      done
    done
    # shellcheck disable=SC2086
    keep "lsp,$signal" "$(bench native "$lsp" --signal "$signal" $lspSettings)"
    # shellcheck disable=SC2086
    keep "zam,$signal" "$(bench native "$zam" --signal "$signal" $zamSettings)"
  done
done

echo "ns per stereo frame, best of $rounds x $passes passes over the whole ${loopSeconds}-second signal; 48 kHz, blocks of 512, -6 dBFS peak"
printf '%-64s %12s %12s %12s\n' "" "steady noise" "noise bursts" "phrase"
row() {
  local label=$1; shift
  printf '%-64s %12s %12s %12s\n' "$label" "$@"
}
for release in 300 2000; do
  for bits in 32 64; do
    callback=processReplacing; [ $bits = 64 ] && callback=processDoubleReplacing
    for build in "${builds[@]}"; do
      case $build in native) where="native" ;; vst3) where="VST 3 bundle, native" ;; wine64) where="64-bit DLL, wine" ;; wine32) where="32-bit DLL, wine" ;; esac
      row "tarn, release $release ms, $callback, $where" \
        "${ns[tarn,$release,$bits,$build,noise]}" "${ns[tarn,$release,$bits,$build,bursts]}" "${ns[tarn,$release,$bits,$build,phrase]}"
    done
  done
done
row "LSP Compressor Stereo, processReplacing, native" "${ns[lsp,noise]}" "${ns[lsp,bursts]}" "${ns[lsp,phrase]}"
row "ZamCompX2, processReplacing, native" "${ns[zam,noise]}" "${ns[zam,bursts]}" "${ns[zam,phrase]}"

echo
lv2Table=$(build/linux/bench/lv2Compare "$PWD/build/linux" --passes $((rounds * passes)) || true)
echo "$lv2Table"

# ratio A B: A / B to two places.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# largest VALUES...: the largest of the numbers.
largest() { printf '%s\n' "$@" | sort -g | tail -1; }

echo
echo "Goals (largest ratio over signals, settings and callbacks):"
worstPeer=0
for signal in "${signals[@]}"; do
  worst=$(largest "${ns[tarn,300,32,native,$signal]}" "${ns[tarn,300,64,native,$signal]}" \
    "${ns[tarn,2000,32,native,$signal]}" "${ns[tarn,2000,64,native,$signal]}")
  peer=$(printf '%s\n' "${ns[lsp,$signal]}" "${ns[zam,$signal]}" | sort -g | head -1)
  worstPeer=$(largest "$worstPeer" "$(ratio "$worst" "$peer")")
done
echo "  our worst native figure against the faster VST peer on the same signal: $worstPeer (goal: at most 0.40)"
lv2Worst=$(largest $(echo "$lv2Table" | sed -n 's/^ours \/ fastest peer *//p'))
echo "  our LV2 plug-in against the fastest LV2 peer on the same signal, the worst signal: $lv2Worst (goal: at most 0.50)"
for pair in "wine64 native 1.2" "wine32 wine64 1.5"; do
  read -r build base goal <<<"$pair"
  [[ " ${builds[*]} " == *" $build "* ]] || { echo "  $build: not measured (no such build, or 32-bit programs do not run here)"; continue; }
  worst=0
  for key in "${!ns[@]}"; do
    [[ $key == tarn,*,"$build",* ]] || continue
    worst=$(largest "$worst" "$(ratio "${ns[$key]}" "${ns[${key/,$build,/,$base,}]}")")
  done
  echo "  $build against $base: $worst (goal: at most $goal)"
done

echo
echo "Running attack or release curves against settled ones (processBench, best of 40 turns each):"
for build in "${builds[@]}"; do
  [ "$build" = native ] || [ -f "build/win${build#wine}/bench/processBench.exe" ] || continue
  program=bench/processBench
  echo "  $build: $(run "$build" "$program" --curves | sed -n 's/^curves running: *//p') (goal: at most 1.15 times)"
done
