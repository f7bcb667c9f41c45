#!/usr/bin/env bash
# Runs a command on a virtual X display of its own (1280 x 1024, 24 bits, or the screen given as
# TARN_XVFB_SCREEN, such as 2048x1536x24) and exits with its status. Xvfb picks a free display number itself (-displayfd), so several of these may start at
# the same moment; two "xvfb-run -a" started together can pick the same number.
# Usage: scripts/xvfb.sh COMMAND...
set -uo pipefail
number=$(mktemp "${TMPDIR:-/tmp}/tarn-xvfb.XXXXXX")
Xvfb -displayfd 3 -screen 0 "${TARN_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$number" >/dev/null 2>&1 &
server=$!
stop() {
  kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -f "$number"
}
trap stop EXIT
# The number arrives once the server accepts connections; thirty seconds at most.
deadline=$((SECONDS + 30))
until grep -q '^[0-9]' "$number" 2>/dev/null; do
  if ! kill -0 "$server" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
    echo "xvfb.sh: Xvfb did not start" >&2
    exit 1
  fi
  sleep 0.05
done
DISPLAY=:$(head -n1 "$number") "$@"
