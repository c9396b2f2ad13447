#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests, the demo and the
# Debian package (tools/package.sh) need; the PostgreSQL tests start servers
# of their own, so the packaged server's service is not needed.
set -euo pipefail
# As root apt-get runs directly (a fresh machine may have no sudo); otherwise
# through sudo, keeping the environment for the non-interactive front end.
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo -E)
packages=(
    cmake ninja-build g++ pkg-config clang clang-format libclang-rt-14-dev
    qt6-base-dev qt6-webengine-dev qt6-webchannel-dev libqt6webenginecore6-bin
    libsqlite3-dev sqlite3 zlib1g-dev libbenchmark-dev
    libpq-dev postgresql-15 postgresql-common
    tilemaker osmium-tool
    libgeographiclib-dev geographiclib-tools python3-gpxpy
    libboost-dev qt6-multimedia-dev
    xvfb xauth libgl1-mesa-dri
    fonts-dejavu-core fonts-crosextra-carlito fonts-liberation2
    dpkg-dev file desktop-file-utils appstream lintian
)
command -v npm >/dev/null || packages+=(nodejs npm)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" apt-get install -y -qq "${missing[@]}"
fi
