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
  [market]="platform"
  [quotes]="platform market"
  [calendar]="platform"
  [bonus]="platform"
  [holdings]="platform market quotes"
  [charts]="platform market"
  [painter]="platform"
  [settings]="platform market quotes calendar bonus holdings charts"
  [cli]="platform market quotes calendar bonus holdings charts painter settings"
  [app]="platform market quotes calendar bonus holdings charts painter settings"
  [tools]="platform"
)
# Folders that never know Qt.
qt_free="kodemorph platform market quotes calendar bonus holdings charts tools"

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
