#!/usr/bin/env bash
# Fails, naming the lines, when a C++ file differs from what clang-format
# (the repository's .clang-format) makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
find app store map track export ui tools tests bench fuzz main.cpp \
    \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror
