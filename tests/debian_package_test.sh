#!/usr/bin/env bash
# Builds the Debian source and binary packages from a copy of the source tree
# as a maintainer would (dpkg-buildpackage, with the tests running inside the
# build), checks both with lintian, installs the package on this machine,
# checks the installed files with the desktop's own tools, then removes and
# purges it and checks that nothing is left behind.
#
# Usage: tests/debian_package_test.sh [SCRATCH_DIR]
# Installs what it needs with apt and installs the package itself, so it
# needs root (or sudo); CI runs it from tools/test.sh. Exits 0 on success.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD

fail() {
    echo "debian_package_test: FAIL: $*" >&2
    exit 1
}

asRoot=()
if [[ $(id -u) -ne 0 ]]; then
    asRoot=(sudo)
fi
apt() {
    "${asRoot[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq "$@"
}

scratch=${1:-$(mktemp -d)}
mkdir -p "$scratch"
version=$(dpkg-parsechangelog -l debian/changelog -S Version 2>/dev/null || sed -n '1s/.*(\(.*\)).*/\1/p' debian/changelog)
tree=$scratch/zarta-$version
rm -rf "$tree" "$scratch"/zarta_* "$scratch"/zarta-dbgsym_*

# The tools of a package build, then the build dependencies debian/control names.
apt update
apt install --no-install-recommends dpkg-dev debhelper lintian
apt build-dep --no-install-recommends "$source"

# Only the files of the source tree, not the build folders beside them.
mkdir -p "$tree"
git ls-files -z --cached --others --exclude-standard | tar -C "$source" --null -T - -cf - | tar -C "$tree" -xf -
(
    cd "$tree"
    DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -us -uc >"$scratch/build.log" 2>&1
) || fail "dpkg-buildpackage failed; the end of its log:"$'\n'"$(tail -n 60 "$scratch/build.log")"
arch=$(dpkg --print-architecture)
deb=$scratch/zarta_${version}_$arch.deb
changes=$scratch/zarta_${version}_$arch.changes
[ -f "$deb" ] && [ -f "$changes" ] && [ -f "$scratch/zarta_$version.dsc" ] ||
    fail "no $deb, $changes and zarta_$version.dsc: $(ls "$scratch")"
grep -Eq 'tests passed|No tests were found' "$scratch/build.log" || fail "the tests did not run in the package build"

# No errors, no warnings, in the source and the binaries; the info and
# pedantic tags that stay are listed.
lintian --pedantic --info --fail-on error,warning --tag-display-limit 0 "$changes" >"$scratch/lintian.log" 2>&1 ||
    fail "lintian:"$'\n'"$(cat "$scratch/lintian.log")"
cat "$scratch/lintian.log"

[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the package's section is not games"
depends=$(dpkg-deb -f "$deb" Depends)
grep -Eq '(^|, )libsdl2-2\.0-0( |,|$)' <<<"$depends" || fail "Depends lacks libsdl2-2.0-0: '$depends'"

# Installed: every file where a desktop and man look for it.
snapshot() {
    # Shared caches the desktop's triggers rebuild belong to no package.
    find /usr /etc -xdev \( -type f -o -type l \) 2>/dev/null |
        grep -Ev '/(mimeinfo\.cache|icon-theme\.cache|index\.db|ld\.so\.cache)$' | sort
}
snapshot >"$scratch/before"
apt install --no-install-recommends "$deb"
dpkg -L zarta >"$scratch/owned"
files=(
    /usr/games/zarta
    /usr/share/applications/zarta.desktop
    /usr/share/metainfo/org.zarta.Zarta.metainfo.xml
    /usr/share/man/man6/zarta.6.gz
    /usr/share/icons/hicolor/scalable/apps/zarta.svg
    /usr/share/doc/zarta/copyright
    /usr/share/doc/zarta/changelog.gz
)
for size in 16 32 48 64 128 256; do
    files+=("/usr/share/icons/hicolor/${size}x${size}/apps/zarta.png")
done
for file in "${files[@]}"; do
    [ -f "$file" ] || fail "$file is not installed"
    grep -qx "$file" "$scratch/owned" || fail "$file is not the package's"
done
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY /usr/games/zarta --version)" = "Zarta Version $version" ] ||
    fail "zarta --version does not print the package's version"
report=$(desktop-file-validate /usr/share/applications/zarta.desktop 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate has remarks: $report"
grep -qx 'Exec=/usr/games/zarta' /usr/share/applications/zarta.desktop || fail "the menu entry does not start /usr/games/zarta"
report=$(appstreamcli validate --pedantic --no-net /usr/share/metainfo/org.zarta.Zarta.metainfo.xml 2>&1) ||
    fail "appstreamcli validate: $report"
MANWIDTH=80 man -l /usr/share/man/man6/zarta.6.gz 2>&1 | grep -q '^NAME' || fail "the manual page does not show"
man -w 6 zarta >/dev/null 2>&1 || fail "man cannot find the zarta page in section 6"

# Removed, then purged: every file it brought goes, and nothing else appears.
apt remove zarta
for file in "${files[@]}"; do
    [ ! -e "$file" ] || fail "$file is still there after removal"
done
# With no configuration files the package is gone once removed; the purge
# makes sure, through dpkg, since apt knows a package installed from a file
# only while it is installed.
"${asRoot[@]}" dpkg --purge zarta
status=$(dpkg-query -W -f='${Status}' zarta 2>/dev/null || true)
case "$status" in
"" | *" not-installed") ;;
*) fail "after purge dpkg still has zarta as '$status'" ;;
esac
snapshot >"$scratch/after"
if ! diff "$scratch/before" "$scratch/after" >"$scratch/left"; then
    fail "the install and purge changed these files:"$'\n'"$(cat "$scratch/left")"
fi
[ ! -e /usr/share/doc/zarta ] || fail "/usr/share/doc/zarta is still there"
echo "debian_package_test: the package builds, is lintian clean, installs, works and purges without a trace"
