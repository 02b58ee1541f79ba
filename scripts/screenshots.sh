#!/usr/bin/env bash
# Screenshots of the window as a person sees it, for docs/: every tab at the least size and at
# 1280×800, under Xvfb with a small window manager (openbox), with demonstration data from the
# market simulator: a day's download, forty earlier days filed from it, three holdings (one
# above its rise alert, one below its fall alert) and the bonus lists.
# Usage: [ONLY=PATTERN] scripts/screenshots.sh [OUTPUT_FOLDER]   (default docs/)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
OUT=${1:-$ROOT/docs}
bash scripts/setup-debian.sh openbox x11-utils xdotool imagemagick >/dev/null
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

export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
sleep 1
openbox >"$WORK/openbox.log" 2>&1 &
PIDS+=($!)
sleep 1

# shot NAME TAB WIDTH HEIGHT [X,Y[,CLICKS] ...]: the window on tab TAB with a client area of
# WIDTH×HEIGHT pixels (0 0 for the least size), the clicks given (client coordinates; CLICKS 2
# for a double click) made before the shot.
shot() {
  local name=$1 tab=$2 width=$3 height=$4
  shift 4
  # ONLY=PATTERN takes the matching shots alone.
  [[ -n "${ONLY:-}" && "$name" != $ONLY ]] && return
  cli setting CurrentTab "$tab" >/dev/null
  if ((width > 0)); then
    cli setting Width $((width * 15)) >/dev/null
    cli setting Height $((height * 15)) >/dev/null
  else
    cli setting Width 0 >/dev/null
    cli setting Height 0 >/dev/null
  fi
  cli setting Top 900 >/dev/null
  cli setting Left 900 >/dev/null
  "$BIN/mirolanda" --settings "$INI" --program-folder "$PROG" --now "$NOW" >"$WORK/window.log" 2>&1 &
  local pid=$!
  local wid=""
  for _ in $(seq 1 100); do
    wid=$(xdotool search --name "Mirolanda Ver" 2>/dev/null | head -1) && [[ -n "$wid" ]] && break
    sleep 0.2
  done
  sleep 1.5
  local click x y n
  for click in "$@"; do
    # "type:TEXT" types TEXT into the focused control and presses Return.
    if [[ $click == type:* ]]; then
      xdotool type --window "$wid" --delay 50 "${click#type:}"
      xdotool key --window "$wid" Return
      sleep 2
      continue
    fi
    IFS=, read -r x y n <<<"$click"
    xdotool mousemove --window "$wid" "$x" "$y" click --repeat "${n:-1}" --delay 80 1
    sleep 2
  done
  xdotool mousemove 0 0
  sleep 0.5
  import -window root "$WORK/full.png"
  # The window with the window manager's frame around it, cut from the screen.
  local X Y WIDTH HEIGHT extents left right top bottom
  read -r X Y WIDTH HEIGHT < <(xwininfo -id "$wid" | awk '
    /Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
    END { print x, y, w, h }')
  extents=$(xprop -id "$wid" _NET_FRAME_EXTENTS | sed -n 's/.*= //p')
  IFS=', ' read -r left right top bottom <<<"${extents:-0, 0, 0, 0}"
  local geometry=$((WIDTH + left + right))x$((HEIGHT + top + bottom))+$((X - left))+$((Y - top))
  convert "$WORK/full.png" -crop "$geometry" +repage -strip -colors 256 "PNG8:$OUT/$name.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$OUT/$name.png"
}

mkdir -p "$OUT"
# Each tab at the least size and at 1280×800; on the holdings tab the first holding is
# selected, on the bonus tab the list is fetched and its newest chart created, on the settings
# tab the calendar page is shown (and the inner tabs 接続 and 売買管理 at the least size).
shot download-min 0 0 0
shot holdings-min 1 0 0 30,86
shot bonus-min 2 0 0 253,310 45,86,2
shot settings-min 3 0 0 378,39
shot internet-min 3 0 0 60,39
shot alerts-min 3 0 0 230,39
shot download-1280 0 1280 800
shot holdings-1280 1 1280 800 30,86
shot bonus-1280 2 1280 800 987,758 45,86,2
shot settings-1280 3 1280 800 378,39

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
        print f[1], f[2], f[3], f[4], f[5], f[6], int((f[7] + 0) * (0.4 + rand() * 1.2)) "\r" > file
        price[k] = o
      }
      close(file)
    }
  }' "$CSV"
read -r CHART_CODE _ < <(pick 12)
# The tab 「チャート」 with the first holding's issue typed in, and the same chart from the CLI.
shot chart-1280 4 1280 800 100,45 "type:$CHART_CODE"
[[ -z "${ONLY:-}" || cli-chart == $ONLY ]] && cli chart "$CHART_CODE" --png "$OUT/cli-chart.png" --size 1280x800 \
  && echo "$OUT/cli-chart.png"
