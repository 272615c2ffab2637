#!/usr/bin/env bash
# Installs the build into temporary prefixes and checks what a user gets: the
# program folder complete and working from its new place, the launcher and
# lexivane-dict on the PATH, the desktop entry and the icon.
#   install_test.sh BUILD_DIR WITH_DICTIONARY(0|1)
set -euo pipefail
build=$1
with_dictionary=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() { echo "install_test: $*" >&2; exit 1; }

# A prefix with a space in it, as a user's may have.
prefix="$work/my prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
folder="$prefix/lib/lexivane"
for program in lexivane lexivane-dict; do
  [[ -x "$folder/$program" ]] || fail "$program missing from the program folder"
done
[[ -f "$folder/liblexicore.so" ]] || fail "liblexicore.so missing from the program folder"
[[ -x "$prefix/bin/lexivane" ]] || fail "no launcher in bin"
# lexivane-dict is on the PATH beside the launcher, and runs from there.
(cd / && PATH="$prefix/bin:$PATH" lexivane-dict --help >/dev/null) ||
  fail "lexivane-dict in bin does not run"
# The installed programs load the installed engine library, not the build's.
for program in lexivane lexivane-dict; do
  library=$(ldd "$folder/$program" | sed -n 's/^.*liblexicore.so => \(.*\) (0x.*$/\1/p')
  [[ "$library" == "$folder/liblexicore.so" ]] ||
    fail "$program loads '$library' instead of the installed engine library"
done
# The programs and the library look for libraries beside themselves and in the
# system's folders, nowhere else: a run path of $ORIGIN alone, in the build and
# the install. An empty entry would make the loader search the current
# directory, a build path would let a copied program load the build's library.
runpath() { readelf -d "$1" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]$/\1 \2/p'; }
for file in "$build/dist/lexivane" "$build/dist/lexivane-dict" "$build/dist/liblexicore.so" \
            "$folder/lexivane" "$folder/lexivane-dict" "$folder/liblexicore.so"; do
  # shellcheck disable=SC2016 # $ORIGIN is the loader's, not the shell's
  [[ "$(runpath "$file")" == 'RUNPATH $ORIGIN' ]] || fail "$file has the run path '$(runpath "$file")'"
done
mkdir "$work/planted"
: >"$work/planted/libzstd.so.1"
if (cd "$work/planted" && LD_DEBUG=libs "$folder/lexivane-dict" --help 2>&1 >/dev/null) |
    grep -E 'trying file=[^/]'; then
  fail "lexivane-dict looks for libraries in the current directory"
fi

if [[ "$with_dictionary" == 1 ]]; then
  # All three, for the Tools menu to choose from.
  for size in small medium large; do
    [[ -f "$folder/English Dictionary ($size).pdb" ]] || fail "the $size dictionary is not installed"
  done
  dictionary="$folder/English Dictionary (large).pdb"
  (cd / && PATH="$prefix/bin:$PATH" lexivane-dict lookup "$dictionary" geese) >"$work/lookup.txt" ||
    fail "the installed lexivane-dict cannot read the installed dictionary"
  grep -qi "goose" "$work/lookup.txt" || fail "'geese' did not lead to 'goose': $(head -c 200 "$work/lookup.txt")"
fi

icon="$prefix/share/icons/hicolor/48x48/apps/lexivane.png"
[[ -f "$icon" ]] || fail "no icon"
# A PNG's IHDR holds its width and height at bytes 16 to 23.
[[ "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')" == "0000003000000030" ]] ||
  fail "the icon is not 48 x 48"

desktop="$prefix/share/applications/lexivane.desktop"
[[ -f "$desktop" ]] || fail "no desktop entry"
grep -qxF "Exec=\"$prefix/bin/lexivane\"" "$desktop" || fail "Exec does not name the launcher: $(grep Exec "$desktop")"
grep -qx "Icon=lexivane" "$desktop" || fail "the desktop entry does not name the icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate refused the entry"
fi

# DESTDIR stages the files; the entry names the final place.
DESTDIR="$work/stage" cmake --install "$build" --prefix /opt/lexivane >"$work/stage.log"
[[ -x "$work/stage/opt/lexivane/lib/lexivane/lexivane" ]] || fail "DESTDIR: no program"
grep -qxF 'Exec="/opt/lexivane/bin/lexivane"' "$work/stage/opt/lexivane/share/applications/lexivane.desktop" ||
  fail "DESTDIR leaked into the desktop entry"

# The launcher, with a stand-in program that tells where it runs from.
fake="$work/fake"
mkdir -p "$fake/bin" "$fake/lib/lexivane" "$work/home"
cp "$prefix/bin/lexivane" "$fake/bin/lexivane"
printf '#!/bin/sh\necho "$(dirname "$(readlink -f "$0")")" "$@"\n' >"$fake/lib/lexivane/lexivane"
chmod 755 "$fake/lib/lexivane/lexivane"
echo engine >"$fake/lib/lexivane/liblexicore.so"
echo dictionary >"$fake/lib/lexivane/English Dictionary (large).pdb"
echo old >"$fake/lib/lexivane/English Dictionary (small).pdb"
[[ "$("$fake/bin/lexivane" --x)" == "$fake/lib/lexivane --x" ]] ||
  fail "a writable program folder is not run in place"

# A folder the user cannot write: the program runs from the user's own folder.
chmod -R a+rX,a-w "$fake"
chmod a+w "$work/home"
as_user=()
if [[ $(id -u) -eq 0 ]]; then
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run_as_user() { env -i PATH="$PATH" HOME="$work/home" "${as_user[@]}" "$fake/bin/lexivane" "$@"; }
own="$work/home/.local/share/lexivane"
[[ "$(run_as_user --y)" == "$own --y" ]] || fail "a read-only program folder is run in place"
for file in lexivane liblexicore.so "English Dictionary (large).pdb" "English Dictionary (small).pdb"; do
  cmp -s "$fake/lib/lexivane/$file" "$own/$file" || fail "'$file' not copied to the user's folder"
done
# A second start keeps the user's files; a reinstalled file replaces its copy,
# even one older than the copy, and a dictionary taken away goes from the
# user's folder as well.
echo bookmarks >"$own/bookmark.dat"
chmod u+w "$fake/lib/lexivane"
echo ENGINE >"$fake/lib/lexivane/liblexicore.so"
touch -d '-1 day' "$fake/lib/lexivane/liblexicore.so"
rm "$fake/lib/lexivane/English Dictionary (small).pdb"
chmod a-w "$fake/lib/lexivane"
run_as_user >/dev/null
[[ "$(cat "$own/liblexicore.so")" == ENGINE ]] || fail "a reinstalled engine library was not copied"
[[ ! -e "$own/English Dictionary (small).pdb" ]] || fail "a removed dictionary stayed"
[[ "$(cat "$own/bookmark.dat")" == bookmarks ]] || fail "the user's bookmarks were touched"
chmod -R u+w "$fake"
echo "install_test: ok"
