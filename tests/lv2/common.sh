# shellcheck shell=bash disable=SC2034  # status and the rest are for the scripts that source this
# Sourced by the LV2 checks. Sets build (the build folder, first argument), bundle, uri (our
# plug-in's URI, read through lilv from the bundle alone), scratch (a folder removed on exit)
# and LV2_PATH (a folder holding only a link to the bundle, so that lilv-based hosts see our
# plug-in and nothing else; listing the build folder itself makes lilv complain about every
# other entry in it). fail MESSAGE prints a FAIL line and makes the script's status 1.
build=$(realpath "${1:-build/linux}")
bundle=$build/tarnCompressor.lv2
status=0
fail() { echo "FAIL ($(basename "$0")): $*"; status=1; }
[ -f "$bundle/manifest.ttl" ] || { fail "no LV2 bundle at $bundle"; exit 1; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarn-lv2.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/lv2"
ln -s "$bundle" "$scratch/lv2/"
export LV2_PATH=$scratch/lv2
uri=$(lv2ls)
if [ -z "$uri" ] || [ "$(printf '%s\n' "$uri" | wc -l)" -ne 1 ]; then
  fail "the bundle should hold one plug-in, lilv lists '$uri'"
  exit 1
fi

# editor_places FACTOR: places in the editor shown FACTOR times as large as at 100%, for
# window_shot, with a signal playing and the threshold at -30 dB: the background's dark blue at
# the top left; the threshold knob's ring lit at 9 o'clock, unlit at 3 o'clock (-30 dB, not 0);
# the minus of its "-30.0 db"; the graph's output area near its bottom edge, green over the input
# area's white once the history has scrolled across the whole graph (its leading edge, drawn
# with the curve, is lighter).
editor_places() {
  local rectangle
  for rectangle in 2,2,1,1=31333b 92,45,6,5=8cff4f 143,47,1,1=2e2e32 96,85,5,3=e7e8e9 8,330,30,10=8da78d; do
    awk -v f="$1" -F'[,=]' '{ printf "%d,%d,%d,%d=%s\n", $1 * f, $2 * f, $3 * f, $4 * f, $5 }' <<<"$rectangle"
  done
}
