#!/usr/bin/env bash
# The Debian package, made by CPack from a release build: lintian finds nothing wrong with it (an
# unstripped program, one built without the distribution's hardening, a missing manual page or
# copyright file among what it names), the desktop entries and the metainfo pass their own
# validators, its dependencies are the packages of the libraries the program links and this system
# has them, and the program unpacked from it starts under Xvfb and shows the meter. Installed
# elsewhere than /usr, the autostart entry stays under the prefix.
#   deb_test.sh BUILD_DIR
BUILD=$(realpath "${1:?usage: deb_test.sh BUILD_DIR}")
# The end-to-end library starts a program; which one is known once the package is unpacked.
source "$(dirname "$0")/../e2e/lib.sh" "$BUILD/corvane"

(cd "$BUILD" && cpack -G DEB -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1) || fail "cpack: $(cat "$WORK/cpack.log")"
deb=$(echo "$WORK"/pkg/corvane_2.2.0_*.deb)
holds "package $(basename "$deb") made" test -f "$deb"

# Every tag lintian names down to the pedantic ones, but for those argued here (tag and file):
allowed=(
    # The help is the program's data, which its Help menu opens; a program must not need anything in
    # /usr/share/doc (Policy 12.3), which systems may leave out.
    "package-contains-documentation-outside-usr-share-doc [usr/share/corvane/help/index.html]"
)
lintian -I --pedantic "$deb" >"$WORK/lintian.log" 2>&1 || fail "lintian: $(cat "$WORK/lintian.log")"
tags=$(sed -n 's/^[A-Z]: corvane[^:]*: //p' "$WORK/lintian.log" | grep -vxF -f <(printf '%s\n' "${allowed[@]}") || true)
holds "lintian -I --pedantic: only the argued tags (${#allowed[@]}), not: $tags" test -z "$tags"

root=$WORK/root
dpkg-deb -x "$deb" "$root"
expect_eq "the autostart entry is a configuration file" "/etc/xdg/autostart/org.corvane.Corvane.desktop" \
    "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles)"
# Built with the distribution's hardening: lintian's hardening-no-pie, -relro, -bindnow and
# -fortify-functions above ask about the rest, but none asks about the stack protector.
holds "hardened with the stack protector" grep -q '__stack_chk_fail@' <<<"$(readelf --dyn-syms -W "$root/usr/bin/corvane")"

autostart=$root/etc/xdg/autostart/org.corvane.Corvane.desktop
keys=(TryExec=corvane Exec=corvane Icon=corvane 'Categories=Utility;System;' StartupNotify=false Type=Application)
for entry in "$root/usr/share/applications/org.corvane.Corvane.desktop" "$autostart"; do
    # Hints (two main categories, which the menu is meant to have) are not failures.
    desktop-file-validate "$entry" >"$WORK/validate.log" 2>&1 || fail "desktop-file-validate $entry: $(cat "$WORK/validate.log")"
    ! grep -qvE '^$|: hint: ' "$WORK/validate.log" || fail "$entry: $(cat "$WORK/validate.log")"
    for line in "${keys[@]}"; do grep -qxF "$line" "$entry" || fail "$entry lacks $line"; done
    pass "desktop entry $(basename "$(dirname "$entry")")/$(basename "$entry") valid"
done
grep -q '^NoDisplay\|^Hidden' "$autostart" && fail "the autostart entry would be hidden from the session's settings"
metainfo=$root/usr/share/metainfo/org.corvane.Corvane.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$WORK/appstream.log" 2>&1 || fail "appstreamcli: $(cat "$WORK/appstream.log")"
holds "metainfo valid" grep -q '<launchable type="desktop-id">org.corvane.Corvane.desktop</launchable>' "$metainfo"
# The help where the installed program looks for it: share/corvane/help beside its bin folder.
holds "help installed where the program finds it" grep -q 'id="preferences"' "$root/usr/bin/../share/corvane/help/index.html"
cmake --install "$BUILD" --prefix "$WORK/opt" >/dev/null
holds "autostart entry under the prefix elsewhere than /usr" test -f "$WORK/opt/etc/xdg/autostart/org.corvane.Corvane.desktop"

# Every dependency is installed here at a version that satisfies it.
depends=$(dpkg-deb -f "$deb" Depends)
IFS=',' read -ra items <<<"$depends"
for item in "${items[@]}"; do
    read -r name op version <<<"$(sed 's/[()]//g' <<<"$item")"
    installed=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) || fail "dependency $name not installed"
    [[ -z $op ]] || dpkg --compare-versions "$installed" "$op" "$version" || fail "$name $installed, not $op $version"
done
pass "dependencies met: $depends"
# ... and every library the program asks for by name belongs to one of them.
owner_of() {  # the package of a library known by its name, such as libc.so.6
    local path
    path=$(ldconfig -p | awk -v lib="$1" '$1 == lib && /x86-64/ && !found {print $NF; found = 1}')
    [[ -n $path ]] || fail "$1 not found on this system"
    # dpkg knows a library by the path its package put it at, which may sit behind a link.
    { dpkg -S "$path" || dpkg -S "$(realpath "$path")"; } 2>/dev/null | awk -F: 'NR == 1 {print $1}'
}
names=" $(sed 's/([^)]*)//g; s/,/ /g' <<<"$depends") "
for lib in $(objdump -p "$root/usr/bin/corvane" | awk '/NEEDED/ {print $2}'); do
    owner=$(owner_of "$lib")
    [[ -n $owner && $names == *" $owner "* ]] || fail "$lib comes from '$owner', which is not a dependency"
done
pass "every linked library comes from a dependency"
expect_eq "the sound library the alarm opens is recommended" "$(owner_of libcanberra.so.0)" \
    "$(dpkg-deb -f "$deb" Recommends)"

# The unpacked program, as installed, on the test's screen.
CORVANE=$root/usr/bin/corvane
start_meter_at "the installed program's meter at the top right" "1014 0 10 51"
holds_within 5 "its surface in the background colour" shows 1018 25 808080
stop_corvane TERM
