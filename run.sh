#!/usr/bin/env bash
# Builds the program and starts it in the current directory, where it keeps
# its database in AnaData/Kovanta.mdb.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/prepare.sh"
exec "$root/build/kovanta"
