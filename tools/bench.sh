#!/usr/bin/env bash
# Builds the benchmarks and runs them on simulator databases of 100,000 and
# 1,000,000 reports from 300 radios, made once in build/bench-data, and on
# ones of 5,000,000 and 10,000,000 when they are there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh -DBUILD_BENCHMARKS=ON
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
mkdir -p build/bench-data
for reports in 100000 1000000; do
    db=build/bench-data/reports-$reports.db
    [ -f "$db" ] || build/possim --db "$db" --radios 300 --reports "$reports" --fresh
    build/bench/bench_store "$db"
    build/bench/bench_replay "$db"
    build/bench/bench_map "$db" 2>/dev/null
    build/bench/bench_crowd "$db" 2>/dev/null
done
build/bench/bench_mbtiles build/bench-data/tiles-102400.mbtiles
build/bench/bench_alerts
# B7: the window on auto refresh beside the simulator, 60 s per journal mode.
build/bench/bench_live build/bench-data/reports-1000000.db 2>/dev/null
# A2: the same with alerts on, 100 areas.
build/bench/bench_live build/bench-data/reports-1000000.db --areas 100 2>/dev/null
# R2: replay frames and a drag of the slider in the window.
build/bench/bench_replayframe build/bench-data/reports-1000000.db 2>/dev/null
# The writer's rate beside the program needs a database of 5,000,000 reports,
# which takes minutes to make, so it runs only when one is there; make it with
#   build/possim --db build/bench-data/reports-5000000.db --radios 300 --reports 5000000 --fresh
db=build/bench-data/reports-5000000.db
if [ -f "$db" ]; then
    build/bench/bench_live --writer-rate "$db" 2>/dev/null
fi
# B8 and B3 at ten million reports (about 720 MiB, 90 s to make) likewise:
#   build/possim --db build/bench-data/reports-10000000.db --radios 300 --reports 10000000 --fresh
db=build/bench-data/reports-10000000.db
if [ -f "$db" ]; then
    build/bench/bench_store "$db"
    build/bench/bench_replay "$db"
    build/bench/bench_replayframe "$db" 2>/dev/null
    build/bench/bench_live --startup "$db" 2>/dev/null
fi
