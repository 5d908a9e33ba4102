#!/usr/bin/env bash
# Builds the program (as ./run.sh and ./test.sh do, into build/) and its
# Debian package, orvalin-kovanta_<version>_amd64.deb, in this folder.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/prepare.sh"
(cd "$root/build" && cpack -G DEB -B "$root/build/package")
cp "$root"/build/package/orvalin-kovanta_*_amd64.deb "$root/"
ls "$root"/orvalin-kovanta_*_amd64.deb
