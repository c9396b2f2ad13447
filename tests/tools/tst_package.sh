#!/usr/bin/env bash
# Checks the Debian package: its name, version and dependencies, the files an
# installed desktop program needs, the desktop entry and the AppStream data
# as their validators see them, a manual page that names every INI key of
# the README, and no lintian errors.
# tst_package.sh DEB_FOLDER VERSION README
set -euo pipefail
deb_folder=$1 version=$2 readme=$3
debs=("$deb_folder"/coorpos_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one package in $deb_folder"; exit 1; }
deb=${debs[0]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
root=$work/root
app_id=org.coorpos.Coorpos

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
pass() { echo "PASS $*"; }

# Name, version, dependencies.
[ "$(dpkg-deb -f "$deb" Package)" = coorpos ] && pass package-name || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] && pass version ||
    fail "version $(dpkg-deb -f "$deb" Version), expected $version"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6webenginecore6-bin libqt6webenginecore6 libqt6webenginewidgets6 libqt6gui6 \
    libsqlite3-0 libc6; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done
[[ "$depends" != *libqt6sql* ]] || fail "Depends names a Qt SQL package the program does not load"
pass depends

# Files.
expected=(
    usr/bin/coorpos usr/bin/coorpos-make-map
    usr/share/applications/$app_id.desktop
    usr/share/metainfo/$app_id.metainfo.xml
    usr/share/man/man1/coorpos.1.gz usr/share/man/man1/coorpos-make-map.1.gz
    usr/share/doc/coorpos/copyright usr/share/doc/coorpos/changelog.gz
)
for size in 16 24 32 48 64 128 256; do
    expected+=(usr/share/icons/hicolor/${size}x$size/apps/$app_id.png)
done
for file in "${expected[@]}"; do
    [ -f "$root/$file" ] || fail "missing /$file"
done
for size in 16 24 32 48 64 128 256; do
    [ "$(file -b "$root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png" | grep -o '[0-9]* x [0-9]*')" = "$size x $size" ] ||
        fail "icon of size $size is not $size px"
done
for tool in possim coorpos-shot make-art; do
    [ -z "$(find "$root" -name "$tool*")" ] || fail "development tool $tool is in the package"
done
[ -x "$root/usr/bin/coorpos-make-map" ] || fail "coorpos-make-map is not executable"
head -1 "$root/usr/share/doc/coorpos/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright is not in the machine-readable format"
pass files

# Desktop entry and AppStream data.
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" && pass desktop-file ||
    fail "desktop-file-validate"
grep -qx "Icon=$app_id" "$root/usr/share/applications/$app_id.desktop" || fail "desktop Icon="
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/as.log" 2>&1 &&
    pass appstream || { cat "$work/as.log"; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "metainfo release is not $version"

# The manual page: every INI key of the README's table, the files and the
# exit status.
man=$(zcat "$root/usr/share/man/man1/coorpos.1.gz")
keys=$(sed -n '/^| Key | Meaning |/,/^$/p' "$readme" | grep -o '^| `[A-Za-z]*`' | tr -d '|` ')
[ -n "$keys" ] || fail "no INI keys found in the README"
for key in $keys; do
    grep -q "^\.B $key\$" <<<"$man" || fail "manual page lacks the INI key $key"
done
for text in '^\.SH FILES' '^\.SH EXIT STATUS' 'tavirelmonkas\.ini' '/etc/coorpos/' '\.config/coorpos/' \
    'tavirelmonkas\.db' 'pelmormapsview\.html'; do
    grep -q "$text" <<<"$man" || fail "manual page lacks $text"
done
pass manual-page

# lintian: no errors (warnings are listed in the output).
if lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1; then
    pass lintian
else
    cat "$work/lintian.log"; fail lintian
fi
grep '^W:' "$work/lintian.log" || true

[ "$failures" -eq 0 ]
