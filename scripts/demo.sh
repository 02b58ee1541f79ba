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
# Only what the main job runs; the tests and benchmarks are built by scripts/test.sh.
cmake --build --preset release --target mirolanda mirolanda-cli mirolanda-sim kodemorph

BIN=$ROOT/build/release/bin
QUOTE_SITE=$("$BIN/mirolanda-cli" setting QuoteSiteUrl)
SIM_PID=""
cleanup() { [[ -n "$SIM_PID" ]] && kill "$SIM_PID" 2>/dev/null || true; }
trap cleanup EXIT

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

if [[ "$QUOTE_SITE" =~ ^http://127\.0\.0\.1:([0-9]+)/?$ ]]; then
  PORT=${BASH_REMATCH[1]}
  if listening "$PORT"; then
    echo "something already listens on $QUOTE_SITE; using it as the quote site"
  else
    "$BIN/mirolanda-sim" --port "$PORT" >/tmp/mirolanda-sim.log 2>&1 &
    SIM_PID=$!
    # The simulator prints its port once it listens.
    for _ in $(seq 1 50); do
      grep -q "^port" /tmp/mirolanda-sim.log 2>/dev/null && break
      sleep 0.1
    done
    if ! grep -q "^port" /tmp/mirolanda-sim.log; then
      echo "the market simulator did not start:" >&2
      cat /tmp/mirolanda-sim.log >&2
      exit 1
    fi
    echo "market simulator on $QUOTE_SITE (log: /tmp/mirolanda-sim.log)"
  fi
fi

if [[ $HEADLESS -eq 0 && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) && -x "$BIN/mirolanda" ]]; then
  "$BIN/mirolanda"
else
  echo "running the daily download without a window"
  "$BIN/mirolanda-cli" download
fi
