#!/usr/bin/env bash
# The layering, checked on every test run: which folder may include which (arrows point down
# only), no Qt in the domain folders, and no include cycle between the files of a folder.
# Usage: check-layers.sh [SOURCE_ROOT]. Prints each offence and exits 1 when there is one.
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

# What each folder may include besides itself.
declare -A may_include=(
  [kodemorph]=""
  [platform]=""
  [marketdb]="platform market"
  [calendar]="platform"
  [market]="platform calendar"
  [quotesite]="platform market"
  [jquants]="platform market calendar"
  [quotes]="platform market calendar"
  [bonus]="platform"
  [holdings]="platform market quotes quotesite"
  [settings]="platform market marketdb charts movers quotesite jquants quotes calendar bonus holdings"
  [cli]="platform market marketdb charts movers painter quotesite jquants quotes calendar bonus holdings settings"
  [app]="platform market marketdb charts movers painter quotesite jquants quotes calendar bonus holdings settings"
  [charts]="platform market"
  [movers]="platform market"
  [painter]="platform"
  [tools]="platform"
)
# What each sub-folder of app/ may include from app/ besides itself: the small widgets and the
# commands' services are shared; the shell puts the window together from every sub-folder.
declare -A app_may_include=(
  [widgets]=""
  [commands]="widgets"
  [download]="widgets commands"
  [holdings]="widgets commands"
  [bonus]="widgets commands"
  [calendar]="widgets commands"
  [chart]="widgets commands"
  [movers]="widgets commands"
  [settings]="widgets commands download"
  [shell]="*"
)
# Folders that never know Qt.
qt_free="kodemorph platform market marketdb quotesite jquants quotes calendar bonus holdings charts movers tools"

offences=0
offence() {
  echo "$1" >&2
  offences=$((offences + 1))
}

for folder in "${!may_include[@]}"; do
  allowed=" $folder ${may_include[$folder]} "
  while IFS= read -r line; do
    file=${line%%:*}
    target=${line#*#include \"}
    target=${target%%/*}
    [[ -d $target && $allowed != *" $target "* ]] && offence "$file includes $target/, which $folder/ may not"
  done < <(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z]+/' "$folder" --include='*.h' --include='*.cpp' || true)
done

for folder in $qt_free; do
  while IFS= read -r line; do
    offence "${line%%:*} includes Qt, which $folder/ must not know"
  done < <(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]+<(Q|qt)' "$folder" --include='*.h' --include='*.cpp' || true)
done

for dir in app/*/; do
  sub=$(basename "$dir")
  if [[ ! -v app_may_include[$sub] ]]; then
    offence "app/$sub/ is not in the table of app/'s sub-folders"
    continue
  fi
  [[ ${app_may_include[$sub]} == "*" ]] && continue
  allowed=" $sub ${app_may_include[$sub]} "
  while IFS= read -r line; do
    target=${line#*#include \"app/}
    target=${target%%/*}
    [[ $allowed != *" $target "* ]] && offence "${line%%:*} includes app/$target/, which app/$sub/ may not"
  done < <(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"app/' "$dir" --include='*.h' --include='*.cpp' || true)
done

# A file's base name says what it holds, once: two production files of the same name in
# different folders (main.cpp aside) would make includes and searches ambiguous.
while IFS= read -r name; do
  offence "more than one production file is named $name"
done < <(for folder in "${!may_include[@]}"; do find "$folder" -name '*.h' -o -name '*.cpp'; done |
           grep -v '/main\.cpp$' | sed -E 's#\.(h|cpp)$##' | sort -u | sed 's#.*/##' | sort | uniq -d)

# Modules (a header with its source) of one folder must not depend on each other in a circle:
# tsort reports a loop among "module included-module" pairs.
for folder in "${!may_include[@]}"; do
  pairs=$(grep -rHoE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"'"$folder"'/[^"]+"' "$folder" \
            --include='*.h' --include='*.cpp' || true)
  edges=$(sed -E 's/^([^:]+)\.(h|cpp):.*"([^"]+)\.h"$/\1 \3/' <<<"$pairs")
  if [[ -n $edges ]] && ! tsort <<<"$edges" >/dev/null 2>/tmp/tsort.$$; then
    offence "include cycle in $folder/: $(tr '\n' ' ' </tmp/tsort.$$)"
  fi
  rm -f /tmp/tsort.$$
done

if ((offences)); then
  echo "$offences layering offence(s); see docs/ARCHITECTURE.md" >&2
  exit 1
fi
echo "layers ok"
