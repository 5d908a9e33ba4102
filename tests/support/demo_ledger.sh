# Sourced by the command-line checks: a throw-away folder, entered, with a
# demo ledger of 30 producers over the 120 days to 31.12.2026; removed at exit.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
"$build/kovanta-ledger" AnaData/Kovanta.mdb 30 120 2026-12-31 >/dev/null
