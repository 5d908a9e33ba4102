#!/usr/bin/env bash
# Runs a test program against the server ledger: every test makes its own
# database on a throwaway cluster instead of a file. Tests that are about the
# file itself are left out by the filter the caller gives.
set -euo pipefail
source "$(dirname "$0")/cluster.sh"
KOVANTA_TEST_SERVER="$SERVER" QT_QPA_PLATFORM=offscreen "$1" --gtest_filter="$2"
