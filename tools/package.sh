#!/usr/bin/env bash
# Builds the program and its Debian package, build/coorpos_<version>_<arch>.deb:
#   apt install ./build/coorpos_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target coorpos package-docs
cd build
cpack -G DEB
