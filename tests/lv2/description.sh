#!/usr/bin/env bash
# The bundle's description as real LV2 tools read it: its Turtle is valid against the schemas
# lv2-dev installs (sord_validate checks every property and class used against them), and
# lilv's lv2info lists every port with the name, range, default and unit the VST plug-in's
# parameters have in natural units, the knee's top value named as a scale point.
# Usage: tests/lv2/description.sh [BUILD]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
. tests/lv2/common.sh

# lv2-dev's schemas: every bundle it installs, manifests aside (they only point at the rest).
mapfile -t schemas < <(dpkg -L lv2-dev | grep '^/usr/lib/lv2/.*\.ttl$' | grep -v '/manifest\.ttl$')
[ ${#schemas[@]} -gt 20 ] || fail "lv2-dev's schema bundles are missing"
sord_validate -l "${schemas[@]}" "$bundle"/*.ttl >"$scratch/validate" 2>&1 || fail "sord_validate: $(cat "$scratch/validate")"

# One line per port from lv2info's listing: symbol|name|minimum|maximum|default|kind, where
# kind is the port's classes (Audio/Control, Input/Output) in a fixed order.
lv2info "$uri" >"$scratch/info" 2>&1 || fail "lv2info: $(cat "$scratch/info")"
awk '
  function flush() { if (symbol != "") print symbol "|" name "|" min "|" max "|" def "|" kind; symbol = name = min = max = def = kind = "" }
  /^\tPort [0-9]+:/ { flush(); inPort = 1; next }
  !inPort { next }
  /#AudioPort/ { kind = kind "audio " } /#ControlPort/ { kind = kind "control " }
  /#InputPort/ { io = "in" } /#OutputPort/ { io = "out" }
  /^\t\tSymbol:/ { symbol = $2 }
  /^\t\tName:/ { sub(/^\t\tName: */, ""); name = $0 }
  /^\t\tMinimum:/ { min = $2 + 0 } /^\t\tMaximum:/ { max = $2 + 0 } /^\t\tDefault:/ { def = $2 + 0 }
  /^\t\tSymbol:/ { kind = kind io }
  END { flush() }' "$scratch/info" >"$scratch/ports"

# Units as lilv reads them, from the description lv2info writes back: symbol|unit.
lv2info -p "$scratch/plugin.ttl" "$uri" >/dev/null 2>&1
sordi "$scratch/plugin.ttl" 2>/dev/null | awk '
  $2 == "<http://lv2plug.in/ns/lv2core#symbol>" { gsub(/"/, "", $3); symbol[$1] = $3 }
  $2 == "<http://lv2plug.in/ns/extensions/units#unit>" { u = $3; sub(/.*#/, "", u); sub(/>$/, "", u); unit[$1] = u }
  END { for (node in symbol) print symbol[node] "|" (node in unit ? unit[node] : "-") }' >"$scratch/units"

# expect SYMBOL NAME MINIMUM MAXIMUM DEFAULT KIND UNIT
expect() {
  local line unit
  line=$(grep "^$1|" "$scratch/ports") || { fail "lv2info lists no port '$1'"; return; }
  awk -F'|' -v name="$2" -v min="$3" -v max="$4" -v def="$5" -v kind="$6" '
    function near(a, b) { return (a - b) ^ 2 < 1e-6 }
    { exit !($2 == name && near($3, min) && near($4, max) && (def == "-" || near($5, def)) && $6 == kind) }' \
    <<<"$line" || fail "port $1: lv2info says '$line', expected '$1|$2|$3|$4|$5|$6'"
  unit=$(grep "^$1|" "$scratch/units" | cut -d'|' -f2)
  [ "$unit" = "$7" ] || fail "port $1: unit '${unit:-none}', expected '$7'"
}
expect input_gain "Input gain" -24 24 0 "control in" db
expect threshold "Threshold" -96 0 0 "control in" db
expect knee "Knee" -96 0 0 "control in" db
expect ratio "Ratio" 1 20 1 "control in" ratio
expect attack "Attack" 1 150 49.673322 "control in" ms
expect release "Release" 1 2000 299.8505 "control in" ms
expect output_gain "Output gain" -24 24 0 "control in" db
expect gain_reduction "Gain reduction" 0 96 - "control out" db
[ "$(grep -c '|audio in$' "$scratch/ports")" -eq 2 ] || fail "expected two audio inputs: $(cat "$scratch/ports")"
[ "$(grep -c '|audio out$' "$scratch/ports")" -eq 2 ] || fail "expected two audio outputs: $(cat "$scratch/ports")"
[ "$(grep -c '' "$scratch/ports")" -eq 12 ] || fail "expected 12 ports (the two stored-only parameters have none): $(cat "$scratch/ports")"
# The knee's top value means no knee, and says so.
awk '/Scale Points:/ { points = 1 } points && /^\t\t\t0(\.0+)? = "/ { found = 1 } /^\t\tSymbol:/ { if (points && $2 == "knee" && found) ok = 1; points = found = 0 }
     END { exit !ok }' "$scratch/info" || fail "lv2info lists no scale point at 0 dB for the knee"

# Besides the ports: the UI needs the host's window and its idle calls, and says so (a host that
# offers neither must not load it); the deprecated ui:resize is not named; the project has a
# licence, maintainer with e-mail, home page and short description; the audio ports form a stereo
# input and a stereo output group, left and right.
sordi "$bundle/tarnCompressor.ttl" >"$scratch/triples" 2>/dev/null || fail "sordi cannot read the description"
lv2=http://lv2plug.in/ns/lv2core# uiNs=http://lv2plug.in/ns/extensions/ui# pg=http://lv2plug.in/ns/ext/port-groups#
has() { grep -qF -- "$1" "$scratch/triples" || fail "the description lacks: $1"; }
has "<$uri#ui> <${lv2}requiredFeature> <${uiNs}parent> ."
has "<$uri#ui> <${lv2}requiredFeature> <${uiNs}idleInterface> ."
grep -qF "<${uiNs}resize>" "$scratch/triples" && fail "the description names the deprecated ui:resize"
has "<$uri> <http://usefulinc.com/ns/doap#license> <"
has "<$uri> <http://usefulinc.com/ns/doap#homepage> <"
has "<$uri> <http://usefulinc.com/ns/doap#shortdesc> \""
has "<http://xmlns.com/foaf/0.1/mbox> <mailto:"
has "<$uri> <${pg}mainInput> <$uri#in> ."
has "<$uri> <${pg}mainOutput> <$uri#out> ."
has "<$uri#in> <http://www.w3.org/1999/02/22-rdf-syntax-ns#type> <${pg}StereoGroup> ."
has "<$uri#out> <http://www.w3.org/1999/02/22-rdf-syntax-ns#type> <${pg}StereoGroup> ."
groups=$(awk -v lv2="$lv2" -v pg="$pg" '
  function tail(x) { sub(/.*[#\/]/, "", x); sub(/>$/, "", x); gsub(/"/, "", x); return x }
  $2 == "<" lv2 "symbol>" { symbol[$1] = tail($3) }
  $2 == "<" pg "group>" { group[$1] = tail($3) }
  $2 == "<" lv2 "designation>" { channel[$1] = tail($3) }
  END { for (node in group) print symbol[node] "|" group[node] "|" channel[node] }' "$scratch/triples" | sort | tr '\n' ' ')
[ "$groups" = "in_left|in|left in_right|in|right out_left|out|left out_right|out|right " ] ||
  fail "port groups: '$groups'"

[ $status -eq 0 ] && echo "ok: the description is valid Turtle and lv2info lists the $(grep -c '' "$scratch/ports") ports as expected"
exit $status
