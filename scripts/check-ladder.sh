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
ladder=(canvas brush files settings view reduce tools app "cli bench" "shell panels")

declare -A level=()
for i in "${!ladder[@]}"; do
  for folder in ${ladder[$i]}; do level[$folder]=$i; done
done

bad=0
for folder in "${!level[@]}"; do
  [[ -d $folder ]] || continue
  own=${level[$folder]}
  while IFS= read -r -d '' file; do
    case $file in *_tests.cpp | *_test_support.h) continue ;; esac
    while IFS= read -r target; do
      [[ -n ${level[$target]+x} ]] || continue
      if ((level[$target] > own)); then
        echo "ladder: $file includes $target/, which is above $folder/" >&2
        bad=1
      fi
    done < <(sed -nE 's@^[[:space:]]*#[[:space:]]*include[[:space:]]+"([a-z_]+)/.*@\1@p' "$file" | sort -u)
  done < <(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
done
if ((bad)); then
  echo "ladder: FAILED (see the layering table in README.md)" >&2
  exit 1
fi
echo "ladder: every include goes down the ladder"
