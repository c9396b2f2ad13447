#!/usr/bin/env bash
# Builds the tests that need no browser with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs them; any report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/clang-build.sh all
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j2
