#!/usr/bin/env bash
# jalv.gtk3, with jackd on its dummy driver, opens the plug-in's own UI on a virtual X display;
# window_shot (tests/lv2/WindowShot.cpp) waits for the 550 x 375 editor inside jalv's window and
# checks it on screen: the panel's background, the threshold knob's lit ring at the -30 dB jalv
# is started with, the knee's "OFF" text, and the graph's light green output area. With a second
# argument the screenshot of jalv's window is copied there (the README's picture comes from
# "tests/lv2/jalv.sh build/linux docs/editor-jalv.png").
# Usage: tests/lv2/jalv.sh [BUILD [SCREENSHOT.png]]
set -uo pipefail
cd "$(dirname "$0")/../.."
# A display of our own, without other windows or a window manager.
if [ -z "${TARN_LV2_DISPLAY:-}" ]; then
  TARN_LV2_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
. tests/lv2/common.sh
keep=${2:-}

export JACK_DEFAULT_SERVER=tarn-lv2-$$ JACK_NO_START_SERVER=1
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 512 >"$scratch/jackd.log" 2>&1 &
jackd=$!
jalv=""
stop() {
  [ -n "$jalv" ] && kill "$jalv" 2>/dev/null && wait "$jalv" 2>/dev/null
  kill "$jackd" 2>/dev/null && wait "$jackd" 2>/dev/null
  rm -rf "$scratch"
}
trap stop EXIT
timeout 20 jack_wait -w >/dev/null 2>&1 || { fail "jackd did not start: $(cat "$scratch/jackd.log")"; exit 1; }

jalv.gtk3 -c threshold=-30 "$uri" >"$scratch/jalv.log" 2>&1 &
jalv=$!
if ! "$build/tests/lv2/window_shot" 550x375 "$scratch/jalv.png" \
    2,2,1,1=1a2030 100,40,20,20=40ff40 165,78,60,16=ffffff 100,250,100,50=a0c8a0 >"$scratch/shot.log" 2>&1; then
  fail "the editor in jalv: $(cat "$scratch/shot.log"); jalv says: $(tail -5 "$scratch/jalv.log")"
fi
[ -n "$keep" ] && cp "$scratch/jalv.png" "$keep"
[ $status -eq 0 ] && echo "ok: jalv.gtk3 shows the editor with its background, knob ring, value text and graph"
exit $status
