#!/bin/bash
# The datadate, holiday and calendar sub-commands, run as a user runs them: holidays from the
# given program folder, the clock from --now, nothing written.
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
expect "substitute" "$(run holiday 2026/05/06)" "振替休日"
run holiday 2027/13/01 2>/dev/null
expect "malformed date exit" "$?" "2"
run holiday 2>/dev/null
expect "missing date exit" "$?" "2"
run calendar 26 2>/dev/null
expect "malformed year exit" "$?" "2"
run holiday --help | grep -q "1990-2099"
expect "help names the built-in years" "$?" "0"

# The data date is Tokyo's whatever the machine's time zone: 2026/12/07 21:43 in Tokyo is
# 07:43 the same day in New York, before that day's nine o'clock.
for zone in America/New_York Asia/Tokyo UTC; do
    expect "$zone evening" "$(TZ=$zone run --now @1796647380 datadate)" "20261207"
    expect "$zone new year" "$(TZ=$zone run --now @1799020740 datadate)" "20261230"
    expect "$zone --now" "$(TZ=$zone run --now '2026-12-07 21:43' datadate)" "20261207"
done

year2026=$(printf '%s\t%s\n' \
    2026/01/01 元日 2026/01/02 年末年始休業 2026/01/12 成人の日 2026/02/11 建国記念の日 \
    2026/02/23 天皇誕生日 2026/03/20 春分の日 2026/04/29 昭和の日 2026/05/04 みどりの日 \
    2026/05/05 こどもの日 2026/05/06 振替休日 2026/07/20 海の日 2026/08/11 山の日 \
    2026/09/21 敬老の日 2026/09/22 国民の休日 2026/09/23 秋分の日 2026/10/12 スポーツの日 \
    2026/11/03 文化の日 2026/11/23 勤労感謝の日 2026/12/31 年末年始休業)
expect "calendar 2026" "$(run calendar 2026)" "$year2026"

# A line the program cannot read is reported once, with its line, and closes nothing.
printf '"01/01","New Year"\r\n"05/07"2026,"typo"\r\n' > "$work/Calender.txt"
before=$(cat "$work/Calender.txt")
errors=$(run holiday 2027/05/07 2>&1 >/dev/null)
expect "unreadable line reported" "$(grep -c '2行目' <<<"$errors")" "1"
expect "unreadable line closes nothing" "$(run holiday 2027/05/07 2>/dev/null)" ""
expect "file untouched" "$(cat "$work/Calender.txt")" "$before"

rm "$work/Calender.txt"
expect "no holiday file" "$(run --now '2027-01-01 10:00' datadate)" "20261230"
expect "nothing written" "$(ls -A "$work")" ""
exit $fail
