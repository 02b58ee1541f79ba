#!/usr/bin/env bash
# Checks the Debian package as a user gets it: builds it (scripts/package.sh), checks its file
# list, lintian, the desktop entry and AppStream metadata, the icons against their SVG, the man
# pages and the bash completion; unpacks it into a scratch root and runs the programs from
# there as a fresh user (HOME in a scratch folder): the CLI, a download from the installed
# market simulator, the window offscreen; and verifies the systemd user units.
set -euo pipefail
cd "$(dirname "$0")/.."
START=$SECONDS
bash scripts/setup-debian.sh lintian desktop-file-utils appstream librsvg2-bin
bash scripts/package.sh >/dev/null

ID=io.github.mirolanda.Mirolanda
VERSION=$(sed -n 's/^project(Mirolanda VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DEB=build/mirolanda_${VERSION}_$(dpkg --print-architecture).deb
MULTIARCH=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
SCRATCH=$(mktemp -d)
ROOT=$SCRATCH/root
SIM_PID=""
cleanup() {
  [[ -n "$SIM_PID" ]] && kill "$SIM_PID" 2>/dev/null
  rm -rf "$SCRATCH"
}
trap cleanup EXIT

PASSED=0
step() {
  ((PASSED += ${STEPPING:-0})) || true
  STEPPING=1
  echo "== $*"
}
fail() {
  echo "package-check: $*" >&2
  echo "package-check: $PASSED passed, 1 failed"
  exit 1
}

step "files of $DEB ($(stat -c %s "$DEB") bytes)"
dpkg-deb -c "$DEB" | awk '{ sub(/^\./, "", $6); print $6 }' >"$SCRATCH/files"
expected=(
  /usr/bin/mirolanda /usr/bin/mirolanda-cli /usr/bin/mirolanda-sim
  "/usr/lib/$MULTIARCH/mirolanda/libkodemorph.so"
  "/usr/share/applications/$ID.desktop" "/usr/share/metainfo/$ID.metainfo.xml"
  "/usr/share/icons/hicolor/scalable/apps/$ID.svg"
  /usr/share/man/man1/mirolanda.1.gz /usr/share/man/man1/mirolanda-cli.1.gz /usr/share/man/man1/mirolanda-sim.1.gz
  /usr/share/bash-completion/completions/mirolanda-cli
  /usr/lib/systemd/user/mirolanda-download.service /usr/lib/systemd/user/mirolanda-download.timer
  /usr/share/doc/mirolanda/copyright /usr/share/doc/mirolanda/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$ID.png"); done
for file in "${expected[@]}"; do
  grep -qxF "$file" "$SCRATCH/files" || fail "the package lacks $file"
done
echo "${#expected[@]} files present"
# The completion above is loaded by bash-completion, which a minimal system lacks.
dpkg-deb -f "$DEB" Recommends | grep -qw bash-completion || fail "the package does not recommend bash-completion"

step "lintian"
lint_status=0
lint=$(lintian --fail-on error --display-info "$DEB" 2>&1) || lint_status=$?
grep -v "^running with root privileges" <<<"$lint" || true
((lint_status == 0)) || fail "lintian reports errors"

dpkg-deb -x "$DEB" "$ROOT"
step "desktop entry and AppStream metadata"
desktop-file-validate "$ROOT/usr/share/applications/$ID.desktop"
appstreamcli validate --no-net "$ROOT/usr/share/metainfo/$ID.metainfo.xml"
grep -qx "Icon=$ID" "$ROOT/usr/share/applications/$ID.desktop" || fail "the desktop entry names another icon"

step "icons match their SVG"
bash scripts/render-icons.sh "$SCRATCH/icons"
for png in "$SCRATCH"/icons/*/apps/*.png; do
  cmp -s "$png" "$ROOT/usr/share/icons/hicolor/${png#"$SCRATCH"/icons/}" ||
    fail "${png#"$SCRATCH"/icons/} differs from the SVG: run scripts/render-icons.sh and commit the PNGs"
done

BIN=$ROOT/usr/bin
step "man pages"
commands=$("$BIN/mirolanda-cli" --help | sed -n '/^コマンド:/,/^$/s/^  \([a-z][a-z-]*\).*/\1/p')
page=$(zcat "$ROOT/usr/share/man/man1/mirolanda-cli.1.gz")
for command in $commands; do
  grep -q "^\.B $command\b" <<<"$page" || fail "mirolanda-cli(1) does not describe '$command'"
done
echo "mirolanda-cli(1) describes" $commands
# Declared UTF-8, the pages are converted for the locale's formatter: no warning in the C locale.
for page in mirolanda mirolanda-cli mirolanda-sim; do
  warnings=$(LC_ALL=C man --warnings -l "$ROOT/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "$page(1) renders with warnings in the C locale: $warnings"
done
echo "the man pages render without warnings in the C locale"

step "bash completion"
complete_line() {  # words of a command line -> what completing its last word offers
  PATH="$BIN:$PATH" bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _mirolanda_cli; echo "${COMPREPLY[*]}"' _ "$ROOT/usr/share/bash-completion/completions/mirolanda-cli" "$@"
}
[[ $(complete_line mirolanda-cli da) == "datadate" ]] || fail "completion of 'da': $(complete_line mirolanda-cli da)"
[[ $(complete_line mirolanda-cli --settings x.ini d) == "datadate download db" ]] || fail "completion after --settings"
[[ $(complete_line mirolanda-cli download --no) == "--no-csv --no-file" ]] || fail "completion of download's options"
[[ $(complete_line mirolanda-cli --ver) == "--version" ]] || fail "completion of the global options"
[[ $(HOME=$SCRATCH complete_line mirolanda-cli setting AutoD) == "AutoDataSave AutoDownCheck AutoDownNum" ]] ||
  fail "completion of the settings keys: $(HOME=$SCRATCH complete_line mirolanda-cli setting AutoD)"
echo "commands, options and settings keys complete"

step "the installed programs as a fresh user"
export HOME=$SCRATCH/home
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR
mkdir -p "$HOME"
find "$ROOT" | sort >"$SCRATCH/before"
[[ $("$BIN/mirolanda-cli" --version) == "mirolanda-cli $VERSION" ]] || fail "mirolanda-cli --version"
"$BIN/mirolanda-cli" datadate | grep -qE '^[0-9]{8}$' || fail "mirolanda-cli datadate"
# The day's download from the installed simulator, converted by the installed Kodemorph.
"$BIN/mirolanda-sim" --port 0 --date 20261204 --max-seconds 300 >"$SCRATCH/sim.log" 2>&1 &
SIM_PID=$!
for _ in $(seq 1 50); do grep -q "^port" "$SCRATCH/sim.log" && break; sleep 0.1; done
PORT=$(awk '/^port/ { print $2 }' "$SCRATCH/sim.log")
[[ -n "$PORT" ]] || fail "the installed mirolanda-sim did not start: $(cat "$SCRATCH/sim.log")"
"$BIN/mirolanda-cli" setting QuoteSiteUrl "http://127.0.0.1:$PORT/"
"$BIN/mirolanda-cli" --now "2026-12-04 17:00" download 2>"$SCRATCH/download.log" ||
  fail "the installed download failed: $(tail -n 1 "$SCRATCH/download.log")"
DATA=$HOME/.local/share/Mirolanda
[[ -s "$DATA/CsvData/20261204.csv" ]] || fail "the download wrote no $DATA/CsvData/20261204.csv"
"$BIN/mirolanda-cli" issue 1301 | grep -q "^2026/12/04" || fail "the download filed no history"
echo "download: $(ls "$DATA/StockData" | wc -l) history files in $DATA"
export QT_QPA_PLATFORM=offscreen
[[ $("$BIN/mirolanda" --version 2>/dev/null) == "Mirolanda $VERSION" ]] || fail "mirolanda --version"
timeout 60 "$BIN/mirolanda" --quit-when-shown 2>"$SCRATCH/window.log" ||
  fail "the installed window did not start and quit: $(cat "$SCRATCH/window.log")"
echo "the window starts offscreen and quits"
find "$ROOT" | sort | diff "$SCRATCH/before" - || fail "the installed programs wrote into their install folder"

step "systemd user units"
UNITS=$SCRATCH/units
mkdir -p "$UNITS" "$SCRATCH/run"
chmod 700 "$SCRATCH/run"
# Verified against the unpacked programs, as the units would run them once installed.
sed "s|=/usr/bin/|=$BIN/|" "$ROOT/usr/lib/systemd/user/mirolanda-download.service" >"$UNITS/mirolanda-download.service"
cp "$ROOT/usr/lib/systemd/user/mirolanda-download.timer" "$UNITS/"
if verify=$(XDG_RUNTIME_DIR=$SCRATCH/run systemd-analyze --user --man=no verify "$UNITS"/* 2>&1) && [[ -z "$verify" ]]; then
  echo "systemd-analyze verify: clean"
elif grep -q "Failed to initialize manager" <<<"$verify"; then
  echo "systemd-analyze verify skipped: it needs a user manager this machine cannot start ($verify)"
else
  fail "systemd-analyze verify: $verify"
fi
calendar=$(sed -n 's/^OnCalendar=//p' "$UNITS/mirolanda-download.timer")
systemd-analyze calendar "$calendar" | grep "Next elapse" || fail "OnCalendar=$calendar"

((PASSED += 1))
echo "package check of $DEB took $((SECONDS - START)) s"
echo "package-check: $PASSED passed, 0 failed"
