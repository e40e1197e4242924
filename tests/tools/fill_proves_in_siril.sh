#!/usr/bin/env bash
# Fills compositions with quarnel-cli, exports each as MicroSiril input and
# proves it with siril_prove.py, which shares no code with Quarnel; then
# checks that the prover does find a false peal.
#   fill_proves_in_siril.sh QUARNEL_CLI REPO
set -euo pipefail
cli=$1 repo=$2
prover="$(dirname "$0")/siril_prove.py"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
music="$repo/tests/data/major-classic.mus"

prove() {  # NAME LIBRARY EXPECTED FILL-OPTIONS...
  local name=$1 library=$2 expected=$3
  shift 3
  "$cli" fill "$repo/data/quarnel.txt" --library "$library" --music "$music" "$@" >"$tmp/$name.txt" 2>"$tmp/$name.err"
  "$cli" export "$tmp/$name.txt" --microsiril --library "$library" >"$tmp/$name.siril"
  local verdict
  verdict=$(python3 "$prover" "$tmp/$name.siril" || true)
  if [ "$verdict" != "$expected" ]; then
    echo "$name: $verdict (expected $expected)"
    cat "$tmp/$name.siril"
    exit 1
  fi
  echo "$name: $verdict"
}
prove all-surprise "$repo/data" "true: 1280 changes" --all
prove all-classes "$repo/data" "true: 1280 changes" --all --surprise --delight --treble-bob
prove all-different "$repo/data" "true: 1280 changes" --all --all-different
prove generated "$repo/tests/data/methods-standard" "true: 1280 changes" --all --right-place --time-limit 1

# One part more than the composition has: the prover must see the repetition.
sed 's/4part/5part/' "$tmp/all-surprise.siril" >"$tmp/false.siril"
verdict=$(python3 "$prover" "$tmp/false.siril" || true)
case "$verdict" in
  false:*) echo "a peal rung on too far: $verdict" ;;
  *) echo "the prover missed a repeated part: $verdict"; exit 1 ;;
esac
