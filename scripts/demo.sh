#!/usr/bin/env bash
# Sets up the machine, builds, renders a test phrase through the plug-in with clearly audible
# compression and prints the levels before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh demo
./scripts/build.sh demo

host=build/linux/vsthost
plugin=build/linux/tarnCompressor.so
out=build/demo
mkdir -p "$out"

"$host" info "$plugin"
echo
# Plucked notes alternating between -1 dBFS and 24 dB lower, every half second.
"$host" generate "$out/phrase.wav" --signal phrase --frequency 110 --level -1 --seconds 8 --rate 44100 \
  --channels 2 --format pcm24
# Threshold -30 dB with a 9.6 dB soft knee, ratio 8:1, attack 1 ms, release 100 ms, +12 dB output.
"$host" render "$plugin" "$out/phrase.wav" "$out/compressed.wav" --block 512 \
  1=0.6875 2=0.9 3=0.368421 4=0 5=0.049525 6=0.75
echo
echo "Levels before and after (loudest and quietest are 100 ms windows):"
"$host" levels "$out/phrase.wav" "$out/compressed.wav"
echo
# The editor open for a few seconds while the phrase plays through it with the same settings, so
# the graph shows input, output and gain reduction; an X display of its own when none is set.
echo "The editor, with the phrase playing:"
xvfb=(); [ -z "${DISPLAY:-}" ] && xvfb=(scripts/xvfb.sh)
"${xvfb[@]}" "$host" editor "$plugin" --seconds 4 --signal phrase --screenshot "$out/editor-linux.png" \
  1=0.6875 2=0.9 3=0.368421 4=0 5=0.049525 6=0.75
# The same at twice the size, as on a screen at 200%.
"${xvfb[@]}" "$host" editor "$plugin" --seconds 4 --signal phrase --scale 2 --screenshot "$out/editor-linux-2x.png" \
  1=0.6875 2=0.9 3=0.368421 4=0 5=0.049525 6=0.75
echo
# The same in the 64-bit DLL under wine, in a quiet prefix of its own. wine draws OpenGL child
# windows off the screen; vsthost.exe asks the graph's surface for its pixels to put them in.
echo "The Windows editor under wine:"
wine_prefix=$(mktemp -d "${TMPDIR:-/tmp}/tarn-demo-wine.XXXXXX")
# Debian's wine wrapper starts the 32-bit loader first, which fails where 32-bit code cannot run.
wine=wine; [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
# wine_editor SHOT [OPTION...]: the editor's screenshot from vsthost.exe under wine.
wine_editor() {
  WINE=$wine WINEPREFIX=$wine_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" scripts/xvfb.sh \
    sh -c '"$WINE" wineboot --init >/dev/null 2>&1; exe=$0 dll=$1 shot=$2; shift 2
      "$WINE" "$exe" editor "$dll" --seconds 4 --signal phrase --screenshot "$shot" "$@"; status=$?; wineserver -k; exit $status' \
    build/win64/vsthost.exe build/win64/tarnCompressor.dll "$@" 1=0.6875 2=0.9 3=0.368421 4=0 5=0.049525 6=0.75 | tr -d '\r'
}
wine_editor "$out/editor-win64.png"
wine_editor "$out/editor-win64-2x.png" --scale 2
rm -rf "$wine_prefix"
echo
echo "Listen: $out/phrase.wav (before) and $out/compressed.wav (after)."
echo "Look: $out/editor-linux.png and $out/editor-win64.png, and at 200% $out/editor-linux-2x.png and $out/editor-win64-2x.png"
