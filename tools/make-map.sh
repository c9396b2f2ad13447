#!/usr/bin/env bash
# Builds a street map (vector MBTiles, OpenMapTiles schema) from an
# OpenStreetMap extract: tools/make-map.sh EXTRACT.osm.pbf [OUT.mbtiles]
# An .osm XML file is taken too. Without OUT the map is written beside the
# extract under the same name ending in .mbtiles. Needs osmium-tool and
# tilemaker (tools/install-deps.sh) and python3.
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 EXTRACT.osm.pbf [OUT.mbtiles]" >&2
    exit 2
fi
extract=$1
[ -f "$extract" ] || { echo "$0: no such extract: $extract" >&2; exit 1; }
base=${extract%.pbf}
base=${base%.osm}
out=${2:-$base.mbtiles}

examples=
for dir in /usr/share/tilemaker /usr/share/doc/tilemaker/examples; do
    [ -f "$dir/config-openmaptiles.json" ] && { examples=$dir; break; }
done
[ -n "$examples" ] || { echo "$0: tilemaker's OpenMapTiles config not found; run tools/install-deps.sh" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# tilemaker reads .osm.pbf only; osmium converts XML and tells the extent.
input=$extract
case "$extract" in
    *.pbf) ;;
    *) osmium cat --no-progress -o "$work/input.osm.pbf" "$extract"; input=$work/input.osm.pbf ;;
esac
bbox=$(osmium fileinfo --no-progress -e -g data.bbox "$input" | tr -d '() ')
[ -n "$bbox" ] || { echo "$0: the extract holds no nodes: $extract" >&2; exit 1; }

# The bundled config also reads coastline and land-cover shapefiles, which an
# extract does not come with; the map is made from the extract alone.
python3 - "$examples/config-openmaptiles.json" "$work/config.json" <<'PY'
import json, sys
config = json.load(open(sys.argv[1]))
config["layers"] = {name: layer for name, layer in config["layers"].items() if "source" not in layer}
config["settings"]["name"] = "Street map"
config["settings"]["filemetadata"].pop("tiles", None)
json.dump(config, open(sys.argv[2], "w"), indent=1)
PY

rm -f "$out"
tilemaker --input "$input" --output "$out" --bbox "$bbox" \
    --config "$work/config.json" --process "$examples/process-openmaptiles.lua" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; echo "$0: tilemaker failed" >&2; exit 1; }
echo "$out"
