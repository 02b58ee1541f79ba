#!/bin/bash
# The datadate and holiday sub-commands, run as a user runs them: holidays from the given
# program folder, the clock from --now, nothing written.
set -u
cli=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$data/Calender.txt" "$work/"
fail=0
run() { "$cli" --settings "$work/settings.ini" --program-folder "$work" "$@"; }
expect() {  # expect WHAT GOT WANT
    if [ "$2" != "$3" ]; then echo "FAIL $1: got '$2', want '$3'"; fail=1; fi
}
expect "new year listed" "$(run --now '2027-01-01 10:00' datadate)" "20261230"
expect "before nine" "$(run --now '2026-12-08 08:59' datadate)" "20261207"
expect "holiday name" "$(run holiday 2027/01/01)" "元日"
expect "business day" "$(run holiday 2027/01/04)" ""
expect "saturday" "$(run holiday 2027/01/02)" "土曜日"
run holiday 2027/13/01 2>/dev/null
expect "malformed date exit" "$?" "2"
run holiday 2>/dev/null
expect "missing date exit" "$?" "2"
rm "$work/Calender.txt"
expect "no holiday file" "$(run --now '2027-01-01 10:00' datadate)" "20261230"
expect "nothing written" "$(ls -A "$work")" ""
exit $fail
