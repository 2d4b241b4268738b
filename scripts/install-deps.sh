#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine lacks to build, test and run
# DiroruDIV. Safe to run again: it only asks apt for packages that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-private-dev libqt6opengl6-dev
  qt6-declarative-dev qml6-module-qtquick qml6-module-qtquick-controls
  qml6-module-qtquick-templates qml6-module-qtquick-window qml6-module-qtqml-workerscript
  libgtest-dev libgmock-dev libbenchmark-dev
  libhwy-dev
  libimecore-dev libfcitx5utils-dev
  clang libclang-rt-14-dev
  libgif-dev
  fonts-wqy-microhei
  xvfb xdotool openbox
  rime-data-stroke rime-data-pinyin-simp rime-essay
  libime-data-language-model libopencc-dev
  manpages-zh
  libfcitx5core-dev fcitx5-modules-dev
  fcitx5 fcitx5-frontend-gtk3 fcitx5-frontend-qt6 dbus-daemon dbus-bin python3-gi gir1.2-gtk-3.0
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
