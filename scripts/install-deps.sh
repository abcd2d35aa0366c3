#!/usr/bin/env bash
# Installs the Debian packages the project needs, when they are missing.
# Usage: install-deps.sh build|test
# As root it runs apt-get; otherwise it prints the exact command and stops.
set -euo pipefail

build_pkgs=(build-essential cmake qt6-base-dev qt6-qpa-plugins libxcb1-dev libcups2-dev libchm-dev fp-utils fonts-comic-neue help2man libxkbcommon-dev)
test_pkgs=(libbenchmark-dev clang libclang-rt-14-dev
  xvfb xdotool x11-apps python3-xlib
  cups printer-driver-cups-pdf poppler-utils
  desktop-file-utils appstream shared-mime-info xdg-utils dpkg-dev file
  dbus-daemon at-spi2-core python3-dbus time libfile-mimeinfo-perl lintian)

case "${1:-build}" in
  build) wanted=("${build_pkgs[@]}") ;;
  test) wanted=("${build_pkgs[@]}" "${test_pkgs[@]}") ;;
  *) echo "usage: $0 build|test" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
