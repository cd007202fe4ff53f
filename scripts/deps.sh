#!/usr/bin/env bash
# Installs what building, running and testing Tecladim needs on Debian 12, skipping
# what is already there. Usage: deps.sh run|test
set -euo pipefail

run_packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-multimedia-dev libxtst-dev libx11-dev
  qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
  fonts-liberation fonts-dejavu-core
)
test_packages=(
  ccache locales libgtest-dev libbenchmark-dev libpugixml-dev
  clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix
  xvfb xauth xdotool openbox dbus-daemon at-spi2-core python3-pyatspi x11-xkb-utils x11-utils imagemagick appstream
  desktop-file-utils dpkg-dev file librsvg2-bin poppler-utils mmdebstrap bindfs
)

packages=("${run_packages[@]}")
if [ "${1:-run}" = test ]; then packages+=("${test_packages[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Every test runs as on a Brazilian school machine too (pt_BR.UTF-8); the number texts are
# also checked under locales whose separators differ (en_US, de_DE).
if [ "${1:-run}" = test ]; then
  wanted_locales=(pt_BR.UTF-8 en_US.UTF-8 de_DE.UTF-8)
  missing_locales=()
  for l in "${wanted_locales[@]}"; do
    # locale -a spells them "pt_BR.utf8".
    if ! locale -a 2>/dev/null | grep -qix "${l%%.*}.utf8"; then missing_locales+=("$l"); fi
  done
  if [ ${#missing_locales[@]} -gt 0 ]; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    echo "Generating locales: ${missing_locales[*]}"
    for l in "${missing_locales[@]}"; do
      "${sudo_cmd[@]}" sed -i "s/^# *\(${l} UTF-8\)/\1/" /etc/locale.gen
      grep -q "^${l} UTF-8" /etc/locale.gen || echo "${l} UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${sudo_cmd[@]}" locale-gen >/dev/null
  fi
fi
