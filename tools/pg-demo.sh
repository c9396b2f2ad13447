#!/usr/bin/env bash
# Several desks on this machine: a private PostgreSQL primary and a streaming
# hot standby of it, filled by the simulator following live, and two
# consoles, one on each. Needs no database service: the servers live in a
# folder of their own and listen on Unix sockets there only. Ctrl-C stops
# everything.
#
#   tools/pg-demo.sh [--no-consoles] [--programs DIR] [FOLDER]
#
# FOLDER holds the servers, the desks' folders and the logs; by default a new
# temporary folder, removed at the end (a folder given is kept).
# --programs DIR uses the programs already built in DIR instead of building.
# --no-consoles starts the servers and the simulator only.
# Without a display the consoles are started under Xvfb for a picture each
# (demo/desk-primary.png, demo/desk-standby.png), then everything stops.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
usage() { sed -n '8p' "$0" | sed 's/^# *//' >&2; exit 2; }

programs=""
consoles=1
folder=""
while [ $# -gt 0 ]; do
    case "$1" in
    --no-consoles) consoles=0 ;;
    --programs) [ $# -ge 2 ] || usage; programs="$(cd "$2" && pwd)"; shift ;;
    -h | --help) usage ;;
    -*) usage ;;
    *) [ -z "$folder" ] || usage; folder="$1" ;;
    esac
    shift
done

if [ -z "$programs" ]; then
    bash "$repo/tools/build.sh"
    programs="$repo/build"
fi
server_bin=/usr/lib/postgresql/15/bin

if [ -n "$folder" ]; then
    mkdir -p "$folder"
    [ -z "$(ls -A "$folder")" ] || { echo "pg-demo: $folder is not empty" >&2; exit 2; }
    folder="$(cd "$folder" && pwd)"
    keep=1
else
    folder="$(mktemp -d "${TMPDIR:-/tmp}/pg-demo.XXXXXX")"
    keep=0
fi

# initdb and the server refuse to run as root: as root they run as postgres.
as_server() {
    if [ "$(id -u)" -eq 0 ]; then
        (cd "$folder" && runuser -u postgres -- "$@")
    else
        "$@"
    fi
}

pids=()
started=()
stop_all() {
    trap '' INT TERM
    trap - EXIT
    # The simulator commits what it holds on SIGINT; the consoles just close.
    for pid in "${pids[@]}"; do kill -INT "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        as_server "$server_bin/pg_ctl" stop -D "${started[i]}/data" -m fast -w >/dev/null || true
    done
    if [ "$keep" -eq 0 ]; then
        rm -rf "$folder"
    fi
    echo "pg-demo: stopped"
}
trap stop_all EXIT
trap 'exit 130' INT TERM

# The server's user must reach the folder; nobody else may read the data.
chmod 711 "$folder"
as_server test -x "$folder" ||
    { echo "pg-demo: the server's user cannot enter $folder; choose another folder" >&2; exit 2; }
for server in primary standby; do
    mkdir -p "$folder/$server"
    [ "$(id -u)" -ne 0 ] || chown postgres: "$folder/$server"
done

settings() { # socket folder, port
    printf "\nlisten_addresses = ''\nunix_socket_directories = '%s'\nport = %s\n" "$1" "$2"
    printf "hot_standby_feedback = on\nwal_receiver_status_interval = 1s\n"
}
start_server() { # name
    as_server "$server_bin/pg_ctl" start -D "$folder/$1/data" -w -l "$folder/$1/server.log" >/dev/null
    started+=("$folder/$1")
}

as_server "$server_bin/initdb" -D "$folder/primary/data" -U postgres -A trust -E UTF8 \
    --locale=C >/dev/null
settings "$folder/primary" 5432 | as_server tee -a "$folder/primary/data/postgresql.conf" >/dev/null
start_server primary
owner="host=$folder/primary port=5432 user=postgres"
psql -q -v ON_ERROR_STOP=1 "$owner dbname=postgres" -c "CREATE DATABASE fleet"
psql -q -v ON_ERROR_STOP=1 "$owner dbname=fleet" -f "$repo/tools/pg-schema.sql" >/dev/null
# The desks read as a role that may only select (passwords: trust on the socket).
psql -q -v ON_ERROR_STOP=1 "$owner dbname=fleet" <<'SQL'
CREATE ROLE desk LOGIN;
GRANT SELECT ON map_coor, projects, project_members, personel_team,
    coorpos_table_changes TO desk;
SQL

as_server "$server_bin/pg_basebackup" -h "$folder/primary" -p 5432 -U postgres \
    -D "$folder/standby/data" -R -X stream -c fast
settings "$folder/standby" 5433 | as_server tee -a "$folder/standby/data/postgresql.conf" >/dev/null
start_server standby

# A day of reports, then a report per radio every second, batches committed
# from four connections out of id order, as several receivers would.
"$programs/possim" --pg "$owner dbname=fleet" --pg-connections 4 --reports 20000 \
    --town "$folder/town.osm" --follow >"$folder/possim.log" 2>&1 &
pids+=($!)
until grep -q "reports" "$folder/possim.log"; do
    kill -0 "${pids[0]}" 2>/dev/null || { cat "$folder/possim.log" >&2; exit 1; }
    sleep 0.2
done

primary="host=$folder/primary port=5432 dbname=fleet user=desk"
standby="host=$folder/standby port=5433 dbname=fleet user=desk"
echo "pg-demo: primary: $primary"
echo "pg-demo: standby: $standby"
echo "pg-demo: folder: $folder"

if [ "$consoles" -eq 1 ]; then
    bash "$repo/tools/make-map.sh" "$folder/town.osm" "$folder/streets.mbtiles" >/dev/null
    # The program reads the INI file beside it: each desk has its own copy.
    headless=1
    [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || headless=0
    program=coorpos
    [ "$headless" -eq 0 ] || program=coorpos-shot
    for desk in primary standby; do
        mkdir -p "$folder/desk-$desk"
        ln -f "$programs/$program" "$folder/desk-$desk/" 2>/dev/null ||
            cp "$programs/$program" "$folder/desk-$desk/"
        conninfo="$primary"
        [ "$desk" = primary ] || conninfo="$standby"
        printf '[General]\r\nDatabase=%s\r\nMapFile=../streets.mbtiles\r\n' "$conninfo" \
            >"$folder/desk-$desk/tavirelmonkas.ini"
    done
    if [ "$headless" -eq 0 ]; then
        for desk in primary standby; do
            (cd "$folder/desk-$desk" && exec ./coorpos) &
            pids+=($!)
        done
        echo "pg-demo: two consoles started; Ctrl-C stops everything"
    else
        [ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
        export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
        mkdir -p "$repo/demo"
        for desk in primary standby; do
            (cd "$folder/desk-$desk" &&
                xvfb-run -a -s "-screen 0 1280x800x24" ./coorpos-shot \
                    --screenshot "$repo/demo/desk-$desk.png" --size 960x720 --after 6 --with-title \
                    --tick Projects --set Edit20=16 --press ToolButton1)
        done
        echo "pg-demo: no display: saved $repo/demo/desk-primary.png and desk-standby.png"
        exit 0
    fi
fi
# Until Ctrl-C, or both consoles are closed.
wait "${pids[@]:$((consoles))}"
