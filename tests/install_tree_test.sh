#!/usr/bin/env bash
# Checks what `cmake --install` makes of a finished build: the files a
# desktop needs, each validated by the desktop's own tools, the icons pixel
# for pixel against the icon's art, the manual page and the two options.
# (tests/debian_package_test.sh checks the Debian package made from it.)
# Usage: tests/install_tree_test.sh CHECK BUILD_DIR SOURCE_DIR VERSION
# CHECK is files, desktop-entry, metainfo, icons, export, manual or options.
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
    games/zarta
    share/applications/zarta.desktop
    "share/metainfo/$appId.metainfo.xml"
    share/man/man6/zarta.6
)
for size in "${iconSizes[@]}"; do
    expectedFiles+=("share/icons/hicolor/${size}x${size}/apps/zarta.png")
done
expectedFiles+=(share/icons/hicolor/scalable/apps/zarta.svg)

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
    [ -x "$root/games/zarta" ] || fail "games/zarta is not executable"
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
    # The menu starts the installed program by its full path and shows the installed icon.
    local exec icon
    exec=$(desktopValue "$entry" Exec)
    [ "$exec" = "$root/games/zarta" ] || fail "Exec=$exec is not the installed program's path"
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
    report=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $report"
    grep -q "<id>$appId</id>" "$metainfo" || fail "the component id is not $appId, the file's name"
    local launchable
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    if [ -z "$launchable" ] || [ ! -f "$root/share/applications/$launchable" ]; then
        fail "launchable '$launchable' is not an installed desktop entry"
    fi
    grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "the project licence is not MIT"
    # Each screenshot is one of the repository's pictures, named by its path there.
    local url count=0
    for url in $(sed -n 's|.*<image>\(.*\)</image>.*|\1|p' "$metainfo"); do
        [ -f "$source/${url#https://*/}" ] || fail "screenshot $url is no picture of the repository"
        count=$((count + 1))
    done
    [ "$count" -ge 1 ] || fail "no screenshots"
    # The newest release comes first and must be the version being installed.
    local newest
    newest=$(sed -n 's|.*<release [^>]*version="\([^"]*\)".*|\1|p' "$metainfo" | head -n 1)
    [ "$newest" = "$version" ] || fail "newest release is '$newest', the project is $version"
}

# Prints the icon's drawing of SIZE as one "red green blue alpha" line per
# pixel, row by row, straight from the text sources the program's icon is
# generated from; a clear pixel is "0 0 0 0".
expectedIconPixels() {
    local size=$1
    awk -v want="icon-$size" '
        FNR == 1 { file++ }
        file == 1 && $0 !~ /^#/ && NF >= 5 { colour[$1] = $2 " " $3 " " $4 " 255"; if ($5 == "clear") clear = $1 }
        file == 2 && $0 == "[" want "]" { inBlock = 1; next }
        file == 2 && inBlock && $0 == "" { inBlock = 0 }
        file == 2 && inBlock { rows[count++] = $0 }
        END {
            if (count == 0) { print "no [" want "] block" > "/dev/stderr"; exit 1 }
            for (y = 0; y < count; y++)
                for (x = 1; x <= length(rows[y]); x++) {
                    key = substr(rows[y], x, 1)
                    if (key == "." || key == clear) { print "0 0 0 0"; continue }
                    if (!(key in colour)) { print "unknown key " key > "/dev/stderr"; exit 1 }
                    print colour[key]
                }
        }' "$source/resources/art/palette.txt" "$source/resources/art/icon.txt"
}

# Prints a picture as one "red green blue alpha" line per pixel, row by row;
# a fully transparent pixel is "0 0 0 0" whatever colour it carries.
actualIconPixels() {
    convert "$1" -depth 8 RGBA:- | od -An -v -tu1 -w4 |
        awk '{ if ($4 == 0) print "0 0 0 0"; else print $1, $2, $3, $4 }'
}

checkIcons() {
    needTools convert identify od rsvg-convert
    installTree
    local size
    for size in "${iconSizes[@]}"; do
        local png=$root/share/icons/hicolor/${size}x${size}/apps/zarta.png
        local dimensions
        dimensions=$(identify -format '%w %h' "$png") || fail "${size}x${size}: not a picture"
        [ "$dimensions" = "$size $size" ] || fail "${size}x${size} icon is $dimensions"
        [ "$(identify -format '%[channels]' "$png")" = srgba ] || fail "${size}x${size} icon has no alpha channel"
        # Every size is its own drawing, exported pixel for pixel.
        expectedIconPixels "$size" >"$scratch/expected" || fail "cannot read the icon's $size pixel drawing"
        actualIconPixels "$png" >"$scratch/actual" || fail "cannot read $png"
        [ "$(wc -l <"$scratch/expected")" -eq $((size * size)) ] || fail "the icon's drawing is not $size x $size"
        if ! cmp -s "$scratch/expected" "$scratch/actual"; then
            local line pixel
            line=$(diff "$scratch/expected" "$scratch/actual" | sed -n '1s/^\([0-9]*\).*/\1/p')
            pixel=$((${line:-1} - 1))
            fail "${size}x${size} icon differs from its drawing from x $((pixel % size)) y $((pixel / size))"
        fi
    done
    # The scalable icon draws the same cards: clear corners, the large heart red in the middle.
    local svg=$root/share/icons/hicolor/scalable/apps/zarta.svg
    rsvg-convert -w 32 -h 32 "$svg" -o "$scratch/svg.png" 2>"$scratch/svg.err" ||
        fail "the scalable icon does not render: $(cat "$scratch/svg.err")"
    [ "$(identify -format '%w %h' "$scratch/svg.png")" = "32 32" ] || fail "the scalable icon is not square"
    local corner heart
    corner=$(convert "$scratch/svg.png" -format '%[fx:int(255*p{0,0}.a)]' info:)
    heart=$(convert "$scratch/svg.png" -format '%[fx:int(255*p{21,17}.r)] %[fx:int(255*p{21,17}.g)]' info:)
    [ "$corner" = 0 ] || fail "the scalable icon's corner is not clear (alpha $corner)"
    [ "$heart" = "208 16" ] || fail "the scalable icon's heart is not red (red green $heart)"
}

# zarta-icons at sizes no drawing has, as a web app asks for them: a multiple
# of a drawing is that drawing with whole pixels repeated, any other size is
# still a square picture with clear corners; a size that is no size is refused.
checkExport() {
    needTools convert identify od
    local out=$scratch/export
    "$build/zarta-icons" "$out" 192 512 100 1 || fail "zarta-icons 192 512 100 1 exits with $?"
    local size
    for size in 192 512 100 1; do
        local png=$out/${size}x${size}/apps/zarta.png
        [ "$(identify -format '%w %h %[channels]' "$png")" = "$size $size srgba" ] ||
            fail "the ${size} pixel icon is $(identify -format '%w %h %[channels]' "$png")"
    done
    for pair in 192:64 512:256; do
        size=${pair%%:*}
        local drawn=${pair##*:}
        convert "$out/${size}x${size}/apps/zarta.png" -sample "${drawn}x${drawn}" "$scratch/sampled.png"
        expectedIconPixels "$drawn" >"$scratch/expected" || fail "cannot read the icon's $drawn pixel drawing"
        actualIconPixels "$scratch/sampled.png" >"$scratch/actual"
        cmp -s "$scratch/expected" "$scratch/actual" || fail "the $size pixel icon is not the $drawn pixel drawing enlarged"
    done
    [ "$(convert "$out/100x100/apps/zarta.png" -format '%[fx:int(255*p{0,0}.a)]' info:)" = 0 ] ||
        fail "the 100 pixel icon's corner is not clear"
    for bad in 0 -5 12x 5000; do
        "$build/zarta-icons" "$out" "$bad" 2>/dev/null
        [ $? -eq 2 ] || fail "zarta-icons accepts the size '$bad'"
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
    local zarta=$root/games/zarta
    local out
    # No display at all: both answers must come before any window is opened.
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$zarta" --version 2>&1) || fail "--version exits with $?"
    [ "$out" = "Zarta Version $version" ] || fail "--version prints '$out'"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$zarta" --help 2>&1) || fail "--help exits with $?"
    [ "$(head -n 1 <<<"$out")" = "Zarta Version $version" ] || fail "--help does not start with the version: '$out'"
    grep -q -- --version <<<"$out" || fail "--help does not mention --version"
    [ "$(wc -l <<<"$out")" -le 11 ] || fail "--help is not short"
    grep -q "W shows or hides" <<<"$out" || fail "--help does not name the key of What happened"
    grep -q -- '--pace MS' <<<"$out" || fail "--help does not mention --pace"
    # A pace out of range is refused before any window opens.
    local value status
    for value in 9 201 fast; do
        out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$zarta" --pace "$value" 2>&1)
        status=$?
        [ "$status" = 2 ] || fail "--pace $value exits with $status, not 2"
        grep -q -- '--pace' <<<"$out" || fail "--pace $value gives no clear message: '$out'"
    done
    # --version answers wherever it stands; anything unknown is refused with the usage.
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$zarta" --pace 50 --version 2>&1) ||
        fail "--version after --pace exits with $?"
    [ "$out" = "Zarta Version $version" ] || fail "--version after --pace prints '$out'"
    local arguments
    for arguments in "--bogus" "garbage" "--pase 10" "--pace 50 extra" "-" "--"; do
        # shellcheck disable=SC2086 # the arguments are separate words
        out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$zarta" $arguments 2>&1)
        status=$?
        [ "$status" = 2 ] || fail "'zarta $arguments' exits with $status, not 2"
        grep -q -- "'${arguments%% *}'" <<<"$out" || grep -q -- "'${arguments##* }'" <<<"$out" ||
            fail "'zarta $arguments' does not name what it refused: '$out'"
        grep -q '^Usage: zarta ' <<<"$out" || fail "'zarta $arguments' does not show the usage: '$out'"
    done
}

case "$check" in
files) checkFiles ;;
desktop-entry) checkDesktopEntry ;;
metainfo) checkMetainfo ;;
icons) checkIcons ;;
export) checkExport ;;
manual) checkManual ;;
options) checkOptions ;;
*) echo "install_tree_test: unknown check '$check'" >&2; exit 2 ;;
esac
exit 0
