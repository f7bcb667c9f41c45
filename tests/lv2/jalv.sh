#!/usr/bin/env bash
# jalv.gtk3, with jackd on its dummy driver, opens the plug-in's own UI on a virtual X display,
# fed with pink noise by a second jalv; window_shot (tests/lv2/WindowShot.cpp) waits for the
# 550 x 375 editor inside jalv's window (1100 x 750 with jalv at 200%) and checks it on screen: the panel's background, the
# threshold knob's ring and value text at the -30 dB jalv is started with, and the graph's
# output area filled by the noise. With a second argument the screenshot of jalv's window is
# copied there (and the one at 200% beside it, its name ending in -2x.png) (the README's picture comes from "tests/lv2/jalv.sh build/linux docs/editor-jalv.png").
# Usage: tests/lv2/jalv.sh [BUILD [SCREENSHOT.png]]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
# A display of our own, without other windows or a window manager.
if [ -z "${TARN_LV2_DISPLAY:-}" ]; then
  # Room for jalv's window at 200%.
  TARN_LV2_DISPLAY=1 TARN_XVFB_SCREEN=2560x1600x24 exec scripts/xvfb.sh "$0" "$@"
fi
. tests/lv2/common.sh
keep=${2:-}

export JACK_DEFAULT_SERVER=tarn-lv2-$$ JACK_NO_START_SERVER=1
# A busy machine can make the client late; a long timeout keeps jackd from dropping it.
jackd --no-realtime -t 10000 -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 512 >"$scratch/jackd.log" 2>&1 &
jackd=$!
jalv=""
signal=""
stop() {
  for pid in $jalv $signal; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  kill "$jackd" 2>/dev/null && wait "$jackd" 2>/dev/null
  rm -rf "$scratch"
}
trap stop EXIT
timeout 20 jack_wait -w >/dev/null 2>&1 || { fail "jackd did not start: $(cat "$scratch/jackd.log")"; exit 1; }

# x42's test signal, pink noise at -18 dBFS, run by jalv's console host (it leaves when its
# input closes: the pipe held open on descriptor 3) into ours.
mkfifo "$scratch/console"
LV2_PATH=/usr/lib/lv2 jalv -n signal -c mode=4 http://gareus.org/oss/lv2/testsignal <"$scratch/console" \
  >"$scratch/signal.log" 2>&1 &
signal=$!
exec 3>"$scratch/console"
# check_at FACTOR: jalv.gtk3 at that interface scale (GDK_SCALE, which GTK and the editor both
# follow) shows the editor that many times as large.
check_at() {
  local factor=$1 shot=$scratch/jalv-$1.png
  GDK_SCALE=$factor jalv.gtk3 --jack-name tarn -c threshold=-30 -c ratio=4 "$uri" >"$scratch/jalv.log" 2>&1 &
  jalv=$!
  mapfile -t places < <(editor_places "$factor")
  local size=$((550 * factor))x$((375 * factor))
  # Connected while jalv is still starting, jackd (1.9.21) sometimes never wakes the new client
  # again; it does so with other plug-ins too. So the signal goes in once the editor is drawn.
  "$build/tests/lv2/window_shot" --seconds 60 "$size" "$scratch/shown.png" "${places[0]}" >/dev/null 2>&1
  local deadline=$((SECONDS + 60)) port
  for port in in_left in_right; do
    until jack_connect signal:out "tarn:$port" 2>/dev/null || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
  done
  [ "$(jack_lsp -c signal:out | grep -c '^ *tarn:in_')" -eq 2 ] || fail "cannot connect the signal: $(jack_lsp -c)"

  if ! "$build/tests/lv2/window_shot" --seconds 60 "$size" "$shot" "${places[@]}" \
      >"$scratch/shot.log" 2>&1; then
    fail "the editor in jalv at ${factor}x: $(cat "$scratch/shot.log"); jalv says: $(tail -5 "$scratch/jalv.log"); jackd says: $(tail -5 "$scratch/jackd.log")"
    [ -z "$keep" ] && keep=$build/tests/lv2/jalv-failed.png && echo "the screenshot is in $keep"
  fi
  kill "$jalv" 2>/dev/null && wait "$jalv" 2>/dev/null
  jalv=""
}
check_at 1
check_at 2
[ -n "$keep" ] && cp "$scratch/jalv-1.png" "$keep" && cp "$scratch/jalv-2.png" "${keep%.png}-2x.png"
[ $status -eq 0 ] && echo "ok: jalv.gtk3 shows the editor with its background, knob ring, value text and graph, at 100% and 200%"
exit $status
