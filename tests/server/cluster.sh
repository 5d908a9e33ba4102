# A throwaway PostgreSQL 15 cluster for a shell check, sourced: starts it on a
# Unix socket in a temporary folder (no TCP), sets SERVER to its connection
# text, and stops and removes it when the script exits. Exits 77 (skipped)
# where the server programs are absent. The server refuses root, so as root
# it runs as the postgres user.
bindir="${KOVANTA_PG_BINDIR:-/usr/lib/postgresql/15/bin}"
if [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
  echo "SKIP: no PostgreSQL server programs in $bindir (install postgresql-15)"
  exit 77
fi
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  id postgres >/dev/null 2>&1 || { echo "SKIP: running as root and there is no postgres user"; exit 77; }
  as_owner=(runuser -u postgres --)
fi
cluster_dir="$(mktemp -d /tmp/kovanta-pg.XXXXXX)"
[ "$(id -u)" -eq 0 ] && chown postgres "$cluster_dir"
stop_cluster() {
  "${as_owner[@]}" "$bindir/pg_ctl" stop -D "$cluster_dir/data" -m fast -w >/dev/null 2>&1 || true
  rm -rf "$cluster_dir"
}
trap stop_cluster EXIT
"${as_owner[@]}" "$bindir/initdb" -D "$cluster_dir/data" -U postgres --auth=trust --no-sync -E UTF8 \
  --locale-provider=icu --icu-locale=tr-TR --locale=C.UTF-8 --lc-messages=C >"$cluster_dir/initdb.log" 2>&1 \
  || { cat "$cluster_dir/initdb.log"; exit 1; }
"${as_owner[@]}" "$bindir/pg_ctl" start -w -D "$cluster_dir/data" -l "$cluster_dir/server.log" \
  -o "-k $cluster_dir -c listen_addresses='' -c fsync=off" >/dev/null || { cat "$cluster_dir/server.log"; exit 1; }
SERVER="host=$cluster_dir dbname=postgres user=postgres"
