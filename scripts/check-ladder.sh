#!/usr/bin/env bash
# Fails when a core file includes a folder above its own on the ladder. Tests (*_tests.cpp,
# *_test_support.h) may include anything below the shell. The ladder, bottom to top, is the
# table in the README; keep the two in step.
#
#   scripts/check-ladder.sh [ROOT]
set -euo pipefail
ROOT="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$ROOT"

# Bottom to top. A folder may include its own level and every level below it.
ladder=(canvas brush files settings view reduce tools app "cli bench fuzz" shell panels)

declare -A level=()
for i in "${!ladder[@]}"; do
  for folder in ${ladder[$i]}; do level[$folder]=$i; done
done

bad=0
folders=()
for folder in "${!level[@]}"; do [[ -d $folder ]] && folders+=("$folder"); done
# One pass over every source: lines "file:folder" for each include of a project folder.
while IFS=: read -r file target; do
  case $file in *_tests.cpp | *_test_support.h) continue ;; esac
  [[ -n ${level[$target]+x} ]] || continue
  own=${level[${file%%/*}]}
  if ((level[$target] > own)); then
    echo "ladder: $file includes $target/, which is above ${file%%/*}/" >&2
    bad=1
  fi
done < <(grep -rHoE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z_]+/' "${folders[@]}" |
         sed -E 's@^([^:]+):.*"([a-z_]+)/$@\1:\2@' | sort -u)
if ((bad)); then
  echo "ladder: FAILED (see the layering table in README.md)" >&2
  exit 1
fi
echo "ladder: every include goes down the ladder"
