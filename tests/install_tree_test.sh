#!/usr/bin/env bash
# Checks what `cmake --install` and `cpack -G DEB` make of a finished build:
# the files a desktop needs, each validated by the desktop's own tools, the
# icons pixel for pixel against the icon's art, the manual page, the two
# options, and the Debian package's contents and dependencies.
# Usage: tests/install_tree_test.sh CHECK BUILD_DIR SOURCE_DIR VERSION
# CHECK is files, desktop-entry, metainfo, icons, manual, options or package.
# Exits 0 on success, 1 on a failure, 77 when a tool the check needs is missing.
set -u

check=${1:?usage: install_tree_test.sh CHECK BUILD_DIR SOURCE_DIR VERSION}
build=${2:?build folder}
source=${3:?source folder}
version=${4:?project version}

appId=org.zarta.Zarta
iconSizes=(16 32 48 64 128 256)
# Every file the install puts under its prefix, and nothing else.
expectedFiles=(
    bin/zarta
    share/applications/zarta.desktop
    "share/metainfo/$appId.metainfo.xml"
    share/man/man6/zarta.6
)
for size in "${iconSizes[@]}"; do
    expectedFiles+=("share/icons/hicolor/${size}x${size}/apps/zarta.png")
done

fail() {
    echo "install_tree_test $check: FAIL: $*" >&2
    exit 1
}

needTools() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "install_tree_test $check: skipped, $tool is not installed (tools/install-deps.sh)" >&2
            exit 77
        fi
    done
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root

installTree() {
    cmake --install "$build" --prefix "$root" >"$scratch/install.log" 2>&1 ||
        fail "cmake --install failed: $(cat "$scratch/install.log")"
}

# The value of KEY in the [Desktop Entry] group.
desktopValue() {
    sed -n "/^\[Desktop Entry\]/,/^\[/s/^$2=//p" "$1"
}

checkFiles() {
    installTree
    local file
    for file in "${expectedFiles[@]}"; do
        [ -f "$root/$file" ] || fail "$file is not installed"
    done
    [ -x "$root/bin/zarta" ] || fail "bin/zarta is not executable"
    local installed expected
    installed=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
    expected=$(printf '%s\n' "${expectedFiles[@]}" | sort)
    [ "$installed" = "$expected" ] ||
        fail "installed files differ from the expected list:"$'\n'"$(diff <(echo "$expected") <(echo "$installed"))"
}

checkDesktopEntry() {
    needTools desktop-file-validate
    installTree
    local entry=$root/share/applications/zarta.desktop
    local report
    report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
    [ -z "$report" ] || fail "desktop-file-validate has remarks: $report"
    [ "$(desktopValue "$entry" Type)" = Application ] || fail "Type is not Application"
    [ "$(desktopValue "$entry" Name)" = Zarta ] || fail "Name is not Zarta"
    [ -n "$(desktopValue "$entry" Comment)" ] || fail "no Comment"
    [ "$(desktopValue "$entry" Categories)" = "Game;CardGame;" ] || fail "Categories are not Game;CardGame;"
    # The menu starts the installed program and shows the installed icon.
    local exec icon
    exec=$(desktopValue "$entry" Exec)
    [ -x "$root/bin/${exec%% *}" ] || fail "Exec=$exec names no installed program"
    icon=$(desktopValue "$entry" Icon)
    for size in "${iconSizes[@]}"; do
        [ -f "$root/share/icons/hicolor/${size}x${size}/apps/$icon.png" ] ||
            fail "Icon=$icon has no ${size}x${size} picture"
    done
}

checkMetainfo() {
    needTools appstreamcli
    installTree
    local metainfo=$root/share/metainfo/$appId.metainfo.xml
    local report
    report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $report"
    grep -q "<id>$appId</id>" "$metainfo" || fail "the component id is not $appId, the file's name"
    local launchable
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    if [ -z "$launchable" ] || [ ! -f "$root/share/applications/$launchable" ]; then
        fail "launchable '$launchable' is not an installed desktop entry"
    fi
    # The newest release comes first and must be the version being installed.
    local newest
    newest=$(sed -n 's|.*<release [^>]*version="\([^"]*\)".*|\1|p' "$metainfo" | head -n 1)
    [ "$newest" = "$version" ] || fail "newest release is '$newest', the project is $version"
}

# Prints the icon's art (16 or 32) as one "red green blue" line per pixel, row
# by row, each pixel repeated FACTOR times across and down, straight from the
# text sources the program's icon is generated from.
expectedIconPixels() {
    local sourceSize=$1 factor=$2
    awk -v want="icon-$sourceSize" -v factor="$factor" '
        FNR == 1 { file++ }
        file == 1 && $0 !~ /^#/ && NF >= 5 { colour[$1] = $2 " " $3 " " $4; if ($5 == "table") table = $1 }
        file == 2 && $0 == "[" want "]" { inBlock = 1; next }
        file == 2 && inBlock && $0 == "" { inBlock = 0 }
        file == 2 && inBlock { rows[count++] = $0 }
        END {
            if (count == 0) { print "no [" want "] block" > "/dev/stderr"; exit 1 }
            for (y = 0; y < count * factor; y++) {
                row = rows[int(y / factor)]
                for (x = 0; x < length(row) * factor; x++) {
                    key = substr(row, int(x / factor) + 1, 1)
                    if (key == ".") key = table
                    if (!(key in colour)) { print "unknown key " key > "/dev/stderr"; exit 1 }
                    print colour[key]
                }
            }
        }' "$source/resources/art/palette.txt" "$source/resources/art/icon.txt"
}

# Prints a PNG as one "red green blue" line per pixel, row by row, after a
# "width height" line.
actualIconPixels() {
    convert "$1" -depth 8 -compress none ppm:- | awk '
        { sub(/#.*/, ""); for (i = 1; i <= NF; i++) token[n++] = $i }
        END {
            if (token[0] != "P3" || token[3] != 255) { print "not an 8-bit picture" > "/dev/stderr"; exit 1 }
            print token[1], token[2]
            for (i = 4; i + 2 < n; i += 3) print token[i], token[i + 1], token[i + 2]
        }'
}

checkIcons() {
    needTools convert identify
    installTree
    local size
    for size in "${iconSizes[@]}"; do
        local png=$root/share/icons/hicolor/${size}x${size}/apps/zarta.png
        local dimensions
        dimensions=$(identify -format '%w %h' "$png") || fail "${size}x${size}: not a picture"
        [ "$dimensions" = "$size $size" ] || fail "${size}x${size} icon is $dimensions"
        # 16 and 48 come from the small icon, every other size from the large one.
        local sourceSize=32
        if ((size % 32 != 0)); then sourceSize=16; fi
        expectedIconPixels "$sourceSize" $((size / sourceSize)) >"$scratch/expected" ||
            fail "cannot read the icon's art"
        actualIconPixels "$png" >"$scratch/actual" || fail "cannot read $png"
        tail -n +2 "$scratch/actual" >"$scratch/actual-pixels"
        [ "$(wc -l <"$scratch/expected")" -eq $((size * size)) ] || fail "the icon art is not $sourceSize x $sourceSize"
        if ! cmp -s "$scratch/expected" "$scratch/actual-pixels"; then
            local line pixel
            line=$(diff "$scratch/expected" "$scratch/actual-pixels" | sed -n '1s/^\([0-9]*\).*/\1/p')
            pixel=$((${line:-1} - 1))
            fail "${size}x${size} icon differs from icon 101 scaled $((size / sourceSize)) times" \
                "from x $((pixel % size)) y $((pixel / size))"
        fi
    done
}

checkManual() {
    needTools man groff lexgrog
    installTree
    local page=$root/share/man/man6/zarta.6
    local warnings
    warnings=$(groff -man -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "groff warns: $warnings"
    lexgrog "$page" >/dev/null 2>&1 || fail "lexgrog cannot read the NAME section"
    local shown
    shown=$(MANWIDTH=80 man -l "$page" 2>"$scratch/man.err") || fail "man -l failed: $(cat "$scratch/man.err")"
    [ ! -s "$scratch/man.err" ] || fail "man -l complains: $(cat "$scratch/man.err")"
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS KEYS FILES; do
        grep -q "^$section" <<<"$shown" || fail "no $section section"
    done
    for option in --help --version --pace Ctrl+A Ctrl+Q Escape F1 F2 Tab Space; do
        grep -q -- "$option" <<<"$shown" || fail "$option is not described"
    done
}

checkOptions() {
    installTree
    local zarta=$root/bin/zarta
    local out
    # No display at all: both answers must come before any window is opened.
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$zarta" --version 2>&1) || fail "--version exits with $?"
    [ "$out" = "Zarta Version $version" ] || fail "--version prints '$out'"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$zarta" --help 2>&1) || fail "--help exits with $?"
    [ "$(head -n 1 <<<"$out")" = "Zarta Version $version" ] || fail "--help does not start with the version: '$out'"
    grep -q -- --version <<<"$out" || fail "--help does not mention --version"
    [ "$(wc -l <<<"$out")" -le 5 ] || fail "--help is not short"
    grep -q -- '--pace MS' <<<"$out" || fail "--help does not mention --pace"
    # A pace out of range is refused before any window opens.
    local value status
    for value in 9 201 fast; do
        out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$zarta" --pace "$value" 2>&1)
        status=$?
        [ "$status" = 2 ] || fail "--pace $value exits with $status, not 2"
        grep -q -- '--pace' <<<"$out" || fail "--pace $value gives no clear message: '$out'"
    done
    # Other arguments are ignored, wherever they stand.
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$zarta" -x unknown --version 2>&1) ||
        fail "--version after other arguments exits with $?"
    [ "$out" = "Zarta Version $version" ] || fail "--version after other arguments prints '$out'"
}

checkPackage() {
    needTools cpack dpkg-deb
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
        fail "cpack failed: $(cat "$scratch/cpack.log")"
    local debs=("$scratch"/package/zarta_*.deb)
    if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
        fail "cpack made not one zarta_*.deb: $(ls "$scratch/package")"
    fi
    local deb=${debs[0]}
    [ "$(dpkg-deb -f "$deb" Package)" = zarta ] || fail "package name is $(dpkg-deb -f "$deb" Package)"
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is $(dpkg-deb -f "$deb" Version)"
    [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "package section is $(dpkg-deb -f "$deb" Section)"
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    grep -Eq '(^|, )libsdl2-2\.0-0( |,|$)' <<<"$depends" || fail "Depends lacks libsdl2-2.0-0: '$depends'"
    ! grep -q -- '-dev\b' <<<"$depends" || fail "Depends names a development package: '$depends'"

    # The same files as the install tree, under /usr, all owned by root.
    local listing contents expected
    listing=$(dpkg-deb -c "$deb") || fail "dpkg-deb cannot list the package"
    contents=$(awk '$1 !~ /^d/ { sub(/^\.\/usr\//, "", $6); print $6 }' <<<"$listing" | sort)
    expected=$(printf '%s\n' "${expectedFiles[@]}" | sort)
    [ "$contents" = "$expected" ] ||
        fail "package files differ from the expected list:"$'\n'"$(diff <(echo "$expected") <(echo "$contents"))"
    awk '$2 != "root/root" { bad = 1; print } END { exit bad }' <<<"$listing" >"$scratch/owners" ||
        fail "files not owned by root:"$'\n'"$(cat "$scratch/owners")"
    grep -Eq '^-rwxr-xr-x .* \./usr/bin/zarta$' <<<"$listing" || fail "/usr/bin/zarta is not mode 755"

    # Removing the package leaves nothing behind only while no maintainer
    # script creates files that dpkg does not track.
    dpkg-deb -e "$deb" "$scratch/control" || fail "dpkg-deb cannot unpack the control files"
    for script in preinst postinst prerm postrm; do
        [ ! -e "$scratch/control/$script" ] || fail "the package has a $script script"
    done
}

case "$check" in
files) checkFiles ;;
desktop-entry) checkDesktopEntry ;;
metainfo) checkMetainfo ;;
icons) checkIcons ;;
manual) checkManual ;;
options) checkOptions ;;
package) checkPackage ;;
*) echo "install_tree_test: unknown check '$check'" >&2; exit 2 ;;
esac
exit 0
