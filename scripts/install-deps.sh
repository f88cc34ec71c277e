#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail

packages=(cmake ninja-build g++ ccache pkg-config
          libgtest-dev libgmock-dev libbenchmark-dev libusb-1.0-0-dev umockdev libumockdev-dev
          clang-14 libclang-rt-14-dev python3
          qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools qt6-translations-l10n
          nlohmann-json3-dev libzip-dev
          help2man groff-base
          dpkg-dev lintian desktop-file-utils libxml2-utils shared-mime-info
          sigrok-cli)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
