#!/usr/bin/env bash
# Installs every Debian package the program and its tests need. Safe to run again.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libjpeg62-turbo-dev
  # fonts: a CJK face for the GUI font and a Song face standing in for 宋体
  fonts-noto-cjk fonts-arphic-uming fontconfig
  # running the GUI tests on a real X server with a window manager
  xvfb xauth openbox x11-utils xdotool
  # the fake logind on a private bus
  dbus dbus-x11 python3-dbusmock
  # making the assets
  python3 python3-pil
  # checking the installed files and the Debian package
  desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
