#!/usr/bin/env bash
# The Linux install, as `cmake --install` leaves it in a staging folder: the program, both desktop
# entries and the metainfo pass their validators, and the icon theme holds every size at its size.
#   install_test.sh BUILD_DIR
set -euo pipefail
BUILD=$(realpath "${1:?usage: install_test.sh BUILD_DIR}")
WORK=$(mktemp -d /tmp/corvane-install.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok - $*"; }
im() { "$(command -v "/usr/bin/$1" || command -v "$1")" "${@:2}"; }  # ImageMagick itself

DESTDIR=$WORK/stage cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" || fail "install: $(cat "$WORK/install.log")"
root=$WORK/stage
[[ -x $root/usr/bin/corvane ]] || fail "no program in usr/bin"
[[ $("$root/usr/bin/corvane" --version) == "Corvane 2.2" ]] || fail "the installed program does not run"
pass "program in usr/bin"

menu=$root/usr/share/applications/org.corvane.Corvane.desktop
autostart=$root/etc/xdg/autostart/org.corvane.Corvane.desktop
for entry in "$menu" "$autostart"; do
    # Hints (two main categories, which the menu is meant to have) are not failures.
    desktop-file-validate "$entry" >"$WORK/validate.log" 2>&1 || fail "desktop-file-validate $entry: $(cat "$WORK/validate.log")"
    ! grep -v ': hint: ' "$WORK/validate.log" | grep -q . || fail "$entry: $(cat "$WORK/validate.log")"
    for line in TryExec=corvane Exec=corvane Icon=corvane 'Categories=Utility;System;' StartupNotify=false Type=Application; do
        grep -qxF "$line" "$entry" || fail "$entry lacks $line"
    done
    pass "desktop entry $(basename "$(dirname "$entry")")/$(basename "$entry") valid"
done
grep -q '^NoDisplay\|^Hidden' "$autostart" && fail "the autostart entry would be hidden from the session's settings"

metainfo=$root/usr/share/metainfo/org.corvane.Corvane.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$WORK/appstream.log" 2>&1 || fail "appstreamcli: $(cat "$WORK/appstream.log")"
grep -q '<launchable type="desktop-id">org.corvane.Corvane.desktop</launchable>' "$metainfo" || fail "metainfo launchable"
pass "metainfo valid"

# Compressed: at most a byte a pixel and the headers (stored, they take over four).
for n in 16 22 24 32 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${n}x$n/apps/corvane.png
    [[ $(im identify -format '%m %wx%h' "$icon") == "PNG ${n}x$n" ]] || fail "icon $icon"
    (($(stat -c %s "$icon") <= n * n + 512)) || fail "icon $icon: $(stat -c %s "$icon") bytes"
done
pass "icon at 16, 22, 24, 32, 48, 64, 128 and 256 pixels, compressed"
# The help where the installed program looks for it: share/corvane/help beside its bin folder.
grep -q 'id="preferences"' "$root/usr/bin/../share/corvane/help/index.html" || fail "help page with its preferences topic"
pass "help installed where the program finds it"
zcat "$root/usr/share/man/man1/corvane.1.gz" | grep -q '^.TH CORVANE 1' || fail "manual page"
[[ -s $root/usr/share/doc/corvane/copyright ]] || fail "copyright file"

# Elsewhere than /usr, the autostart entry stays under the prefix.
cmake --install "$BUILD" --prefix "$WORK/opt" >/dev/null
[[ -f $WORK/opt/etc/xdg/autostart/org.corvane.Corvane.desktop ]] || fail "autostart entry under another prefix"
pass "autostart entry under the prefix elsewhere than /usr"
