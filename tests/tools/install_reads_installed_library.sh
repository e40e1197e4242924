#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks that every file lands
# where a Linux desktop finds it, and starts the installed programs from a
# folder without a library (as a desktop menu starts them in the user's
# home): they read the installed library and say so in --help. A folder
# with a library of its own is still read as before.
#   install_reads_installed_library.sh BUILD_DIR REPO WITH_UI(0|1)
set -euo pipefail
build=$(cd "$1" && pwd -P) repo=$(cd "$2" && pwd -P) with_ui=$3
tmp=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }
files=(bin/quarnel-cli share/quarnel/S8 share/quarnel/D8 share/quarnel/T8 share/quarnel/METHODS.md
       share/quarnel/major.mus share/quarnel/quarnel.txt share/applications/quarnel.desktop
       share/icons/hicolor/scalable/apps/quarnel.svg)
[ "$with_ui" = 1 ] && files+=(bin/quarnel)
for f in "${files[@]}"; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
for f in S8 D8 T8 METHODS.md major.mus quarnel.txt; do
  cmp -s "$repo/data/$f" "$prefix/share/quarnel/$f" || fail "share/quarnel/$f differs from data/$f"
done
grep -qx "Exec=quarnel %f" "$prefix/share/applications/quarnel.desktop" || fail "desktop entry has no Exec line"
grep -qx "Icon=quarnel" "$prefix/share/applications/quarnel.desktop" || fail "desktop entry has no Icon line"
echo "installed: ${#files[@]} files"

# From a folder without a library: the installed one.
mkdir "$tmp/home"
cd "$tmp/home"
expected="Method library: $prefix/share/quarnel (the library that comes with Quarnel)"
help=$("$prefix/bin/quarnel-cli" --help)
grep -qxF "$expected" <<<"$help" || fail "quarnel-cli --help does not name the installed library: $(tail -1 <<<"$help")"
rows=$("$prefix/bin/quarnel-cli" rows "Cambridge S")
[ "$(wc -l <<<"$rows")" = 33 ] && [ "$(tail -1 <<<"$rows")" = 15738264 ] || fail "rows \"Cambridge S\": $rows"
[ "$("$prefix/bin/quarnel-cli" rows cambridge)" = "$rows" ] || fail "rows cambridge differs from rows \"Cambridge S\""
proved=$("$prefix/bin/quarnel-cli" prove "$prefix/share/quarnel/quarnel.txt" --music "$prefix/share/quarnel/major.mus")
grep -qx "Methods: 8" <<<"$proved" || fail "prove of the installed sample: $proved"
if [ "$with_ui" = 1 ]; then
  uihelp=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/quarnel" --help 2>/dev/null)
  grep -qxF "$expected" <<<"$uihelp" || fail "quarnel --help does not name the installed library: $(tail -1 <<<"$uihelp")"
fi
echo "from a folder without a library: $expected"

# A folder with a library of its own is read as before.
mkdir "$tmp/own"
cp "$repo/tests/data/starter/T8" "$tmp/own/T8"
cd "$tmp/own"
grep -qxF "Method library: the working folder" <<<"$("$prefix/bin/quarnel-cli" --help)" || fail "--help in a folder with T8"
"$prefix/bin/quarnel-cli" rows "Kent TB" >/dev/null || fail "rows \"Kent TB\" from the folder's T8"
if "$prefix/bin/quarnel-cli" rows "Cambridge S" >/dev/null 2>"$tmp/err"; then fail "Cambridge S read from a folder holding only T8"; fi
grep -qxF 'No method named "Cambridge S"' "$tmp/err" || fail "rows \"Cambridge S\" in a T8-only folder: $(cat "$tmp/err")"
echo "from a folder with T8: the working folder"
