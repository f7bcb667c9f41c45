#!/usr/bin/env bash
# Ardour 7's GUI opens the plug-in's own UI, with its interface scaling at 100% and at 200%, on a
# virtual X display: ardour7-lua makes a session whose track plays the Dummy backend's sine
# through the plug-in (tests/lv2/ardour-session.lua), with the plug-in's window marked open in
# the session's UI state, so that Ardour shows it as it loads the session. window_shot
# (tests/lv2/WindowShot.cpp) waits for the 550 x 375 editor (1100 x 750 at 200%) inside Ardour's
# window and checks the places editor_places (common.sh) names. Ardour's configuration lives in
# the scratch folder: the Dummy backend shown and started at once, the scaling as "font-scale"
# (102400 is 100%). With a second argument the screenshots are copied there, the one at 200%
# beside it with its name ending in -2x.png.
# With ARDOUR_GUI_FORMAT=VST3 the same is done with the VST 3 bundle, which
# ardour-vst3-scanner indexes first, at 100% only: Ardour on Linux passes a VST 3 view no scale.
# ARDOUR_GUI_VST3=zam does it with zam-plugins' ZamCompX2 VST 3 instead, whose 800 x 107 editor
# shows its grey panel and its coloured knob rings, to tell a fault of this recipe from ours.
# Usage: [ARDOUR_GUI_FORMAT=VST3 [ARDOUR_GUI_VST3=zam]] tests/lv2/ardour-gui.sh [BUILD [SCREENSHOT.png]]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
# A display of our own, without other windows or a window manager, with room for Ardour at 200%.
if [ -z "${TARN_LV2_DISPLAY:-}" ]; then
  TARN_LV2_DISPLAY=1 TARN_XVFB_SCREEN=2560x1600x24 exec scripts/xvfb.sh "$0" "$@"
fi
. tests/lv2/common.sh
keep=${2:-}
export XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache HOME=$scratch/home
mkdir -p "$XDG_CONFIG_HOME/ardour7" "$HOME"

format=${ARDOUR_GUI_FORMAT:-LV2} plugin=$uri factors="1 2" plugin_path="" name="the $format editor"
size=550x375 shown="its background, knob ring, value text and graph"
# places FACTOR: where window_shot looks in the editor.
places() { editor_places "$1"; }
if [ "$format" = VST3 ]; then
  vst3=$build/tarnCompressor.vst3 plugin=7461726E436F6D705653543377793632 factors=1
  if [ "${ARDOUR_GUI_VST3:-}" = zam ]; then
    vst3=/usr/lib/vst3/ZamCompX2.vst3 plugin=2046504473616C633250435A00000000 size=800x107
    name="zam-plugins' ZamCompX2 editor" shown="its grey panel and its green, blue and magenta knob rings"
    places() { printf '%s\n' 400,5,10,10=8c8c8c 107,44,37,30=008000 269,43,44,32=0000a8 347,43,45,32=b700b7; }
  fi
  mkdir -p "$scratch/vst3" && ln -s "$vst3" "$scratch/vst3/"
  plugin_path="<Option name=\"plugin-path-vst3\" value=\"$scratch/vst3\"/>"
  echo "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Ardour><Config>$plugin_path</Config></Ardour>" \
    >"$XDG_CONFIG_HOME/ardour7/config"
  LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 60 /usr/lib/ardour7/ardour-vst3-scanner -f "$scratch/vst3/$(basename "$vst3")" \
    >"$scratch/scan.log" 2>&1
fi
timeout 60 ardour7-lua tests/lv2/ardour-session.lua "$plugin" "$scratch/made" "$format" >"$scratch/session.log" 2>&1
read -r route processor < <(sed -n 's/^ids //p' "$scratch/session.log")
if [ -z "${processor:-}" ]; then
  fail "ardour7-lua made no session: $(grep -E '^FAIL' "$scratch/session.log" || tail -5 "$scratch/session.log")"
  exit 1
fi
# The window of the plug-in's own UI, open.
sed -i "s|</Session>|  <Extra><UI><Window name=\"P-$route-$processor\" visible=\"1\" custom-ui=\"1\"/></UI></Extra>\n</Session>|" \
  "$scratch/made/gui.ardour"

# Not a new user; the last engine the Dummy backend's sines, which the session was made with (on
# another device Ardour shows a small dialog in place of the session).
device="Sine Wave 1K, 1/3 Oct"
touch "$XDG_CONFIG_HOME/ardour7/.a7"
cat >"$XDG_CONFIG_HOME/ardour7/config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="try-autostart-engine" value="1"/>
    <Option name="hide-dummy-backend" value="0"/>
    $plugin_path
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="$device" input-device="$device"
          output-device="$device" sample-rate="48000" buffer-size="512" n-periods="0" input-latency="0"
          output-latency="0" input-channels="0" output-channels="0" active="1" use-buffered-io="0"
          midi-option="No MIDI I/O" lru="$(date +%s)"><MIDIDevices/></State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML

# check_at FACTOR: Ardour at that interface scaling shows the editor that many times as large.
check_at() {
  local factor=$1 shot=$scratch/ardour-$1.png
  cat >"$XDG_CONFIG_HOME/ardour7/ui_config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <UI>
    <Option name="font-scale" value="$((102400 * factor))"/>
  </UI>
</Ardour>
XML
  # A fresh copy of the session each time: Ardour may save its state as it leaves.
  rm -rf "$scratch/session" && cp -r "$scratch/made" "$scratch/session"
  timeout 120 ardour --no-splash --no-announcements "$scratch/session/gui.ardour" >"$scratch/ardour.log" 2>&1 &
  local ardour=$!
  mapfile -t at < <(places "$factor")
  # Ardour's GUI starts slowly on a virtual display: a minute at most.
  if ! "$build/tests/lv2/window_shot" --seconds 60 "$((${size%x*} * factor))x$((${size#*x} * factor))" "$shot" "${at[@]}" \
      >"$scratch/shot.log" 2>&1; then
    fail "$name in Ardour at ${factor}00%: $(cat "$scratch/shot.log"); Ardour says: $(grep -v INFO "$scratch/ardour.log" | tail -5)"
    [ -z "$keep" ] && keep=$build/tests/lv2/ardour-failed.png && echo "the screenshot is in $keep"
  fi
  kill "$ardour" 2>/dev/null && wait "$ardour" 2>/dev/null
}
for factor in $factors; do check_at "$factor"; done
[ -n "$keep" ] && cp "$scratch/ardour-1.png" "$keep" 2>/dev/null && cp "$scratch/ardour-2.png" "${keep%.png}-2x.png" 2>/dev/null
[ $status -eq 0 ] && echo "ok: Ardour's GUI shows $name with $shown, at $(sed 's/\([0-9]\)/\100%/g; s/ / and /' <<<"$factors")"
exit $status
