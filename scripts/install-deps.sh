#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and taking
# screenshots of Kesselwerk needs. Safe to run again: it only calls apt-get when a
# package is missing, and only then refreshes the package lists.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-documentation-tools
  libqt6help6 libqt6sql6-sqlite libqt6svg6 qt6-qpa-plugins libgl-dev libqt6opengl6-dev libxkbcommon-dev
  libsimpleini-dev libxlsxwriter-dev libboost-math-dev liblua5.4-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-format clang libclang-rt-14-dev xvfb xauth fonts-dejavu-core
  python3 python3-openpyxl python3-scipy
  qt6-translations-l10n
  dpkg-dev fakeroot file lintian desktop-file-utils appstream man-db groff-base bash-completion strace
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
