#!/usr/bin/env bash
# The README is true: what it names is there. Each row below pairs a text of the README with the check
# that makes it true. The README's own names are read from it as well (the backticked texts and the
# lines of its code blocks): each that names a file or folder of ours must be a row, or be there in the
# tree, so a name added to the README without a check fails here.
#   readme_test.sh BUILD_DIR [PACKAGES_DIR]
# With the folder scripts/package fills, the packages are checked too (their names, their checksums and
# what they hold); without it, the release build and its install are.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(realpath "${1:?usage: readme_test.sh BUILD_DIR [PACKAGES_DIR]}")
PACKAGES=${2:+$(realpath "$2")}
WORK=$(mktemp -d /tmp/corvane-readme.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
README=$(tr '\n' ' ' <"$ROOT/README.md" | tr -s ' ')  # one line: a text may break anywhere

# The install of the release build, which the README says holds what the Debian package does.
STAGE=$WORK/stage
DESTDIR=$STAGE cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" || fail "install: $(cat "$WORK/install.log")"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
if [[ -n $PACKAGES ]]; then
    deb=$PACKAGES/corvane_${version}_$(dpkg --print-architecture).deb zip=$PACKAGES/Corvane-$version-win64.zip
    dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#; s#/$##' >"$WORK/deb" || fail "no $deb"
    unzip -Z1 "$zip" | sed "s#^Corvane-$version-win64/##; s#/\$##" >"$WORK/zip" || fail "no $zip"
fi

# The checks, by the row's kind and argument.
check() {  # kind argument
    case $1 in
        script) [[ -x $ROOT/$2 && -f $ROOT/$2 ]] ;;      # a script of the repository
        built) [[ -e $BUILD/$2 ]] ;;                     # left by the release build
        said) grep -qF "${2#* }" "$ROOT/${2%% *}" ;;     # "script text": what that script makes
        installed)                                       # in the install (and the Debian package)
            [[ -e $STAGE$2 ]] && { [[ -z $PACKAGES ]] || grep -qx "$2" "$WORK/deb"; } ;;
        package)                                         # a package, named for the project's version
            [[ $2 == *"$version"* ]] || return 1
            [[ -z $PACKAGES ]] || (cd "$PACKAGES" && sha256sum --quiet -c "$2.sha256") ;;
        zip) [[ -z $PACKAGES ]] || grep -qE "^$2(/|\$)" "$WORK/zip" ;;  # beside corvane.exe in the zip
        windows-build) [[ -z $PACKAGES ]] || [[ -f $ROOT/$2 ]] ;;  # which scripts/package builds
        e2e) grep -qF "${2#* }" "$ROOT/tests/${2%% *}" ;;  # "test text": an end-to-end test covers it
        preset) grep -qF "\"name\": \"$2\"" "$ROOT/CMakePresets.json" ;;
        version) [[ $("$BUILD/corvane" --version) == "$2" ]] ;;
        project) [[ $version == "$2" ]] ;;
        icons) [[ $(ls "$STAGE/usr/share/icons/hicolor" | sort -n | sed -n '1p;$p' | tr '\n' ' ') == "$2 " ]] ;;
        licence) [[ $(head -n1 "$ROOT/LICENSE") == "$2 License" ]] &&
                 grep -qx "License: $2" "$STAGE/usr/share/doc/corvane/copyright" &&
                 grep -qF "<project_license>$2</project_license>" "$STAGE/usr/share/metainfo/org.corvane.Corvane.metainfo.xml" ;;
        *) fail "unknown kind of check '$1'" ;;
    esac
}

# The README's text | kind | argument
rows=$(cat <<'EOF'
scripts/run|script|scripts/run
scripts/test|script|scripts/test
scripts/package|script|scripts/package
build/release/corvane|built|corvane
build/release/run-config|said|scripts/run build/release/run-config
build/release/screenshot.png|said|scripts/run build/release/screenshot.png
The program calls itself 2.2|version|Corvane 2.2
`--version` prints `Corvane 2.2`|version|Corvane 2.2
the packages carry the project's full version, 2.2.0|project|2.2.0
build/packages|said|scripts/package build/packages
./build/packages/corvane_2.2.0_amd64.deb|package|corvane_2.2.0_amd64.deb
Corvane-2.2.0-setup.exe|package|Corvane-2.2.0-setup.exe
Corvane-2.2.0-win64.zip|package|Corvane-2.2.0-win64.zip
`/usr/bin`|installed|/usr/bin/corvane
`/etc/xdg/autostart`|installed|/etc/xdg/autostart/org.corvane.Corvane.desktop
at 16 to 256 pixels|icons|16x16 256x256
`/usr/share/corvane/help`|installed|/usr/share/corvane/help/index.html
`share/corvane/help`|installed|/usr/share/corvane/help/index.html
the AppStream metainfo|installed|/usr/share/metainfo/org.corvane.Corvane.metainfo.xml
`man corvane`|installed|/usr/share/man/man1/corvane.1.gz
`/usr/share/doc/corvane/copyright`|installed|/usr/share/doc/corvane/copyright
MIT licence, in `LICENSE`|licence|MIT
`corvane.exe`|zip|corvane.exe
`help\index.html`|zip|help/index.html
`help\`|zip|help
`LICENSE.txt`|zip|LICENSE.txt
`uninstall.exe`|e2e|windows/e2e/installer.sh uninstall.exe
`%LOCALAPPDATA%\Programs\Corvane`|e2e|windows/e2e/installer.sh LOCALAPPDATA)/Programs/Corvane
`help/index.html` beside the program|built|help/index.html
51 pixels long|e2e|e2e/common.sh "meter at the top right, 10x51" "1014 0 10 51"
build/windows/corvane.exe|windows-build|build/windows/corvane.exe
`debug`|preset|debug
`release`|preset|release
`windows`|preset|windows
EOF
)

while IFS='|' read -r text kind argument; do
    [[ $README == *"$text"* ]] || fail "the README no longer says '$text': drop its row"
    check "$kind" "$argument" || fail "the README says '$text', which is not so ($kind $argument)"
done <<<"$rows"

# The names the README gives: its backticked texts, its links and the lines of its code blocks, word
# by word. A word names something of ours when it starts with one of our folders or names a file by
# its kind; a Windows path without a row (build\corvane.exe) is made on Windows itself.
ours='^(\./)?(build|scripts|tools|bench|tests|docs|resources|packaging|cmake|platform)/|^/(usr|etc)/|\.(sh|png|deb|exe|zip|html|txt|h|1)$|^[a-z0-9_]+/$'
names=$(perl -0777 -ne 's/^```.*?^```//gms; print $1 // $2, "\n" while /`([^`]+)`|\]\(([^)]+)\)/g' "$ROOT/README.md"
        awk '/^```/ {inside = !inside; next} inside' "$ROOT/README.md")
for word in $(tr -s ' \n' '\n' <<<"$names" | grep -E "$ours" | sort -u); do
    grep -qF -- "$word" <<<"$(cut -d'|' -f1 <<<"$rows")" && continue
    [[ $word != *\\* ]] || continue
    # A folder or file the Development notes name inside its parent, such as unit/ in tests/.
    [[ -e $ROOT/$word ]] || [[ -n $(find "$ROOT" -maxdepth 2 -path "$ROOT/build" -prune -o -name "${word%/}" -print -quit) ]] ||
        fail "the README names $word, which is neither in the tree nor checked here"
done

echo "ok - the README: $(wc -l <<<"$rows") texts checked${PACKAGES:+, with the packages in $PACKAGES}; every name it gives is there"
