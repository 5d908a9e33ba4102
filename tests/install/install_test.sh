#!/usr/bin/env bash
# Installs into a throw-away prefix and checks what a desktop user gets: the
# files in their places, a valid desktop entry in Office, and a launcher that
# starts the program in ~/Kovanta, made when missing, wherever it is started.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/yerel kurulum"
cmake --install "$build" --prefix "$prefix" >/dev/null
entry="$prefix/share/applications/orvalin-kovanta.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/orvalin-kovanta.svg"
for program in kovanta orvalin-kovanta; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is missing or cannot run"
done
[ -s "$icon" ] || fail "the icon is missing"
[ -f "$entry" ] || fail "the desktop entry is missing"

command -v desktop-file-validate >/dev/null || fail "desktop-file-validate (desktop-file-utils) is not installed"
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
grep -qx 'Name=Orvalin Kovanta' "$entry" || fail "the entry's name"
grep -qx 'Categories=Office;' "$entry" || fail "the entry is not in Office"
grep -qx "Icon=$icon" "$entry" || fail "the entry's icon is not the installed one"
launcher="$(sed -n 's/^Exec="\(.*\)"$/\1/p' "$entry")"
[ "$launcher" = "$prefix/bin/orvalin-kovanta" ] || fail "the entry starts '$launcher'"

# The program replaced by one that tells where it was started.
printf '#!/bin/sh\necho "$PWD|$*"\n' > "$prefix/bin/kovanta"
home="$work/ev"
mkdir -p "$home/Masaüstü"
for run in first again; do
  where="$(cd "$home/Masaüstü" && HOME="$home" "$launcher")"
  [ "$where" = "$home/Kovanta|" ] || fail "the $run start ran in '$where'"
done
ln -s "$launcher" "$work/kisayol"
where="$(cd / && HOME="$home" "$work/kisayol")"
[ "$where" = "$home/Kovanta|" ] || fail "a start through a link ran in '$where'"
echo "installed and started in $home/Kovanta"
