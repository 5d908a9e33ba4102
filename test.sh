#!/usr/bin/env bash
# Builds everything and runs every test; window tests run on Qt's offscreen platform.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/prepare.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure
