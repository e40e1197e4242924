#!/usr/bin/env bash
# Composes with quarnel-cli (a 5-part peal of the standard eight, a 2-part
# quarter with singles, a quarter splicing at calls), writes the
# compositions with --out, exports each as MicroSiril input and proves it
# with siril_prove.py, which shares no code with Quarnel.
#   compose_proves_in_siril.sh QUARNEL_CLI REPO
set -euo pipefail
cli=$1 repo=$2
prover="$(dirname "$0")/siril_prove.py"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
library="$repo/tests/data/methods-standard"

compose() {  # NAME EXPECTED-CHANGES COMPOSE-OPTIONS...
  local name=$1 changes=$2
  shift 2
  mkdir "$tmp/$name"
  "$cli" compose --library "$library" --music "$repo/data/major.mus" --threads 1 --count 3 --out "$tmp/$name" "$@" \
    >"$tmp/$name.txt" 2>"$tmp/$name.err"
  local n=0
  for file in "$tmp/$name"/comp-*.txt; do
    "$cli" export "$file" --microsiril --library "$library" >"$file.siril"
    local verdict
    verdict=$(python3 "$prover" "$file.siril" || true)
    case "$verdict" in
      "true: $changes changes") ;;
      *) echo "$name $(basename "$file"): $verdict (expected true: $changes changes)"; cat "$file"; exit 1 ;;
    esac
    n=$((n + 1))
  done
  if [ "$n" -eq 0 ]; then echo "$name: no composition"; cat "$tmp/$name.err"; exit 1; fi
  echo "$name: $n compositions true"
}
compose peal 5120 --methods "Bristol S,Cambridge S,Cornwall S,Lincolnshire S,London S,Pudsey S,Superlative S,Yorkshire S" \
  --length peal --parts 5 --min-each 480 --min-methods 8 --node-limit 2000000
compose quarter 1280 --methods "Bristol S,Cambridge S,Rutland S,Lincolnshire S,London S,Pudsey S,Superlative S,Yorkshire S" \
  --length qp --part-end 12435678 --calls bobs-singles --node-limit 1000000
compose at-calls 1280 --methods "Cambridge S,Yorkshire S,Bristol S" --length qp --splice calls --min-methods 3 --node-limit 2000000
