#!/usr/bin/env bash
# The 32-bit DLL under wine on a machine whose kernel cannot run 32-bit programs: wine32 runs
# under qemu-user-static (scripts/qemu32.sh), where every wine process takes about a minute to
# start, so one wine session makes the prefix and one vsthost.exe run does every check: the plug-in's identity and parameters, renders in both
# precisions and the boundary self-test; the same commands in the native build must print the
# same text and write the same samples, bit for bit. Where 32-bit programs run natively,
# tests/windows/run.sh checks the 32-bit DLL in full instead; where neither wine32 nor the
# emulation can be had, this says so in one line.
# Usage: tests/windows/emulated32.sh [LINUX_BUILD WIN32_BUILD]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
. tests/windows/checks.sh
linux=${1:-build/linux}
win=${2:-build/win32}
wine=${WINE32:-/usr/lib/wine/wine}

if scripts/runs32bit.sh; then
  echo "32-bit programs run natively here: the Windows checks run the 32-bit DLL in full"
  exit 0
fi
if [ ! -x "$wine" ]; then
  echo "wine32 is not installed: the 32-bit DLL gets its static checks only"
  exit 0
fi
if ! reason=$(scripts/qemu32.sh "$wine" --version 2>&1 >/dev/null); then
  echo "32-bit programs cannot run here, not even emulated (${reason:-wine32 does not start}): static checks only"
  exit 0
fi

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarn-wine32.XXXXXX")
export WINEPREFIX
work=$(mktemp -d "${TMPDIR:-/tmp}/tarn-wine32-work.XXXXXX")
trap 'rm -rf "$WINEPREFIX" "$work"' EXIT

# Threshold -30 dB, ratio 4:1, attack 8 ms, release 201 ms: about 9.5 dB off noise at -6 dBFS peak.
compress=("1=0.6875" "3=0.157894737" "4=0.05" "5=0.1")
"$linux/vsthost" generate "$work/noise.wav" --signal noise --level -6 --seconds 3 --rate 44100
# checks PLUGIN SUFFIX: the words of the one run's commands, into the array `run`.
checks() {
  run=(info "$1" "${compress[@]}" "7=0.5" "then" render "$1" "$work/noise.wav" "$work/float-$2.wav" --block 333
    "${compress[@]}" "then" render "$1" "$work/noise.wav" "$work/double-$2.wav" --double --block 512 "${compress[@]}"
    "then" selftest "$1")
}
checks "$linux/tarnCompressor.so" linux
"$linux/vsthost" "${run[@]}" >"$work/linux.txt"
checks "$win/tarnCompressor.dll" wine

echo "== the 32-bit DLL under wine, emulated: one wine session (minutes)"
start=$(date +%s)
# One wine session: a server kept until the end, the prefix made by wineboot, which waits for its
# own end (a program's first start makes the prefix too, but under emulation stops waiting for
# it too soon), then the one vsthost.exe run.
# shellcheck disable=SC2016
scripts/qemu32.sh bash -c 'server=$1 wine=$2; shift 2
  "$server" -p && "$wine" wineboot --init >/dev/null && "$wine" "$@"
  status=$?; "$server" -k; exit $status' bash "${wine%/*}/wineserver" "$wine" \
  "$win/vsthost.exe" "${run[@]}" 2>"$work/stderr" | tr -d '\r' >"$work/wine.txt"
status=${PIPESTATUS[0]}
echo "wine session of $(($(date +%s) - start)) s"

check "one vsthost.exe run of every check exits 0" sh -c "[ $status -eq 0 ] || { cat '$work/stderr'; exit 1; }"
check "identity, parameters and self-test print what the native build prints" diff "$work/linux.txt" "$work/wine.txt"
check "32-bit float render is the native one exactly" "$linux/vsthost" compare "$work/float-linux.wav" "$work/float-wine.wav" --tolerance 0
check "64-bit float render is the native one exactly" "$linux/vsthost" compare "$work/double-linux.wav" "$work/double-wine.wav" --tolerance 0
summary "wine (i686, emulated)"
