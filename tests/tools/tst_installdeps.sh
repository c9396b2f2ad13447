#!/usr/bin/env bash
# Runs tools/install-deps.sh against stand-ins for id, dpkg-query, apt-get and
# sudo, as root without sudo and as a user with sudo, and checks that apt-get
# is asked for exactly the missing packages, directly as root and through
# sudo otherwise, and not at all when nothing is missing.
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

stubs="$work/bin"
mkdir -p "$stubs"
cat >"$stubs/id" <<'STUB'
#!/bin/sh
[ "$1" = "-u" ] && echo "$FAKE_UID"
STUB
# Reports every package as installed except those named in MISSING.
cat >"$stubs/dpkg-query" <<'STUB'
#!/bin/sh
for p in $MISSING; do [ "$p" = "$3" ] && exit 1; done
printf 'install ok installed'
STUB
cat >"$stubs/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $* as uid $FAKE_UID via ${VIA:-direct}" >>"$LOG"
STUB
cat >"$stubs/sudo" <<'STUB'
#!/bin/sh
[ "$FAKE_UID" = 0 ] && { echo "sudo called as root" >>"$LOG"; exit 1; }
[ "$1" = "-E" ] && shift
VIA=sudo exec "$@"
STUB
chmod +x "$stubs"/*

failures=0
# check NAME UID MISSING EXPECTED-LOG
check() {
    local name="$1" uid="$2" missing="$3" expected="$4" log="$work/$1.log"
    : >"$log"
    if ! PATH="$stubs:$PATH" FAKE_UID="$uid" MISSING="$missing" LOG="$log" \
        bash "$repo/tools/install-deps.sh" >"$work/$name.out" 2>&1; then
        echo "FAIL $name: the install step failed:"; cat "$work/$name.out"
        failures=$((failures + 1)); return
    fi
    if [ "$(cat "$log")" != "$expected" ]; then
        echo "FAIL $name: expected"; echo "$expected"; echo "got"; cat "$log"
        failures=$((failures + 1)); return
    fi
    echo "PASS $name"
}

check root-without-sudo 0 "qt6-base-dev xvfb" \
"apt-get update -qq as uid 0 via direct
apt-get install -y -qq qt6-base-dev xvfb as uid 0 via direct"
check user-with-sudo 1000 "cmake fonts-liberation2" \
"apt-get update -qq as uid 1000 via sudo
apt-get install -y -qq cmake fonts-liberation2 as uid 1000 via sudo"
check nothing-missing 0 "" ""

[ "$failures" -eq 0 ]
