#!/usr/bin/env bash
# lilv's lv2apply renders a file through the LV2 plug-in; vsthost renders the same file through
# the VST plug-in at the same settings. The two outputs must be equal sample for sample, in the
# default setting and in one that compresses, with every control moved. lv2apply runs the
# plug-in one frame at a time and vsthost in blocks of 512, so this also shows that the block
# size changes nothing. The settings are normalised values whose natural values are exact in
# single precision, so both sides are handed exactly the same numbers.
# Usage: tests/lv2/render.sh [BUILD]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
. tests/lv2/common.sh
vsthost=$build/vsthost

# render NAME RATE VST_SETTINGS -- LV2_CONTROLS...
render() {
  local name=$1 rate=$2 settings=$3; shift 4
  local in=$scratch/$name-in.wav
  "$vsthost" generate "$in" --signal phrase --seconds 3 --rate "$rate" --level -6 --format float || { fail "generate"; return; }
  # shellcheck disable=SC2086
  "$vsthost" render "$build/tarnCompressor.so" "$in" "$scratch/$name-vst.wav" --block 512 $settings ||
    { fail "$name: vsthost render"; return; }
  lv2apply -i "$in" -o "$scratch/$name-lv2.wav" "$@" "$uri" >"$scratch/lv2apply.log" 2>&1 ||
    { fail "$name: lv2apply: $(cat "$scratch/lv2apply.log")"; return; }
  "$vsthost" compare "$scratch/$name-vst.wav" "$scratch/$name-lv2.wav" >"$scratch/compare.log" 2>&1 ||
    { fail "$name: $(cat "$scratch/compare.log")"; return; }
  # The compressing setting must really compress, or the comparison proves little.
  if [ "$name" = compressing ]; then
    "$vsthost" levels "$in" "$scratch/$name-lv2.wav" | awk 'NR == 2 { input = $3 } NR == 3 { output = $3 }
      END { exit !(input - output > 6) }' || fail "$name: the setting takes less than 6 dB off the RMS level"
  fi
}
render default 44100 "" --
render compressing 48000 "0=0.5625 1=0.6875 2=0.875 3=0.25 4=0.0625 5=0.125 6=0.4375" -- \
  -c input_gain 3 -c threshold -30 -c knee -12 -c ratio 5.75 -c attack 10.3125 -c release 250.875 -c output_gain -3

[ $status -eq 0 ] && echo "ok: lv2apply and vsthost render the same samples, default and compressing"
exit $status
