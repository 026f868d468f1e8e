#!/usr/bin/env bash
# Installs what kelsoft needs to build, test, package and run, as Debian packages (as root).
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-dev clang-format clang-tidy
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libfast-float-dev libfmt-dev
  fonts-liberation poppler-utils xvfb xauth openbox xdotool time python3 locales util-linux gcovr
  file dpkg-dev lintian desktop-file-utils appstream
  emscripten googletest chromium
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
