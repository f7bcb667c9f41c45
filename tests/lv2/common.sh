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
