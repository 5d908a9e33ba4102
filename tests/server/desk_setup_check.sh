#!/usr/bin/env bash
# The README's server set-up followed on a throwaway cluster: the desks' role
# made with a password by createuser -P, its database by createdb -O, the
# role let in by scram-sha-256 alone (the socket's form of the README's host
# line), and a desk whose ~/.pg_service.conf and ~/.pgpass are written as the
# README shows them. "--sunucu service=kovanta" must connect: the folder's
# ledger is moved there and a report written from it. Then each fault of that
# set-up a desk can make must be answered with a Turkish line naming what to
# mend, ahead of libpq's own words, and with status 1.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/cluster.sh"
source "$here/../support/demo_ledger.sh"
desk_home="$(mktemp -d)"
trap 'stop_cluster; rm -rf "$work" "$desk_home"' EXIT

# A ':' in a password is written '\:' in ~/.pgpass.
password='süt:2026 güz'
pgpass_password="${password//:/\\:}"
# On the server, in a folder the postgres user may enter. Without a
# terminal createuser -P reads the password twice from its input.
(
  cd "$cluster_dir"
  printf '%s\n%s\n' "$password" "$password" |
    setsid -w "${as_owner[@]}" "$bindir/createuser" -h "$cluster_dir" -U postgres -P masa1 2>createuser.log ||
    { cat createuser.log; exit 1; }
  "${as_owner[@]}" "$bindir/createdb" -h "$cluster_dir" -U postgres -O masa1 kovanta
  # The owner keeps its way in; no other line lets anyone in.
  printf 'local kovanta masa1 scram-sha-256\nlocal all postgres trust\n' >data/pg_hba.conf
  "${as_owner[@]}" "$bindir/pg_ctl" reload -D data >/dev/null
)

# The desk: libpq finds both files in the home folder, and nothing else
# tells it where or who.
unset PGSERVICEFILE PGPASSFILE PGSERVICE PGHOST PGPORT PGDATABASE PGUSER PGPASSWORD PGSYSCONFDIR
export HOME="$desk_home"
write_desk() {
  printf '[kovanta]\nhost=%s\nport=5432\ndbname=kovanta\nuser=masa1\n' "$cluster_dir" >"$HOME/.pg_service.conf"
  printf '%s:5432:kovanta:masa1:%s\n' "$cluster_dir" "$pgpass_password" >"$HOME/.pgpass"
  chmod 600 "$HOME/.pgpass"
}
write_desk
period=(--from 01.09.2026 --to 31.12.2026)
"$build/kovanta" report "${period[@]}" --csv file.csv
"$build/kovanta" tasi --sunucu service=kovanta >moved.txt 2>&1 || { cat moved.txt; exit 1; }
"$build/kovanta" report --sunucu service=kovanta "${period[@]}" --csv server.csv
cmp file.csv server.csv
echo "connected as the README sets a desk up"

stop_server() { (cd "$cluster_dir" && "${as_owner[@]}" "$bindir/pg_ctl" stop -D data -m fast -w >/dev/null); }
# fault | how the set-up is spoilt | libpq's words | what the Turkish line must name
faults=(
  "wrong password|sed -i 's/2026/2025/' ~/.pgpass|password authentication failed|.pgpass"
  "no ~/.pgpass|rm ~/.pgpass|no password supplied|chmod 600"
  "~/.pgpass others may read|chmod 644 ~/.pgpass|no password supplied|chmod 600"
  "no ~/.pg_service.conf|rm ~/.pg_service.conf|service \"kovanta\" not found|[kovanta]"
  "a database the server lets no desk into|sed -i 's/^dbname=.*/dbname=postgres/' ~/.pg_service.conf|no pg_hba.conf entry|pg_hba.conf"
  "server stopped|stop_server|No such file or directory|listen_addresses"
)
failed=0
lines=()
for fault in "${faults[@]}"; do
  IFS='|' read -r name spoil library mend <<<"$fault"
  write_desk
  eval "$spoil"
  status=0
  "$build/kovanta" report --sunucu service=kovanta "${period[@]}" --csv spoilt.csv 2>said.txt || status=$?
  # libpq's own warnings may come first; the program's text starts after them.
  said="$(grep -v '^WARNING:' said.txt)"
  first="$(head -n 1 <<<"$said")"
  library_at="$(grep -n -F -m 1 -- "$library" <<<"$said" | cut -d: -f1 || true)"
  if [ "$status" -ne 1 ] || [ -z "$library_at" ] || [ "$library_at" -le 1 ] || ! grep -q -F -- "$mend" <<<"$first"; then
    echo "FAIL: $name: status $status, expected 1, a line naming '$mend', then libpq's '$library':"
    cat said.txt
    failed=1
    continue
  fi
  lines+=("$first")
  echo "$name: $first"
done
[ "$failed" -eq 0 ] || exit 1
# A ~/.pgpass missing and one others may read are mended alike; every other
# fault has a line of its own.
distinct="$(printf '%s\n' "${lines[@]}" | sort -u | wc -l)"
[ "$distinct" -eq $((${#lines[@]} - 1)) ] || { echo "FAIL: faults share their advice"; exit 1; }
echo "each fault of the set-up answered with what to mend"
