#!/usr/bin/env bash
# The layers keep to their floors: a screen never includes another screen,
# and no screen holds SQL of its own (the ledger does).
set -uo pipefail
root="$1"
failed=0
for dir in "$root"/screens/*/; do
  name="$(basename "$dir")"
  if grep -nE '#include "screens/[^/]+/' "$dir"* | grep -v "#include \"screens/$name/"; then
    echo "a screen includes another screen: $name"; failed=1
  fi
done
if grep -rnE '"[^"]*\b(SELECT|INSERT INTO|UPDATE [A-Za-z_]+ SET|DELETE FROM)\b' "$root"/screens; then
  echo "SQL in the screens"; failed=1
fi
exit $failed
