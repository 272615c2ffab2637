#!/bin/sh
# Starts an installed Lexivane: PREFIX/bin/lexivane, beside PREFIX/lib/lexivane.
#
# The program keeps its working files and bookmark.dat in its own folder. When
# the installed folder is writable (an install into the user's own PREFIX) the
# program runs there. Otherwise (a system-wide install) each user gets a
# program folder of their own, $XDG_DATA_HOME/lexivane (~/.local/share/lexivane),
# holding copies of the installed program, engine library and dictionaries,
# refreshed whenever an installed file's size or time differs from its copy's
# (a reinstall may bring an older build), so that users never share a locked
# dictionary or a bookmark file.
set -eu
here=$(dirname "$(readlink -f "$0")")
installed=$(readlink -f "$here/../lib/lexivane")
if [ -w "$installed" ]; then
  exec "$installed/lexivane" "$@"
fi

own=${XDG_DATA_HOME:-$HOME/.local/share}/lexivane
mkdir -p "$own"
# A dictionary no longer installed goes from the user's folder too, so that the
# program does not keep opening an old copy of it.
for copy in "$own"/"English Dictionary ("*").pdb"; do
  [ -e "$copy" ] || continue
  [ -e "$installed/$(basename "$copy")" ] || rm -f "$copy"
done
for file in "$installed"/lexivane "$installed"/liblexicore.so \
            "$installed"/"English Dictionary ("*").pdb"; do
  [ -e "$file" ] || continue
  target=$own/$(basename "$file")
  if [ "$(stat -c '%s %Y' "$file")" != "$(stat -c '%s %Y' "$target" 2>/dev/null)" ]; then
    # Copied beside the target, then renamed over it: a running copy of the
    # program keeps its own file, and an interrupted copy leaves no half file.
    cp -p "$file" "$target.new"
    mv -f "$target.new" "$target"
  fi
done
exec "$own/lexivane" "$@"
