#!/usr/bin/env bash
# Screenshots of the window as a person sees it, for docs/: every tab at the least size and at
# 1280×800, under Xvfb with a small window manager (openbox), with demonstration data from the
# market simulator: a day's download, forty earlier days filed from it, three holdings (one
# above its rise alert, one below its fall alert) and the bonus lists. Besides: the focus on
# each tab's first control, and a desktop notification (dunst on a session bus of its own).
# Usage: [ONLY=PATTERN] scripts/screenshots.sh [OUTPUT_FOLDER]   (default docs/)
# PATTERN is a shell pattern over the pictures' names: 'chart-*', or '@(focus|settings-min)'.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
OUT=${1:-$ROOT/docs}
bash scripts/setup-debian.sh openbox x11-utils xdotool imagemagick dunst >/dev/null
BIN=${BIN:-$ROOT/build/ci/bin}
[[ -x "$BIN/mirolanda" ]] || BIN=$ROOT/build/release/bin
WORK=$(mktemp -d)
PROG=$WORK/prog
INI=$WORK/Mirolanda.ini
NOW="2026-12-07 21:45"
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT

"$BIN/mirolanda-sim" --port 0 --date 20261207 >"$WORK/sim.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 1 100); do grep -q '^port' "$WORK/sim.log" && break; sleep 0.1; done
PORT=$(sed -n 's/^port \([0-9]*\).*/\1/p' "$WORK/sim.log")
cli() { "$BIN/mirolanda-cli" --settings "$INI" --program-folder "$PROG" --now "$NOW" "$@"; }
mkdir -p "$PROG"
for key in QuoteSiteUrl ChartSiteUrl PublisherUrl; do cli setting "$key" "http://127.0.0.1:$PORT" >/dev/null; done
cli setting ConnectionMode 1 >/dev/null
cli setting AutoMode 0 >/dev/null
cli download --no-file >/dev/null
CSV=$PROG/CsvData/20261207.csv

# Forty earlier business days, the closes wandering around the day's, so the charts have a history.
day=20261207
for i in $(seq 40 -1 1); do
  day=$(date -d "$day -1 day" +%Y%m%d)
  while [[ $(date -d "$day" +%u) -ge 6 ]]; do day=$(date -d "$day -1 day" +%Y%m%d); done
  awk -F, -v OFS=, -v i="$i" 'BEGIN { srand(i) } {
    f = 1 + 0.004 * i * sin(($1 % 13) + i / 5.0) + (rand() - 0.5) * 0.02
    for (k = 3; k <= 6; k++) $k = int($k * f + 0.5)
    print }' "$CSV" >"$WORK/$day.csv"
  DAYS+=("$WORK/$day.csv")
done
for ((k = ${#DAYS[@]} - 1; k >= 0; k--)); do cli file "${DAYS[k]}" >/dev/null; done
cli file "$CSV" >/dev/null
# Filing fills the market database as a side store; should it not have, the days go in at once.
[[ -f "$PROG/Market.sqlite3" ]] || cli db import "${DAYS[@]}" "$CSV" >/dev/null
# What the window records after such a download, for the status-bar area.
cli setting LastDownload "2026/12/07 21:40 $(grep -c . "$CSV")" >/dev/null

# Three holdings: risen past 130%, fallen below 70%, and one in between.
mkdir -p "$PROG/Setting"
pick() { awk -F, -v n="$1" 'NR == n { print $1, $2, $6 }' "$CSV" | iconv -f CP932 -t UTF-8; }
holding() {  # line number of the CSV, purchase price as a share of the close
  read -r code name close < <(pick "$1")
  printf '%s,%s,"2026/11/02",%d,%d\r\n' "$code" "$name" "$(awk -v c="$close" -v s="$2" 'BEGIN { print int(c * s) }')" "$3"
}
{ holding 12 0.74 1000; holding 850 1.6 200; holding 2400 0.97 500; } | iconv -f UTF-8 -t CP932 >"$PROG/Setting/売買情報.txt"

# A display number no other server uses: Xvfb picks it and writes it once it listens.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 1 100); do [[ -s "$WORK/display" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$WORK/display")
openbox >"$WORK/openbox.log" 2>&1 &
PIDS+=($!)
sleep 1

# open_window TAB WIDTH HEIGHT: starts the window on tab TAB with a client area of WIDTH×HEIGHT
# pixels (0 0 for the least size) and waits until it is drawn; WINDOW_PID and WID name it.
open_window() {
  local tab=$1 width=$2 height=$3
  cli setting CurrentTab "$tab" >/dev/null
  cli setting Width $((width * 15)) >/dev/null
  cli setting Height $((height * 15)) >/dev/null
  cli setting Top 900 >/dev/null
  cli setting Left 900 >/dev/null
  "$BIN/mirolanda" --settings "$INI" --program-folder "$PROG" --now "$NOW" >"$WORK/window.log" 2>&1 &
  WINDOW_PID=$!
  WID=""
  for _ in $(seq 1 100); do
    WID=$(xdotool search --name "Mirolanda Ver" 2>/dev/null | head -1) && [[ -n "$WID" ]] && break
    sleep 0.2
  done
  sleep 1.5
}

close_window() {
  kill "$WINDOW_PID" 2>/dev/null || true
  wait "$WINDOW_PID" 2>/dev/null || true
}

# act [X,Y[,CLICKS] | type:TEXT | key:KEYS ...]: clicks in client coordinates (CLICKS 2 for a
# double click); "type:TEXT" types TEXT into the focused control and presses Return;
# "key:KEYS" presses the keys named (xdotool's names, space between presses).
act() {
  local step x y n
  for step in "$@"; do
    if [[ $step == type:* ]]; then
      xdotool type --window "$WID" --delay 50 "${step#type:}"
      xdotool key --window "$WID" Return
    elif [[ $step == key:* ]]; then
      # Sent to the focused window (not --window), as a person's keyboard does: Qt takes
      # synthetic key events for shortcuts and focus moves only so.
      xdotool windowactivate --sync "$WID" key --delay 150 ${step#key:}
    else
      IFS=, read -r x y n <<<"$step"
      xdotool mousemove --window "$WID" "$x" "$y" click --repeat "${n:-1}" --delay 80 1
    fi
    sleep 2
  done
  xdotool mousemove 0 0
  sleep 0.5
}

# crop_window FILE: the window with the window manager's frame around it, cut from the screen.
crop_window() {
  import -window root "$WORK/full.png"
  local X Y WIDTH HEIGHT extents left right top bottom
  read -r X Y WIDTH HEIGHT < <(xwininfo -id "$WID" | awk '
    /Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
    END { print x, y, w, h }')
  extents=$(xprop -id "$WID" _NET_FRAME_EXTENTS | sed -n 's/.*= //p')
  IFS=', ' read -r left right top bottom <<<"${extents:-0, 0, 0, 0}"
  local geometry=$((WIDTH + left + right))x$((HEIGHT + top + bottom))+$((X - left))+$((Y - top))
  convert "$WORK/full.png" -crop "$geometry" +repage "$1"
}

# Whether the shot NAME is taken: ONLY=PATTERN takes the matching shots alone.
wanted() { [[ -z "${ONLY:-}" || "$1" == $ONLY ]]; }

# Small PNGs: 256 colours are plenty for a window's flat colours and its text.
save_png() { convert "$1" -strip -colors 256 "PNG8:$2"; echo "$2"; }

# shot NAME TAB WIDTH HEIGHT [STEP ...]: the window on tab TAB at WIDTH×HEIGHT (0 0 for the
# least size) after the steps given (see act).
shot() {
  local name=$1 tab=$2 width=$3 height=$4
  shift 4
  wanted "$name" || return 0
  open_window "$tab" "$width" "$height"
  act "$@"
  crop_window "$WORK/$name.png"
  close_window
  save_png "$WORK/$name.png" "$OUT/$name.png"
}

mkdir -p "$OUT"
# A desktop behind the windows, for the picture of the whole screen.
convert -size 1600x1000 gradient:'#5d7fa3-#22384f' "$WORK/desktop.png"
# (display sets the root window's background and exits with 1 although it did.)
display -window root "$WORK/desktop.png" || true

# Each tab at the least size and at 1280×800; on the holdings tab the first holding is
# selected, on the bonus tab the list is fetched and its newest chart created, on the settings
# tab the calendar page is shown (and the inner tabs 接続 and 売買管理 at the least size); the
# movers are those of the data date.
shot download-min 0 0 0
shot holdings-min 1 0 0 30,86
shot bonus-min 2 0 0 253,310 45,86,2
shot settings-min 3 0 0 278,39
shot internet-min 3 0 0 25,39
shot alerts-min 3 0 0 230,39
shot download-1280 0 1280 800
shot holdings-1280 1 1280 800 30,86
shot bonus-1280 2 1280 800 987,758 45,86,2
shot settings-1280 3 1280 800 278,39
shot movers-min 5 0 0
shot movers-1280 5 1280 800

# A year of daily bars in the CSV folder for the candlestick chart: each issue wanders from
# its close of the day, the candles' opens, highs and lows around it.
CHART_DAYS=()
day=20261207
for _ in $(seq 1 250); do
  day=$(date -d "$day -1 day" +%Y%m%d)
  while [[ $(date -d "$day" +%u) -ge 6 ]]; do day=$(date -d "$day -1 day" +%Y%m%d); done
  CHART_DAYS+=("$day")
done
awk -F, -v OFS=, -v days="${CHART_DAYS[*]}" -v folder="$PROG/CsvData" '
  { line[NR] = $0; price[NR] = $6 + 0 }
  END {
    srand(7)
    n = split(days, D, " ")
    for (d = 1; d <= n; d++) {
      file = folder "/" D[d] ".csv"
      for (k = 1; k <= NR; k++) {
        split(line[k], f, ",")
        if (f[6] + 0 <= 0) { print line[k] > file; continue }
        price[k] = price[k] * (1 + 0.004 * sin(d / 9.0 + k)); c = price[k]; o = c * (1 + (rand() - 0.5) * 0.03)
        h = (o > c ? o : c) * (1 + rand() * 0.012); l = (o < c ? o : c) * (1 - rand() * 0.012)
        f[3] = int(o + 0.5); f[4] = int(h + 0.5); f[5] = int(l + 0.5); f[6] = int(c + 0.5)
        print f[1], f[2], f[3], f[4], f[5], f[6], sprintf("%.0f", (f[7] + 0) * (0.4 + rand() * 1.2)) "\r" > file
        price[k] = o
      }
      close(file)
    }
  }' "$CSV"
# Into the market database too, which the charts read once it exists.
cli db import "$PROG/CsvData" >/dev/null
read -r CHART_CODE _ < <(pick 12)
# The tab 「チャート」 with the first holding's issue typed in, and the same chart from the CLI.
shot chart-min 4 0 0 100,45 "type:$CHART_CODE"
shot chart-1280 4 1280 800 100,45 "type:$CHART_CODE"
wanted cli-chart && cli chart "$CHART_CODE" --png "$OUT/cli-chart.png" --size 1280x800 && echo "$OUT/cli-chart.png"

# The focus on each tab's first control, as the keyboard finds it: the window starts with the
# tab bar focused, and one Tab reaches the tab's first control.
# The six windows side by side in one picture.
if wanted focus; then
  FOCUS=()
  for tab in 0 1 2 3 4 5; do
    open_window "$tab" 0 0
    act "key:Tab"
    crop_window "$WORK/focus-$tab.png"
    close_window
    FOCUS+=("$WORK/focus-$tab.png")
  done
  montage "${FOCUS[@]}" -tile 2x -geometry +8+8 -background '#d8d8d8' "$WORK/focus.png"
  save_png "$WORK/focus.png" "$OUT/focus.png"
fi

# A desktop notification: the end of an automatic download (its start time is past at --now),
# shown by a notification service (dunst) on a session bus of its own, over the window.
if wanted notification; then
  cat >"$WORK/dunstrc" <<'EOF_DUNST'
[global]
    font = IPAPGothic 12
    width = 380
    origin = top-right
    offset = 24x24
    frame_width = 2
    frame_color = "#4a78c2"
    padding = 12
    horizontal_padding = 14
    format = "<b>%s</b>\n%b"
    icon_position = off
[urgency_normal]
    background = "#fdfdfd"
    foreground = "#202020"
    timeout = 0
EOF_DUNST
  dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$WORK/bus.address" 4>"$WORK/bus.pid"
  PIDS+=("$(cat "$WORK/bus.pid")")
  export DBUS_SESSION_BUS_ADDRESS
  DBUS_SESSION_BUS_ADDRESS=$(head -1 "$WORK/bus.address")
  dunst -config "$WORK/dunstrc" >"$WORK/dunst.log" 2>&1 &
  PIDS+=($!)
  cli setting AutoMode 1 >/dev/null
  cli setting AutoTime 21:30 >/dev/null
  cli setting LastAutoDownLoad "" >/dev/null
  open_window 0 1280 800
  for _ in $(seq 1 120); do
    (($(dunstctl count displayed 2>/dev/null || echo 0) > 0)) && break
    sleep 1
  done
  sleep 1
  import -window root "$WORK/notification.png"
  close_window
  cli setting AutoMode 0 >/dev/null
  save_png "$WORK/notification.png" "$OUT/notification.png"
fi
