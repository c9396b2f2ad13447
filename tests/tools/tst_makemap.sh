#!/usr/bin/env bash
# Runs tools/make-map.sh on a small OpenStreetMap file (XML) of two named
# streets and checks the map file it writes beside it: vector tiles down to
# level 14 whose streets carry their names, and a clear refusal of a missing
# extract.
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cat >"$work/town.osm" <<'OSM'
<?xml version="1.0" encoding="UTF-8"?>
<osm version="0.6" generator="test">
 <node id="1" version="1" lat="40.490" lon="29.160"/>
 <node id="2" version="1" lat="40.490" lon="29.180"/>
 <node id="3" version="1" lat="40.485" lon="29.170"/>
 <node id="4" version="1" lat="40.495" lon="29.170"/>
 <way id="10" version="1"><nd ref="1"/><nd ref="2"/><tag k="highway" v="primary"/><tag k="name" v="Harbour Road"/></way>
 <way id="11" version="1"><nd ref="3"/><nd ref="4"/><tag k="highway" v="residential"/><tag k="name" v="Mill Lane"/></way>
</osm>
OSM

fail() { echo "FAIL: $*" >&2; exit 1; }

written=$("$repo/tools/make-map.sh" "$work/town.osm")
[ "$written" = "$work/town.mbtiles" ] || fail "written to '$written', not beside the extract"
map=$work/town.mbtiles
[ "$(sqlite3 "$map" "SELECT value FROM metadata WHERE name = 'format'")" = pbf ] || fail "not a vector map"
[ "$(sqlite3 "$map" "SELECT max(zoom_level) FROM tiles")" = 14 ] || fail "not down to level 14"
# The tiles are gzip-compressed protobuf; the street names are in them.
count=$(sqlite3 "$map" "SELECT count(*) FROM tiles WHERE zoom_level = 14")
names=$(for i in $(seq 0 $((count - 1))); do
            sqlite3 "$map" "SELECT writefile('$work/t$i.gz', tile_data) FROM tiles WHERE zoom_level = 14 LIMIT 1 OFFSET $i" >/dev/null
            gzip -dc "$work/t$i.gz" | tr -c '[:print:]' '\n'
        done)
grep -q "Harbour Road" <<<"$names" || fail "no street name Harbour Road in the tiles"
grep -q "Mill Lane" <<<"$names" || fail "no street name Mill Lane in the tiles"

"$repo/tools/make-map.sh" "$work/"other.osm.pbf "$work/out.mbtiles" 2>"$work/err" && fail "a missing extract succeeded"
grep -q "no such extract" "$work/err" || fail "no clear message for a missing extract"
[ ! -e "$work/out.mbtiles" ] || fail "a map file written for a missing extract"
echo "PASS"
