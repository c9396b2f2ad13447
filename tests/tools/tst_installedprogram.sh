#!/usr/bin/env bash
# Installs the package into a scratch root (dpkg -x) and starts the installed
# program as an ordinary user (nobody when run as root, as in CI) from a home
# folder that holds a demo database and the user's own INI file, headless.
# A test-only plugin, put beside it here and never in the package, ticks
# every radio, runs a last-position run and reports. Checks that the
# positions show, that the INI came from ~/.config/coorpos (its relative
# MapFile taken from there), that the map
# page is in ~/.local/share/coorpos and that nothing was written beside the
# executable or in the working directory.
# tst_installedprogram.sh DEB_FOLDER PLUGIN_FOLDER POSSIM
set -euo pipefail
deb_folder=$1 plugins=$2 possim=$3
debs=("$deb_folder"/coorpos_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: no package in $deb_folder"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
root=$work/root
home=$work/home
dpkg-deb -x "${debs[0]}" "$root"
# As the real install: the program's folder is not the user's to write.
chmod 555 "$root/usr/bin"
before=$(ls -A "$root/usr/bin")

mkdir -p "$home/.config/coorpos"
(cd "$home" && "$possim" --db tavirelmonkas.db --fresh >/dev/null)
# A relative map file starts at the INI file's folder; a missing one is
# reported by its full name and the map goes on without it.
printf '[General]\r\nMapView=FitAll\r\nMapFile=maps/none.mbtiles\r\n' \
    >"$home/.config/coorpos/tavirelmonkas.ini"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody "$home"
    as_user=(runuser -u nobody --)
fi
status=0
(cd "$home" && timeout 120 "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$home" \
    QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
    QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu LC_ALL=C.UTF-8 \
    QT_PLUGIN_PATH="$plugins" QT_QPA_GENERIC_PLUGINS=coorposdrive \
    COORPOS_DRIVE_REPORT="$home/report" \
    "$root/usr/bin/coorpos" >"$work/out.log" 2>&1) || status=$?

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
[ "$status" -eq 0 ] || { cat "$work/out.log"; fail "the program ended with status $status"; }
report=$(cat "$home/report" 2>/dev/null || true)
echo "$report"
grep -qx 'status=Record found' <<<"$report" || fail "no last positions shown"
markers=$(sed -n 's/^markers=//p' <<<"$report")
[ "${markers:-0}" -gt 0 ] || fail "no markers on the map"
grep -qx 'view=FitAll' <<<"$report" || fail "the INI file in ~/.config/coorpos was not read"
grep -q "^$home/.config/coorpos/maps/none.mbtiles: " <<<"$report" ||
    fail "MapFile not taken relative to the INI file's folder"
[ "$(grep -c '^message=' <<<"$report")" -eq 1 ] || fail "unexpected messages"
page=$home/.local/share/coorpos/pelmormapsview.html
grep -q '<!DOCTYPE html' "$page" 2>/dev/null || fail "no map page in the user's data folder"
[ "$(ls -A "$root/usr/bin")" = "$before" ] || fail "files written beside the executable: $(ls -A "$root/usr/bin")"
[ ! -e "$home/pelmormapsview.html" ] || fail "map page written in the working directory"
[ "$failures" -eq 0 ] && echo PASS
