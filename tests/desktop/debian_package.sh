#!/usr/bin/env bash
# debian_package.sh BUILD_DIR: makes the Debian package with CPack, unpacks it into a temporary root (not
# into the system), checks what it holds and needs, then starts its program the way the menu entry does
# on a virtual X screen, closes it with Esc and expects exit code 0.
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
id=io.github.korvane.Companion
source "$here/x_session.sh"

cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/package/korvane_*.deb)

# The Qt libraries found from the binary, and what it loads at run time, are all in Depends; each is a
# package that this machine has installed, as apt would on a clean one.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6core6 libqt6gui6 libqt6widgets6 fonts-wqy-microhei fonts-arphic-uming qt6-qpa-plugins \
         qt6-translations-l10n; do
  [[ ", $depends," == *", $p "* || ", $depends," == *", $p,"* ]] || { echo "Depends lacks $p"; exit 1; }
done
for p in $(echo "$depends" | tr ',' '\n' | sed 's/(.*)//; s/|.*//; s/ //g'); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || { echo "$p is not a known installed package"; exit 1; }
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "qt6-wayland" ] || { echo "qt6-wayland is not recommended"; exit 1; }

root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/korvane usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/128x128/apps/$id.png; do
  [ -f "$root/$f" ] || { echo "the package lacks /$f"; exit 1; }
done
file "$root/usr/share/icons/hicolor/128x128/apps/$id.png" | grep -q "PNG image data, 128 x 128, 8-bit/color RGBA" \
  || { echo "the icon is not a 128 x 128 picture with alpha"; exit 1; }
appstreamcli validate-tree --no-net "$root"

# Started as the menu entry starts it: its Exec line, with the package's bin folder on the PATH.
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$id.desktop")
PATH=$root/usr/bin:$PATH QT_QPA_PLATFORM=xcb $exec_line >"$work/program.log" 2>&1 &
pid=$!
close_window "Korvane公式计算器"
rc=0
wait_exit "$pid" 10 || rc=$?
[ $rc -eq 0 ] || { echo "the installed program ended with exit code $rc"; cat "$work/program.log"; exit 1; }
echo "the package installs, starts from its menu entry and closes with exit code 0"
