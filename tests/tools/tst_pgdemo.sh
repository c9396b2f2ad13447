#!/usr/bin/env bash
# Runs tools/pg-demo.sh without consoles for a few seconds, as a user would
# from a terminal, and checks that both servers answer, the standby is in
# recovery and receives the primary's new reports, also after the primary
# was stopped and started again, and that Ctrl-C leaves no server running
# and no folder behind.
#   tst_pgdemo.sh BUILD_DIR
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
programs="$1"
work="$(mktemp -d)"
mkdir "$work/tmp"
# As root the servers run as postgres, which must reach the demo's folder.
chmod 711 "$work" "$work/tmp"
demo=""
cleanup() {
    [ -z "$demo" ] || kill -INT -- "-$demo" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    cat "$work/out" >&2 || true
    exit 1
}

# Its own process group, as a terminal's foreground job: Ctrl-C reaches all of it.
set -m
TMPDIR="$work/tmp" "$repo/tools/pg-demo.sh" --no-consoles --programs "$programs" >"$work/out" 2>&1 &
demo=$!
set +m

for _ in $(seq 600); do
    grep -q "^pg-demo: folder:" "$work/out" && break
    kill -0 "$demo" 2>/dev/null || fail "the script ended before the servers were ready"
    sleep 0.2
done
primary="$(sed -n 's/^pg-demo: primary: //p' "$work/out")"
standby="$(sed -n 's/^pg-demo: standby: //p' "$work/out")"
folder="$(sed -n 's/^pg-demo: folder: //p' "$work/out")"
[ -n "$primary" ] && [ -n "$standby" ] || fail "no connection strings printed"
case "$folder" in "$work/tmp/"*) ;; *) fail "the servers are not in a temporary folder: $folder" ;; esac

ask() { psql -X -At "$1" -c "$2"; }
[ "$(ask "$primary" "SELECT pg_is_in_recovery()")" = f ] || fail "the primary is in recovery"
[ "$(ask "$standby" "SELECT pg_is_in_recovery()")" = t ] || fail "the standby is not in recovery"
# The desks' role reads, and may not write.
[ "$(ask "$primary" "SELECT count(*) >= 20000 FROM map_coor")" = t ] || fail "the primary was not filled"
ask "$primary" "DELETE FROM map_coor" 2>/dev/null && fail "the desks' role may delete reports"

# A report the simulator commits now reaches the standby.
newest="$(ask "$primary" "SELECT max(id) FROM map_coor")"
for _ in $(seq 100); do
    [ "$(ask "$primary" "SELECT max(id) > $newest FROM map_coor")" = t ] && break
    sleep 0.2
done
newest="$(ask "$primary" "SELECT max(id) FROM map_coor")"
for _ in $(seq 100); do
    [ "$(ask "$standby" "SELECT count(*) FROM map_coor WHERE id = $newest")" = 1 ] && break
    sleep 0.2
done
[ "$(ask "$standby" "SELECT count(*) FROM map_coor WHERE id = $newest")" = 1 ] ||
    fail "the standby did not receive report $newest"

# The primary stopped and started under the running demo: the simulator
# writes on once it answers, and the standby follows again.
as_server() {
    if [ "$(id -u)" -eq 0 ]; then (cd "$folder" && runuser -u postgres -- "$@"); else "$@"; fi
}
server_bin=/usr/lib/postgresql/15/bin
as_server "$server_bin/pg_ctl" stop -D "$folder/primary/data" -m fast -w >/dev/null
sleep 2
as_server "$server_bin/pg_ctl" start -D "$folder/primary/data" -w -l "$folder/primary/server.log" >/dev/null
for _ in $(seq 150); do
    [ "$(ask "$primary" "SELECT max(id) > $newest FROM map_coor" 2>/dev/null)" = t ] && break
    sleep 0.2
done
[ "$(ask "$primary" "SELECT max(id) > $newest FROM map_coor")" = t ] ||
    fail "the simulator did not write on after the primary came back"
newest="$(ask "$primary" "SELECT max(id) FROM map_coor")"
for _ in $(seq 150); do
    [ "$(ask "$standby" "SELECT count(*) FROM map_coor WHERE id = $newest" 2>/dev/null)" = 1 ] && break
    sleep 0.2
done
[ "$(ask "$standby" "SELECT count(*) FROM map_coor WHERE id = $newest")" = 1 ] ||
    fail "the standby did not follow the primary after its restart"

kill -INT -- "-$demo"
status=0
wait "$demo" || status=$?
demo=""
[ "$status" -eq 130 ] || fail "Ctrl-C ended the script with status $status"
grep -q "^pg-demo: stopped" "$work/out" || fail "no clean stop"
pgrep -f -- "$folder" >/dev/null && fail "a process of the demo is still running"
[ ! -e "$folder" ] || fail "$folder was left behind"
[ -z "$(ls -A "$work/tmp")" ] || fail "left in the temporary folder: $(ls "$work/tmp")"
echo "PASS"
