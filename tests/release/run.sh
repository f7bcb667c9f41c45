#!/usr/bin/env bash
# Checks the release build (scripts/release.sh) against the normal one: every shipped library
# asks for no symbol version newer than Debian 11 has (glibc 2.31, and its C++ runtime's should
# one be linked dynamically), resolves every symbol in the Debian 11 build root itself, and
# renders the normal build's samples bit for bit, as VST 2.4 and VST 3 plug-in and, through
# lilv's lv2apply, as LV2 plug-in.
# Usage: tests/release/run.sh [RELEASE_BUILD [BUILD]]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
native=$(realpath "${2:-build/linux}")
. tests/lv2/common.sh "${1:-build/release-linux}"
release=$build
vsthost=$native/vsthost

# The newest version of each kind a system from Debian 11 on provides.
newest=(GLIBC_2.31 GLIBCXX_3.4.28 CXXABI_1.3.12)

shipped=$(find "$release/tarnCompressor.so" "$release"/*.lv2 "$release"/*.vst3 -name '*.so' 2>/dev/null)
[ "$(wc -l <<<"$shipped")" -ge 3 ] || fail "missing shipped libraries in $release: $shipped"

for library in $shipped; do
  versions=$(objdump -T "$library" | grep -o '(\(GLIBC\|GLIBCXX\|CXXABI\)_[0-9.]*)' | tr -d '()' | sort -uV)
  needs=""
  for limit in "${newest[@]}"; do
    kind=${limit%_*}
    mine=$(grep "^${kind}_" <<<"$versions" | tail -1)
    [ -n "$mine" ] || continue
    needs+=" $mine"
    [ "$(printf '%s\n' "$mine" "$limit" | sort -V | tail -1)" = "$limit" ] ||
      fail "${library#"$release"/} needs $mine, newer than $limit: $(grep "^${kind}_" <<<"$versions" | tr '\n' ' ')"
  done
  echo "${library#"$release"/} needs at most:$needs"
  # ldd -r binds every symbol as the loader would, here against Debian 11's libraries.
  unresolved=$(scripts/buildroot.sh ldd -r "$library" 2>&1 | grep -E 'not found|undefined symbol')
  [ -z "$unresolved" ] || fail "${library#"$release"/} does not load on Debian 11: $unresolved"
done

# render NAME RATE VST_SETTINGS -- LV2_CONTROLS...: the release plug-ins render the normal one's samples.
render() {
  local name=$1 rate=$2 settings=$3 in=$scratch/$1-in.wav
  shift 4
  "$vsthost" generate "$in" --signal phrase --seconds 3 --rate "$rate" --level -6 --format float || { fail "generate"; return; }
  # shellcheck disable=SC2086
  if ! "$vsthost" render "$native/tarnCompressor.so" "$in" "$scratch/$name-normal.wav" --block 512 $settings ||
    ! "$vsthost" render "$release/tarnCompressor.so" "$in" "$scratch/$name-release.wav" --block 512 $settings; then
    fail "$name: vsthost render"
    return
  fi
  "$vsthost" compare "$scratch/$name-normal.wav" "$scratch/$name-release.wav" >/dev/null ||
    fail "$name: the release VST 2.4 plug-in renders other samples than the normal build"
  # shellcheck disable=SC2086
  if [ -d "$release/tarnCompressor.vst3" ]; then
    "$vsthost" render "$release/tarnCompressor.vst3" "$in" "$scratch/$name-vst3.wav" --block 512 $settings &&
      "$vsthost" compare "$scratch/$name-normal.wav" "$scratch/$name-vst3.wav" >/dev/null ||
      fail "$name: the release VST 3 plug-in renders other samples than the normal build"
  fi
  lv2apply -i "$in" -o "$scratch/$name-lv2.wav" "$@" "$uri" >"$scratch/lv2apply.log" 2>&1 ||
    { fail "$name: lv2apply: $(cat "$scratch/lv2apply.log")"; return; }
  "$vsthost" compare "$scratch/$name-normal.wav" "$scratch/$name-lv2.wav" >/dev/null ||
    fail "$name: the release LV2 plug-in renders other samples than the normal build"
}
render default 44100 "" --
render compressing 48000 "0=0.5625 1=0.6875 2=0.875 3=0.25 4=0.0625 5=0.125 6=0.4375" -- \
  -c input_gain 3 -c threshold -30 -c knee -12 -c ratio 5.75 -c attack 10.3125 -c release 250.875 -c output_gain -3

[ $status -eq 0 ] && echo "ok: the release libraries load on glibc 2.31 and render the normal build's samples"
exit $status
