#!/usr/bin/env bash
# Builds the Debian package from a built tree, has lintian judge it, installs
# it with apt, starts the installed program as a fresh user the way the
# desktop does, and removes it: nothing of the build tree may be used, every
# file opened must come from a package it depends on, and removing (and
# purging) leaves no file of it behind and the user's ledger as it was.
# Needs root and changes this machine's packages; exits 77 (skipped) when
# not root or when the package is already installed here.
set -euo pipefail
build="$(cd "$1" && pwd)"
source_root="$(cd "$(dirname "$0")/../.." && pwd)"
package=orvalin-kovanta
user=kovanta-paket-deneme
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIPPED: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q installed; then
  skip "$package is already installed here; it is left alone"
fi
getent passwd "$user" >/dev/null && skip "the user $user already exists"
for tool in cpack lintian dpkg-shlibdeps strace Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done

work="$(mktemp -d)"
chmod 755 "$work"
cd "$work"
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y "$package" >/dev/null 2>&1 || true
  userdel -r "$user" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# --- The package ---
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
[ -n "$version" ] || fail "no version in $build/CPackConfig.cmake"
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/out/${package}_${version}_amd64.deb"
[ -f "$deb" ] || fail "no ${package}_${version}_amd64.deb: $(ls "$work/out")"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libsqlite3-0 libpq5 qt6-translations-l10n fonts-liberation2 postgresql-client-15; do
  grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
echo "built $(basename "$deb"): Depends: $depends"

# Warnings are reported; errors fail.
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors"

# --- Installed ---
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install"; }
dpkg -L "$package" >"$work/files"
for path in /usr/bin/kovanta /usr/bin/orvalin-kovanta /usr/share/applications/orvalin-kovanta.desktop \
            /usr/share/icons/hicolor/scalable/apps/orvalin-kovanta.svg /usr/share/man/man1/kovanta.1.gz \
            /usr/share/doc/orvalin-kovanta/copyright /usr/share/doc/orvalin-kovanta/changelog.Debian.gz; do
  grep -qx "$path" "$work/files" || fail "$path is not in the package"
done
from_build() { grep -F -e "$source_root" -e "$build" "$@"; }
ldd /usr/bin/kovanta >"$work/ldd"
grep -q "not found" "$work/ldd" && fail "a library is missing: $(grep 'not found' "$work/ldd")"
from_build "$work/ldd" && fail "the program links the build tree"
from_build /usr/share/applications/orvalin-kovanta.desktop && fail "the desktop entry names the build tree"

useradd -m -s /bin/bash "$user"
home="$(getent passwd "$user" | cut -d: -f6)"
as_user() { runuser -u "$user" -- env -i HOME="$home" USER="$user" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"; }
as_user kovanta --help | grep -q "kovanta statement" || fail "kovanta --help"
as_user kovanta statement --help | grep -q "kovanta statement" || fail "kovanta statement --help"
# Every command and option the program's usage names is in the installed manual.
as_user kovanta --help >"$work/usage"
zcat /usr/share/man/man1/kovanta.1.gz | sed 's/\\-/-/g' >"$work/manual"
{ sed -n 's/^ *kovanta \([a-z][a-z-]*\).*/\1/p' "$work/usage"; grep -o -- '--[a-z0-9][a-z0-9-]*' "$work/usage"; } | sort -u |
  while read -r word; do grep -q -F -- "$word" "$work/manual" || fail "the manual page lacks $word"; done

# The desktop entry's Exec line, on a display with a window manager; Enter
# answers the first start's question to make the ledger.
exec_line="$(sed -n 's/^Exec=//p' /usr/share/applications/orvalin-kovanta.desktop)"
eval "exec_words=($exec_line)"
display=95
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
runuser -u "$user" -- env -i HOME="$home" DISPLAY=":$display" openbox >/dev/null 2>&1 &
window_manager=$!
strace -f -qq -e trace=openat,execve -o "$work/strace" -u "$user" \
  env -i HOME="$home" USER="$user" PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY=":$display" "${exec_words[@]}" \
  >"$work/program.log" 2>&1 &
program=$!
ledger="$home/Kovanta/AnaData/Kovanta.mdb"
for _ in $(seq 300); do
  [ -f "$ledger" ] && compgen -G "$home/Kovanta/AnaData/Yedek/Kovanta-*.mdb" >/dev/null && break
  if ! kill -0 "$program" 2>/dev/null; then cat "$work/program.log"; fail "the program ended at its first start"; fi
  DISPLAY=":$display" xdotool key Return 2>/dev/null || true
  sleep 0.5
done
[ -f "$ledger" ] || fail "the first start made no ledger in ~/Kovanta"
sleep 2
# strace's child is the launcher become the program.
kill -TERM $(pgrep -P "$program") 2>/dev/null || true
wait "$program" 2>/dev/null || true
kill -TERM $(pgrep -P "$window_manager") "$window_manager" 2>/dev/null || true
wait "$window_manager" 2>/dev/null || true
kill "$xvfb" 2>/dev/null || true
xvfb=""

from_build "$work/strace" && fail "the started program opened the build tree"
grep -q 'execve("/usr/bin/kovanta"' "$work/strace" || fail "the entry did not start /usr/bin/kovanta"
# Every file the program opened that a package owns is owned by a package
# it depends on, however indirectly.
grep -v ENOENT "$work/strace" | sed -n 's/.*openat([^"]*"\([^"]*\)".*/\1/p' | sort -u |
  grep -E '^/(usr|lib|etc)/' | while read -r path; do [ -f "$path" ] && echo "$path"; done >"$work/opened" || true
# Qt looks into every plugin installed beside it and loads only what it needs;
# the one platform plugin it draws with must be a dependency's. Icon and
# cursor themes, fontconfig's snippets and locale aliases are read when the
# desktop has them, and are the desktop's.
grep -q 'platforms/libqxcb.so' "$work/opened" || fail "the program did not draw through X"
grep -v -E '/qt6/plugins/|^/usr/share/icons/|/fontconfig/conf\.avail/|^/etc/fonts/|^/usr/share/locale/' \
  "$work/opened" >"$work/opened-needed" || true
echo /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so >>"$work/opened-needed"
apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
  --no-enhances "$package" | sed -n 's/^ *|\{0,1\}\(Pre\)\{0,1\}Depends: //p; /^[a-z0-9]/p' |
  tr -d '<>|' | sed 's/:.*//; s/ //g' >"$work/closure"
# Essential packages are on every Debian system.
dpkg-query -W -f='${Package} ${Essential}\n' | awk '$2 == "yes" { print $1 }' >>"$work/closure"
sort -u -o "$work/closure" "$work/closure"
xargs -r dpkg -S <"$work/opened-needed" 2>/dev/null >"$work/owned" || true
sed 's/: .*//; s/, /\n/g; s/:[a-z0-9]*$//' "$work/owned" | sort -u >"$work/owners"
outside="$(comm -23 "$work/owners" "$work/closure")"
if [ -n "$outside" ]; then
  for owner in $outside; do grep -E "(^|, )$owner(:[a-z0-9]+)?[:,]" "$work/owned"; done >&2
  fail "the program opened files of packages it does not depend on: $(echo $outside)"
fi
grep -q 'liberation2/LiberationSans' "$work/opened" || fail "Liberation Sans was not used"
grep -q 'qtbase_tr.qm' "$work/opened" || fail "Qt's Turkish translation was not loaded"
echo "started by its desktop entry as $user; $(wc -l <"$work/opened") files opened, all from its dependencies"

# --- Removed, then purged ---
kept() { (cd "$home" && find Kovanta -printf '%p %m %s\n' | sort && find Kovanta -type f -exec sha256sum {} + | sort); }
kept >"$work/kept-before"
gone() {
  while read -r path; do
    [ "$path" = /. ] && continue
    if [ -d "$path" ] && [ ! -L "$path" ]; then
      case "$path" in
        */orvalin-kovanta) fail "$1 left the folder $path" ;;
      esac
    elif [ -e "$path" ] || [ -L "$path" ]; then
      fail "$1 left $path"
    fi
  done <"$work/files"
  kept | cmp -s - "$work/kept-before" || fail "$1 changed ~/Kovanta"
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'installed\|config-files'; then
    fail "$1 left the package known to dpkg: $(dpkg-query -W -f='${Status}' "$package")"
  fi
}
DEBIAN_FRONTEND=noninteractive apt-get remove -y "$package" >/dev/null 2>&1 || fail "apt-get remove"
gone "apt-get remove"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >/dev/null 2>&1 || fail "apt-get install, again"
DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y "$package" >/dev/null 2>&1 || fail "apt-get remove --purge"
gone "apt-get remove --purge"
echo "removed and purged: $(wc -l <"$work/files") paths gone, ~/Kovanta and its ledger untouched"
