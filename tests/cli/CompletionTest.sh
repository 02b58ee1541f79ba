#!/bin/bash
# The bash completion of mirolanda-cli as bash runs it: commands, global and command options
# from the program's help, and the settings keys after 'setting'. HOME is a scratch folder, so
# the user's own settings file is never read.
set -u
cli=$(realpath "$1")
completion=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_DATA_HOME=$work/.local/share
fail=0
cd "$work"
complete_line() {  # words of a command line -> what completing its last word offers
    PATH="$(dirname "$cli"):$PATH" bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _mirolanda_cli; echo "${COMPREPLY[*]}"' _ "$completion" "$@"
}
expect() {  # expect WHAT GOT WANT
    if [ "$2" != "$3" ]; then echo "FAIL $1: got '$2', want '$3'"; fail=1; fi
}
expect "command" "$(complete_line mirolanda-cli da)" "datadate"
expect "command after a global option" "$(complete_line mirolanda-cli --wait 5 se)" "setting"
expect "global option" "$(complete_line mirolanda-cli --ver)" "--version"
expect "command option" "$(complete_line mirolanda-cli download --no)" "--no-csv --no-file"
expect "settings keys" "$(complete_line mirolanda-cli setting AutoD)" "AutoDataSave AutoDownCheck AutoDownNum"
expect "the API key" "$(complete_line mirolanda-cli --settings x.ini setting JQuantsApiK)" "JQuantsApiKey"
expect "a value is no key" "$(complete_line mirolanda-cli setting AutoMode Auto)" ""
# Every key offered is one the command takes.
keys=$("$cli" setting --list-keys)
expect "keys listed" "$(wc -l <<<"$keys")" "$(grep -c . <<<"$keys")"
for key in QuoteSiteUrl AutoTime $(tail -n 1 <<<"$keys"); do
    "$cli" setting "$key" >/dev/null 2>&1 || { echo "FAIL 'setting $key' refuses a listed key"; fail=1; }
done
[ -e "$work/.config" ] && { echo "FAIL listing the keys wrote a settings file"; fail=1; }
exit $fail
