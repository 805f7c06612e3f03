#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, when it is missing.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev clang libclang-rt-14-dev xvfb xauth xdotool x11-utils imagemagick
          fonts-liberation2 fonts-dejavu-core cups cups-daemon cups-client poppler-utils
          desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db dpkg-dev file
          lintian libcups2-dev at-spi2-core python3-pyatspi dbus dbus-x11
          libqt6sql6-sqlite libsqlite3-dev qt6-charts-dev libqt6opengl6-dev)
# The gradebook on a school's server: Qt's PostgreSQL driver, libpq beneath it (its handle
# tells a lost connection), and a server for its tests.
packages+=(libqt6sql6-psql libpq-dev postgresql)
# The screen reader as a test client, speaking through a speech server of the test's own.
packages+=(orca speech-dispatcher)
# A spreadsheet's own reading of the class results' CSV files, in their test.
packages+=(gnumeric)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
