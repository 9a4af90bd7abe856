#!/usr/bin/env bash
# Installs what building, running and testing the program need, from Debian 12's packages.
# Quiet when everything is present; uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  qt6-translations-l10n          # Qt's own Chinese texts for the standard dialogs
  fonts-wqy-microhei             # the interface font
  fonts-arphic-uming             # the Song face that stands in for 宋体
  fontconfig
  xvfb xauth                     # a virtual screen for the tests that need a real X server
  clang libclang-rt-14-dev       # the fuzz targets: clang with libFuzzer and its sanitizer runtimes
  xdotool file                   # keys and windows on that screen; what a file holds
  dbus at-spi2-core              # the session bus and the accessibility bus for the screen-reader test
  python3-gi gir1.2-atspi-2.0    # the test's screen-reader client (AT-SPI from Python)
  dpkg-dev                       # the Debian package: cpack -G DEB finds its dependencies with dpkg-shlibdeps
  desktop-file-utils appstream   # validators of the menu entry and the AppStream metainfo
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
