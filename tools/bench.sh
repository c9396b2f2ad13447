#!/usr/bin/env bash
# Builds the benchmarks and runs them on simulator databases of 100,000 and
# 1,000,000 reports from 300 radios, made once in build/bench-data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh -DBUILD_BENCHMARKS=ON
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
mkdir -p build/bench-data
for reports in 100000 1000000; do
    db=build/bench-data/reports-$reports.db
    [ -f "$db" ] || build/possim --db "$db" --radios 300 --reports "$reports" --fresh
    build/bench/bench_store "$db"
    build/bench/bench_map "$db" 2>/dev/null
    build/bench/bench_crowd "$db" 2>/dev/null
done
build/bench/bench_mbtiles build/bench-data/tiles-102400.mbtiles
