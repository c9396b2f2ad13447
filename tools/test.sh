#!/usr/bin/env bash
# Builds and runs the whole test suite headless, then the tests that need no
# browser under the sanitizers and each fuzzer for 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
ctest --test-dir build --output-on-failure -j2
bash tools/sanitize.sh
bash tools/fuzz.sh 20
