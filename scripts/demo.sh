#!/usr/bin/env bash
# The program's main job on a fresh Debian 12 machine: installs what is missing, builds,
# starts the market simulator on 127.0.0.1 unless the settings name another quote site,
# then opens the window (or, with no display, runs the daily download headless).
# Options: --headless  always run the download without a window.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
HEADLESS=0
[[ "${1:-}" == "--headless" ]] && HEADLESS=1

bash scripts/setup-debian.sh
cmake --preset release >/dev/null
cmake --build --preset release

BIN=$ROOT/build/release/bin
QUOTE_SITE=$("$BIN/mirolanda-cli" setting QuoteSiteUrl)
SIM_PID=""
cleanup() { [[ -n "$SIM_PID" ]] && kill "$SIM_PID" 2>/dev/null || true; }
trap cleanup EXIT

if [[ "$QUOTE_SITE" =~ ^http://127\.0\.0\.1:([0-9]+)/?$ ]]; then
  PORT=${BASH_REMATCH[1]}
  "$BIN/mirolanda-sim" --port "$PORT" >/tmp/mirolanda-sim.log 2>&1 &
  SIM_PID=$!
  # Wait until the simulator answers (it prints its port when listening).
  for _ in $(seq 1 50); do
    grep -q "port" /tmp/mirolanda-sim.log 2>/dev/null && break
    sleep 0.1
  done
  echo "market simulator on $QUOTE_SITE (log: /tmp/mirolanda-sim.log)"
fi

if [[ $HEADLESS -eq 0 && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) && -x "$BIN/mirolanda" ]]; then
  "$BIN/mirolanda"
else
  echo "no display: running the daily download without a window"
  "$BIN/mirolanda-cli" download
fi
