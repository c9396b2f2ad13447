#!/usr/bin/env bash
# Builds the given targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/: the tests that need no browser
# and the libFuzzer targets share this one build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DWITH_BROWSER=OFF \
    -DSANITIZE=ON -DBUILD_FUZZERS=ON >/dev/null
cmake --build build-asan -j2 --target "$@"
