#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, testing and running Pelatto need,
# only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
  fonts-ipafont-gothic fonts-monapo
  xvfb xauth openbox x11-utils procps
  desktop-file-utils appstream qt6-translations-l10n
  qt6-multimedia-dev pulseaudio pulseaudio-utils
  pkg-config libxcb1-dev libxcb-damage0-dev libxcb-shm0-dev libxcb-present-dev
  libpulse-dev
  lintian
  qt6-wayland qt6-base-private-dev libwayland-dev wayland-protocols weston xwayland
  mosquitto mosquitto-clients libmosquitto-dev qtkeychain-qt6-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
