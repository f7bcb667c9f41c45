#!/usr/bin/env bash
# Ardour 7 with the VST 3 bundle: ardour-vst3-scanner must index it, and a headless session
# (ardour7-lua, Dummy backend; see tests/lv2/ardour.lua) must compress a sine by what the gain
# law expects when the threshold is lowered, and Ardour's GUI must show its editor (see
# tests/lv2/ardour-gui.sh). zam-plugins' ZamCompX2 goes through the same steps
# first, so that a failure of the recipe is not taken for ours. Ardour's configuration, cache
# and session live in a scratch folder.
# Usage: tests/vst3/ardour.sh [BUILD]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
build=$(realpath "${1:-build/linux}")
ours=$build/tarnCompressor.vst3
other=/usr/lib/vst3/ZamCompX2.vst3
status=0
fail() { echo "FAIL (ardour.sh): $*"; status=1; }
[ -d "$ours" ] || { fail "no VST 3 bundle at $ours"; exit 1; }
[ -d "$other" ] || { fail "no $other (zam-plugins)"; exit 1; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarn-vst3.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# Ardour searches only the folder given in its configuration, and finds there what the scanner
# indexed into its cache.
mkdir -p "$scratch/vst3" "$scratch/config/ardour7"
ln -s "$ours" "$other" "$scratch/vst3/"
cat >"$scratch/config/ardour7/config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour><Config><Option name="plugin-path-vst3" value="$scratch/vst3"/></Config></Ardour>
XML
export XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache

# check NAME BUNDLE CLASS_ID [other]
check() {
  local name=$1 bundle=$scratch/vst3/$(basename "$2") id=$3 mode=${4:-} scan result
  scan=$(LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 60 /usr/lib/ardour7/ardour-vst3-scanner -v -f "$bundle" 2>&1)
  if ! grep -q "uid=\"$id\"" <<<"$scan"; then
    fail "ardour-vst3-scanner does not index $name; it says:"
    tail -5 <<<"$scan"
    return
  fi
  echo "ok: ardour-vst3-scanner indexes $name"
  timeout 120 ardour7-lua tests/lv2/ardour.lua "$id" "$scratch/session-$name" VST3 $mode >"$scratch/$name.log" 2>&1
  result=$(grep -E '^(ok|FAIL)' "$scratch/$name.log")
  if [[ $result == ok* ]]; then
    echo "$result"
  else
    fail "Ardour with $name: ${result:-no result}; its output ends with:"
    tail -20 "$scratch/$name.log"
  fi
}

# A step that fails with zam's plug-in is the recipe's failure, not our plug-in's.
recipe() { fail "the step fails with zam-plugins' ZamCompX2: the recipe's failure, not our plug-in's"; exit 1; }
check ZamCompX2 "$other" 2046504473616C633250435A00000000 other
[ $status -eq 0 ] || recipe
check tarnCompressor "$ours" 7461726E436F6D705653543377793632
[ $status -eq 0 ] || exit $status
# Ardour's GUI opens the plug-in's view in its plug-in window, driven by Ardour's run loop.
ARDOUR_GUI_FORMAT=VST3 ARDOUR_GUI_VST3=zam tests/lv2/ardour-gui.sh "$build" || recipe
ARDOUR_GUI_FORMAT=VST3 tests/lv2/ardour-gui.sh "$build" || fail "Ardour's GUI shows zam's editor but not ours"
exit $status
