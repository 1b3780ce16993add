#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Tarvle Solo.
# Packages already present are skipped, so a second run does nothing.
set -euo pipefail

packages=(
    g++ make cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-multimedia-dev
    libgtest-dev libbenchmark-dev lz4
    libboost-dev libcpp-httplib-dev libsqlite3-dev libssl-dev openssl
    fonts-liberation
    libxcb1-dev xvfb x11-utils xdotool openbox
    dbus at-spi2-core python3-gi gir1.2-atspi-2.0
    pulseaudio pulseaudio-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
